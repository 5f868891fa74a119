// The system's speech end to end: korvel in a tmux terminal against korvel-sim, speaking through a
// real speech-dispatcher of the test's own whose output module writes every message to a file.
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <fstream>
#include <thread>

#include "e2e_support.h"
#include "needed_tools.h"

namespace korvel::e2e {
namespace {

using namespace std::chrono_literals;

// A speech-dispatcher on a socket of its own. Its "synthesizer" is the generic module running a
// shell line that appends each message to said.txt; a message holding `slowPart` then takes a
// couple of seconds, and once spoken to its end it is also written to ended.txt.
class SpeechService {
 public:
  explicit SpeechService(const std::string& slowPart = "") {
    const auto conf = folder_.path() / "conf";
    std::filesystem::create_directories(conf / "modules");
    std::filesystem::create_directories(folder_.path() / "log");
    std::ofstream(conf / "speechd.conf") << "AddModule \"generic\" \"sd_generic\" \"generic.conf\"\n"
                                            "DefaultModule generic\nDefaultLanguage \"en\"\n"
                                            // ALSA's null device: the module opens a sound device it never uses.
                                            "AudioOutputMethod \"alsa\"\nAudioALSADevice \"null\"\n";
    const std::string said = (folder_.path() / "said.txt").string();
    const std::string ended = (folder_.path() / "ended.txt").string();
    std::ofstream(conf / "modules" / "generic.conf")
        << "GenericExecuteSynth \"T=\\'$DATA\\'; printf '%s\\\\n' \\\"$T\\\" >> " << said
        << (slowPart.empty() ? "" : "; case \\\"$T\\\" in *" + slowPart + "*) sleep 2;; esac") << "; printf '%s\\\\n' \\\"$T\\\" >> "
        << ended << "\"\nAddVoice \"en\" \"MALE1\" \"en\"\n";
    socket_ = (folder_.path() / "speechd.sock").string();
    server_.start("/usr/bin/speech-dispatcher",
                  {"-s", "-t", "0", "-C", conf.string(), "-S", socket_, "-c", "unix_socket", "-L",
                   (folder_.path() / "log").string(), "-P", (folder_.path() / "pid").string()},
                  folder_.path(), {}, folder_.path() / "speechd.out");
    for (int i = 0; i < 100 && !std::filesystem::exists(socket_); ++i) std::this_thread::sleep_for(50ms);
  }
  ~SpeechService() { stop(); }
  void stop() { server_.stop(SIGTERM, 5s); }
  bool ready() const { return std::filesystem::exists(socket_); }
  std::string address() const { return "unix_socket:" + socket_; }
  std::vector<std::string> said() const { return lines(readFile(folder_.path() / "said.txt")); }
  std::vector<std::string> ended() const { return lines(readFile(folder_.path() / "ended.txt")); }
  std::filesystem::path saidFile() const { return folder_.path() / "said.txt"; }
  std::string log() const { return readFile(folder_.path() / "speechd.out"); }

