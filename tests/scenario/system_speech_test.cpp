// The system's speech: each announcement is one message of text in the operator's own voice, made
// from the word list; the radio sees what it sees with the word files, and the CAT pause keeps its time.
#include "message_recorder.h"
#include "player/phrase_player.h"
#include "player/word_text.h"
#include "session.h"

namespace korvel::testing {
namespace {

struct Spoken {
  Words transcript;          // the words, as the transcript has them
  Words filesPlayed;         // the word files played
  std::vector<std::string> messages;
  Commands commands;
};

// The keys typed at a settled station, one announcement per key; with `system`, through the system's speech.
Spoken speakKeys(std::string_view keys, bool system) {
  Session s;
  MessageRecorder speech;
  if (system) s.p.speech.system = &speech;
  const std::string before(s.transcript.str());
  const std::size_t filesBefore = s.sound.words.size();
  s.type(keys);
  Spoken out;
  std::istringstream lines(s.transcript.str().substr(before.size()));
  for (std::string line; std::getline(lines, line);) out.transcript.push_back(line);
  out.filesPlayed.assign(s.sound.words.begin() + static_cast<std::ptrdiff_t>(filesBefore), s.sound.words.end());
  out.messages = speech.messages;
  out.commands = s.commands();
  return out;
}

TEST(SystemSpeechTest, EachAnnouncementIsOneMessageAndTheRadioSeesTheSame) {
  struct Case {
    std::string_view keys;
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {"F", {"7.1 megahertz L S B"}},
      {"B6", {"band forty metres", "twenty metres pre amp on"}},
      {"M", {"U S B"}},
      {"S", {"S 7"}},
      {"E14.25\n", {"enter frequency", "1", "4", "point", "2", "5", "pre amp on OK"}},
  };
  for (const Case& c : cases) {
    const Spoken withFiles = speakKeys(c.keys, false);
    const Spoken withSystem = speakKeys(c.keys, true);
    EXPECT_EQ(withSystem.messages, c.messages) << c.keys;
    EXPECT_EQ(withSystem.commands, withFiles.commands) << c.keys;
    EXPECT_EQ(withSystem.transcript, withFiles.transcript) << c.keys;
    // Of the word files only the CAT pauses play, as many as with the word files.
    Words pauses;
    for (const auto& w : withFiles.filesPlayed) if (w == "delay") pauses.push_back(w);
    EXPECT_EQ(withSystem.filesPlayed, pauses) << c.keys;
  }
}

TEST(SystemSpeechTest, AKeyDuringAMessageCancelsItAndIsHandledAtOnce) {
  for (const std::string_view keys : {"F", "B6"}) {
    const Spoken whole = speakKeys(keys, true);
    Session s;
    MessageRecorder speech;
    s.p.speech.system = &speech;
    s.p.speech.interruptSpeech = true;
    s.prepare(keys.substr(0, keys.size() - 1));
    speech.messages.clear();
    speech.durationMs = 2000;
    speech.onMessage = [&](const std::string&) {
      if (speech.cancels == 0) s.canvas.queue.push_back({platform::kKeyDownMessage, 'M'});
    };
    s.type(keys.substr(keys.size() - 1));
    EXPECT_EQ(speech.cancels, 1) << keys;
    EXPECT_EQ(speech.messages, Words{whole.messages.back()}) << keys;
    EXPECT_EQ(s.commands(), whole.commands) << keys;
    // The waiting key is taken: its announcement is said whole.
    s.canvas.queue.clear();
    s.press('M');
    EXPECT_EQ(speech.messages.back(), speakKeys(std::string(keys) + "M", true).messages.back()) << keys;
    EXPECT_EQ(speech.cancels, 1) << keys;
  }
}

TEST(SystemSpeechTest, WithoutInterruptSpeechAMessageIsSaidToItsEnd) {
  Session s;
  MessageRecorder speech;
  s.p.speech.system = &speech;
  speech.durationMs = 500;
  speech.onMessage = [&](const std::string&) { s.canvas.queue.push_back({platform::kKeyDownMessage, 'M'}); };
  s.press('F');
  EXPECT_EQ(speech.cancels, 0);
  EXPECT_EQ(speech.messages, Words{"7.1 megahertz L S B"});
}

TEST(SystemSpeechTest, ASynthesizerGoneAwaySpeaksWithTheWordFiles) {
  Session s;
  MessageRecorder speech;
  s.p.speech.system = &speech;
  speech.reachable = false;
  const std::size_t before = s.sound.words.size();
  s.press('F');
  EXPECT_EQ(Words(s.sound.words.begin() + static_cast<std::ptrdiff_t>(before), s.sound.words.end()),
            (Words{"7", "point", "1", "mhz", "lsb"}));
}

TEST(SystemSpeechTest, TheAnnouncementsTextReachesWhoeverShowsIt) {
  for (const bool system : {false, true}) {
    Session s;
    MessageRecorder speech;
    if (system) s.p.speech.system = &speech;
    Words shown;
    s.p.speech.announced = [&](const std::string& text) { shown.push_back(text); };
    s.type("B6");
    EXPECT_EQ(shown, (Words{"band forty metres", "twenty metres pre amp on"})) << system;
  }
}

TEST(WordTextTest, WordsBecomeTheTextASynthesizerReads) {
  const std::map<std::string, std::string> list = {
      {"1", "one"}, {"4", "four"}, {"2", "two"}, {"point", "point"}, {"mhz", "megahertz"}, {"usb", "U S B"},
      {"s", "S"},   {"9", "nine"}, {"21", "to one"}, {"delay", ""}, {"swr", "S W R"},
  };
  const struct {
    Words words;
    std::string text;
  } cases[] = {
      {{"1", "4", "point", "2", "mhz", "usb"}, "14.2 megahertz U S B"},
      {{"SWR", "1", "point", "4", "21"}, "S W R 1.4 to one"},
      {{"s", "9"}, "S 9"},
      {{"point"}, "point"},                      // no digits round it: the word
      {{"1", "point", "mhz"}, "1 point megahertz"},
      {{"1.wav", "DELAY", "4", "nosuchword", "2"}, "142"},  // a pause or an unknown word says nothing
      {{}, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(messageText(list, c.words), c.text) << ::testing::PrintToString(c.words);
}

TEST(WordTextTest, TheListGivesTextsButNoneForSoundsAndNoFileOutsideItsFolder) {
  TempFolder home{"korvel-words"};
  std::ofstream(home.path() / "help.txt", std::ios::binary) << "Keys:\nB  band\r\n";
  std::ofstream(home.path() / "words.tsv")
      << "# comment\tnot a word\nDelay\t@silence 0.2\nbeep\t@tone 1000 0.1\nhelp\t@file help.txt\n"
         "usb\t U S B \r\nbroken line\nsecret\t@file ../../etc/passwd\n\tno name\n";
  const auto list = readWordList(home.path() / "words.tsv");
  EXPECT_EQ(list, (std::map<std::string, std::string>{
                      {"delay", ""}, {"beep", ""}, {"help", "Keys: B band"}, {"usb", "U S B"}, {"secret", ""}}));
}

}  // namespace
}  // namespace korvel::testing
