// korvel: the speaking front panel. Runs in the station folder (the current folder, or --folder),
// where korvel.cfg, the wave folder, the COM<n> links and the files it writes live.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "radio_link/cat_link.h"
#include "platform/clock.h"
#include "app/options.h"
#include "state/panel.h"
#include "app/find_radio_run.h"
#include "app/channel_command.h"
#include "app/speech_outputs.h"
#include "core/startup.h"
#include "platform/speech_speed.h"
#include "radio_link/hamlib_radio.h"
#ifdef _WIN32
#include "platform/win32_network.h"
#include "platform/win32_serial.h"
#include "platform/win32_sound.h"
#include "platform/win32_window.h"
#else
#include "app/front_end.h"
#include "platform/posix_network.h"
#include "platform/sdl_sound.h"
#include "platform/serial_posix.h"
#endif

namespace {

// The conversation with the radio: through the machine's serial ports, or, with --hamlib-model,
// through a radio Hamlib drives, met by the link as a port of its own (the pass-through port stays
// a serial line) and given longer to answer.
struct RadioConversation {
  RadioConversation(const korvel::app::Options& o, korvel::platform::SerialPorts& serial, korvel::platform::Clock& clock)
      : link(portFor(o, serial), clock) {
#ifdef KORVEL_HAVE_HAMLIB
    if (hamlib) link.allowAnswersWithin(korvel::radio_link::kHamlibAnswerDeadlineMs, korvel::radio_link::kHamlibAnswerDeadlineMs);
#endif
  }

#ifdef KORVEL_HAVE_HAMLIB
  std::optional<korvel::radio_link::HamlibRadio> hamlib;
#endif
  korvel::radio_link::CatLink link;

 private:
  korvel::platform::SerialPorts& portFor(const korvel::app::Options& o, korvel::platform::SerialPorts& serial) {
#ifdef KORVEL_HAVE_HAMLIB
    if (o.hamlibModel != 0) return hamlib.emplace(korvel::radio_link::HamlibSettings{o.hamlibModel, o.hamlibPort, o.hamlibSpeed});
#else
    (void)o;
#endif
    return serial;
  }
};

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // A window program has no console of its own; started from one, it writes its text there.
  if (GetStdHandle(STD_OUTPUT_HANDLE) == nullptr && AttachConsole(ATTACH_PARENT_PROCESS)) {
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
  }
#endif
  korvel::app::Options options;
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  if (const auto exitCode = korvel::app::readOptions(arguments, options, std::cout, std::cerr)) return *exitCode;
  const std::filesystem::path& folder = options.folder;
  const bool terminalAsked = options.terminalAsked;
  const std::string& transcriptFile = options.transcriptFile;
  const bool transcriptWanted = options.transcriptWanted;
  std::error_code ec;
  if (!std::filesystem::is_directory(folder, ec)) {
    std::cerr << "korvel: station folder '" << folder.string() << "' does not exist\n";
    return 2;
  }
  if (options.channels.asked()) return korvel::app::runChannelCommand(options.channels, folder);

  std::ofstream transcriptOut;
  std::ostream* transcript = nullptr;
  if (transcriptWanted) {
    if (transcriptFile.empty()) {
      transcript = &std::cout;
    } else {
      transcriptOut.open(transcriptFile, std::ios::binary | std::ios::trunc);
      if (!transcriptOut) {
        std::cerr << "korvel: cannot write the transcript to '" << transcriptFile << "'\n";
        return 2;
      }
      transcript = &transcriptOut;
    }
  }
  if (options.findRadio) return korvel::app::runFindRadio(folder, options.find, transcript);

#ifndef KORVEL_HAVE_HAMLIB
  if (options.hamlibModel != 0) {
    std::cerr << "korvel: this build of Korvel has no Hamlib: --hamlib-model needs a build with Hamlib\n";
    return 2;
  }
#endif
#ifdef _WIN32
  korvel::platform::Win32SerialPorts ports;
  korvel::platform::Win32WindowSystem window;
  korvel::platform::Win32SoundOutput sound;
  korvel::platform::Win32Network network;
  (void)terminalAsked;  // Windows always has its window
  korvel::platform::SteadyClock clock;
  RadioConversation radio(options, ports, clock);
  std::unique_ptr<korvel::app::BrailleFrontEnd> braille;
  if (options.braille) braille = korvel::app::openBraille(window, std::cerr);
  korvel::Panel panel(ports, radio.link, sound, braille ? braille->window() : window, network, folder);
#else
  // Before the sound starts its threads: the terminal front end takes the ending signals itself.
  auto frontEnd = korvel::app::openFrontEnd(terminalAsked);
  if (frontEnd.window == nullptr) return 1;  // nothing to take keys from: not one command sent
  // Words printed on standard output share it with the terminal's text line.
  if (frontEnd.terminal != nullptr && transcript == &std::cout) transcript = &frontEnd.terminal->lineStream();

  korvel::platform::PosixSerialPorts ports(folder);
  korvel::platform::SdlSoundOutput sound;
  korvel::platform::PosixNetwork network;
  korvel::platform::SteadyClock clock;
  RadioConversation radio(options, ports, clock);
  // The braille display, when asked for, shows what the window shows and takes keys beside it.
  std::unique_ptr<korvel::app::BrailleFrontEnd> braille;
  if (options.braille) braille = korvel::app::openBraille(*frontEnd.window, std::cerr);
  korvel::Panel panel(ports, radio.link, sound, braille ? braille->window() : *frontEnd.window, network, folder);
#endif
  panel.speech.transcript = transcript;
  panel.server.enabled = options.rigServerOn;
  panel.server.address = options.rigServerAddress;
  panel.server.port = options.rigServerPort;
  panel.server.txLimitSeconds = options.txLimitSeconds;
  panel.server.notices = &std::cerr;
  panel.speech.speedPercent = options.speedPercent;
  panel.speech.interruptSpeech = options.interruptSpeech;
  std::unique_ptr<korvel::platform::SpeechOutput> systemSpeech;
  if (options.speech == korvel::app::Speech::system) systemSpeech = korvel::app::openSystemSpeech(panel.window, std::cerr);
  panel.speech.system = systemSpeech.get();
  if (braille) panel.speech.announced = [&shown = *braille](const std::string& text) { shown.announce(text); };
  return korvel::runProgram(panel);
}