 private:
  korvel::testing::TempFolder folder_{"korvel-speechd"};
  std::string socket_;
  Child server_;
};

// The commands korvel sent, without the poll cycle's own queries.
std::vector<std::string> keyCommands(const std::string& log) {
  std::vector<std::string> out;
  for (const auto& line : lines(log)) {
    if (line.rfind("TX=", 0) != 0) continue;
    const std::string command = line.substr(3);
    if (command != "FA;" && command != "SM0;" && command != "RM6;" && command != "RM4;") out.push_back(command);
  }
  return out;
}

std::string korvelCommand(const std::string& options, const std::string& speechAddress) {
  return "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy SPEECHD_ADDRESS=" + speechAddress +
         " " + KORVEL_EXE + " --transcript=transcript.txt " + options + " 2> korvel.err; sleep 600";
}

// Waits until the file has more lines than `seen` and the last is `line`.
bool waitForLine(const std::filesystem::path& file, std::size_t seen, const std::string& line) {
  return waitFor(file, [&](const std::string& s) {
    const auto all = lines(s);
    return all.size() > seen && std::find(all.begin() + static_cast<std::ptrdiff_t>(seen), all.end(), line) != all.end();
  }, 20s);
}

// Runs F, B 6, M at a fresh station and gives the commands the radio saw (from the connection on).
std::vector<std::string> commandsOfASession(const std::string& options, SpeechService* speech,
                                            std::vector<std::string>* messages) {
  LiveStation st(761);
  EXPECT_TRUE(st.simReady());
  Terminal terminal(st.folder, korvelCommand(options, speech ? speech->address() : "unix_socket:/nonexistent"));
  EXPECT_TRUE(waitFor(st.folder / "transcript.txt", [](const std::string& s) { return has(s, "connected\n"); }, 60s))
      << terminal.screen();
  std::size_t heard = lines(st.transcript()).size();
  std::size_t said = speech ? speech->said().size() : 0;
  struct Key {
    const char* key;
    const char* lastWord;
    const char* message;
  };
  for (const Key& k : {Key{"f", "lsb", "7.1 megahertz L S B"}, Key{"b", "metres", "band forty metres"},
                       Key{"6", "on", "twenty metres pre amp on"}, Key{"m", "cw", "C W"}}) {
    terminal.type(k.key);
    EXPECT_TRUE(waitForLine(st.folder / "transcript.txt", heard, k.lastWord)) << k.key << "\n" << st.transcript();
    heard = lines(st.transcript()).size();
    if (speech) {
      EXPECT_TRUE(waitForLine(speech->saidFile(), said, k.message)) << k.key;
      said = speech->said().size();
      // Spoken to its end before the next key, as a word would be.
      EXPECT_TRUE(waitFor(speech->saidFile(), [&](const std::string&) { return speech->ended().size() == said; }, 10s));
    }
  }
  if (messages && speech) *messages = speech->said();
  return keyCommands(st.debugLog());
}

TEST(SystemSpeechEndToEnd, TheAnnouncementsAreMessagesInOrderAndTheRadioSeesWhatTheWordFilesWouldHaveIt) {
  KORVEL_NEED_TOOLS("tmux", "speech-dispatcher");
  SpeechService speech;
  ASSERT_TRUE(speech.ready()) << speech.log();
  std::vector<std::string> messages;
  const auto withSystem = commandsOfASession("--speech=system", &speech, &messages);
  ASSERT_FALSE(messages.empty()) << speech.log();
  // The start words, the connection's words, then one message per key.
  EXPECT_EQ(messages, (std::vector<std::string>{"korvel 3.6", "7.1 megahertz L S B pre amp off connected",
                                                "7.1 megahertz L S B", "band forty metres", "twenty metres pre amp on",
                                                "C W"}));
  // The word files at six times their pace (which changes nothing the radio sees) keep the test short.
  EXPECT_EQ(withSystem, commandsOfASession("--speech=words --speech-rate=600", nullptr, nullptr));
}

TEST(SystemSpeechEndToEnd, AKeyDuringALongMessageCancelsItWithInterruptSpeech) {
  KORVEL_NEED_TOOLS("tmux", "speech-dispatcher");
  SpeechService speech("megahertz");
  ASSERT_TRUE(speech.ready()) << speech.log();
  LiveStation st(761);
  ASSERT_TRUE(st.simReady());
  Terminal terminal(st.folder, korvelCommand("--speech=system --interrupt-speech --speech-rate=600", speech.address()));
  ASSERT_TRUE(waitFor(speech.saidFile(), [](const std::string& s) { return has(s, "connected\n"); }, 60s))
      << terminal.screen() << speech.log();
  ASSERT_TRUE(waitFor(speech.saidFile(), [&](const std::string&) { return speech.ended().size() == 2; }, 10s));
  terminal.type("f");
  ASSERT_TRUE(waitForLine(speech.saidFile(), 2, "7.1 megahertz L S B"));
  const auto pressed = std::chrono::steady_clock::now();
  terminal.type("m");
  ASSERT_TRUE(waitForLine(speech.saidFile(), 3, "U S B"));
  // Well before the long message would have ended by itself, and it never did.
  EXPECT_LT(std::chrono::steady_clock::now() - pressed, 1500ms);
  EXPECT_TRUE(waitFor(speech.saidFile(), [&](const std::string&) { return speech.ended().size() == 3; }, 5s));
  std::this_thread::sleep_for(2s);
  const auto ended = speech.ended();
  ASSERT_FALSE(ended.empty());
  EXPECT_EQ(ended.back(), "U S B");
  EXPECT_EQ(std::count(ended.begin(), ended.end(), "7.1 megahertz L S B"), 0);
  EXPECT_TRUE(has(st.debugLog(), "TX=MD02;"));
  // speech-dispatcher goes away: the word files speak, and the keys work on.
  speech.stop();
  for (const auto& [key, word] : {std::pair{"f", "mhz\nusb\n"}, std::pair{"m", "cw\n"}}) {
    const std::size_t before = st.transcript().size();
    terminal.type(key);
    EXPECT_TRUE(waitFor(st.folder / "transcript.txt",
                        [&, w = std::string(word)](const std::string& s) { return s.find(w, before) != std::string::npos; },
                        10s))
        << key << "\n" << st.transcript();
  }
}

TEST(SystemSpeechEndToEnd, WithoutSpeechDispatcherOneLineAndTheWordFilesSpeak) {
  KORVEL_NEED_TOOLS("tmux");
  LiveStation st(761);
  ASSERT_TRUE(st.simReady());
  const auto nowhere = st.folder / "no-speechd.sock";
  Terminal terminal(st.folder, korvelCommand("--speech=system --speech-rate=600", "unix_socket:" + nowhere.string()));
  ASSERT_TRUE(waitFor(st.folder / "transcript.txt", [](const std::string& s) { return has(s, "connected\n"); }, 60s))
      << terminal.screen() << readFile(st.folder / "korvel.err");
  const auto err = lines(readFile(st.folder / "korvel.err"));
  EXPECT_EQ(std::count_if(err.begin(), err.end(), [](const std::string& l) { return has(l, "speech-dispatcher"); }), 1)
      << readFile(st.folder / "korvel.err");
  EXPECT_FALSE(std::filesystem::exists(nowhere));
}

}  // namespace
}  // namespace korvel::e2e
