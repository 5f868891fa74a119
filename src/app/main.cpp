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

#include "state/panel.h"
#include "app/find_radio_run.h"
#include "app/channel_command.h"
#include "core/startup.h"
#include "platform/speech_speed.h"
#ifdef _WIN32
#include "platform/win32_serial.h"
#include "platform/win32_sound.h"
#include "platform/win32_window.h"
#else
#include "app/front_end.h"
#include "platform/sdl_sound.h"
#include "platform/serial_posix.h"
#endif

namespace {

constexpr const char* kUsage =
    "Usage: korvel [--transcript[=FILE]] [--folder DIR] [--terminal] [--speech-rate=PERCENT]\n"
    "             [--interrupt-speech]\n"
    "       korvel --find-radio [DEVICE ...] [--write] [--folder DIR]\n"
    "       korvel [--folder DIR] --export-channels FILE.csv\n"
    "       korvel [--folder DIR] --import-channels FILE.csv [--dry-run]\n"
    "\n"
    "A keyboard-driven, speaking front panel for Yaesu transceivers.\n"
    "It reads korvel.cfg in the station folder, talks to the radio on the serial port the\n"
#ifdef _WIN32
    "configuration names (COM<n>) and speaks every result with the\n"
#else
    "configuration names (the link COM<n> in that folder) and speaks every result with the\n"
#endif
    "word files of the wave folder.\n"
    "\n"
    "  --transcript[=FILE]  write the name of every word spoken, one per line, to FILE\n"
    "                       (standard output when no FILE is given)\n"
    "  --folder DIR         use DIR as the station folder instead of the current folder\n"
    "  --terminal           take keys from this terminal and show the fields as a line of\n"
    "                       text, also when a display is there (without one, always so)\n"
    "  --speech-rate=PERCENT\n"
    "                       speak every word at PERCENT of its recorded pace (100 to 600,\n"
    "                       100 when not given) without raising its pitch; the CAT pause\n"
    "                       keeps its length\n"
    "  --interrupt-speech   a key pressed while Korvel speaks cuts the word and the rest of\n"
    "                       the announcement and is handled at once (the commands and CAT\n"
    "                       pauses of the interrupted key still go out as they would)\n"
    "  --find-radio [DEVICE ...]\n"
#ifdef _WIN32
    "                       ask COM1 to COM64 (or the DEVICEs named) for a radio at 4800,\n"
#else
    "                       ask the serial devices (/dev/serial/by-id/*, /dev/ttyUSB*,\n"
    "                       /dev/ttyACM*, or the DEVICEs named) for a radio at 4800,\n"
#endif
    "                       9600, 19200, 38400 and 115200 baud; say and print the port,\n"
    "                       the speed, the ID and the name of the one that answers\n"
    "  --write              with --find-radio: make that port the station's (lines 1 and 2\n"
#ifdef _WIN32
    "                       of korvel.cfg; the old file is kept as korvel.cfg.bak)\n"
#else
    "                       of korvel.cfg and the link COM<n>; the old korvel.cfg is kept\n"
    "                       as korvel.cfg.bak)\n"
#endif
    "  --export-channels FILE.csv\n"
    "                       write the memory channels to FILE.csv as a CHIRP channel list\n"
    "  --import-channels FILE.csv\n"
    "                       store the channels of a CHIRP channel list at their Locations\n"
    "                       (0 to 99); refused while Korvel runs in the station folder\n"
    "  --dry-run            with --import-channels: report only, write nothing\n"
    "  --help               show this text\n"
    "  --version            show the version\n"
    "\n"
    "Keys: B band, F frequency, E frequency entry, M mode, W filter width, P power,\n"
    "A AF gain, R RF gain, S S-meter or SWR, Q quit, H spoken help; F1 preamp, F2 attenuator,\n"
    "F3 noise blanker, F4 noise reduction, F5 notch, F6 contour, F7 speech processor,\n"
    "F8 break-in or VOX, F9 monitor, F11 mic gain, F12 tuner.\n";

struct Options {
  std::filesystem::path folder = std::filesystem::current_path();
  bool transcriptWanted = false;
  bool terminalAsked = false;
  int speedPercent = korvel::platform::kAsRecorded;
  bool interruptSpeech = false;
  std::string transcriptFile;
  bool findRadio = false;
  korvel::FindRequest find;
  korvel::app::ChannelCommand channels;
};

bool readSpeechRate(const std::string& text, int& percent) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return false;
  if (value < korvel::platform::kSlowestSpeechPercent || value > korvel::platform::kFastestSpeechPercent) return false;
  percent = value;
  return true;
}

// The command line; an exit code when the program is to end at once (help, version, a bad argument).
std::optional<int> parseOptions(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if (arg == "--version") {
      std::cout << "korvel 3.6a\n";
      return 0;
    }
    if (arg == "--transcript") {
      o.transcriptWanted = true;
    } else if (arg.rfind("--transcript=", 0) == 0) {
      o.transcriptWanted = true;
      o.transcriptFile = arg.substr(std::strlen("--transcript="));
    } else if (arg == "--terminal") {
      o.terminalAsked = true;
    } else if (arg.rfind("--speech-rate=", 0) == 0) {
      if (!readSpeechRate(arg.substr(std::strlen("--speech-rate=")), o.speedPercent)) {
        std::cerr << "korvel: --speech-rate takes a whole percent from " << korvel::platform::kSlowestSpeechPercent
                  << " to " << korvel::platform::kFastestSpeechPercent << ", not '" << arg << "'\n";
        return 2;
      }
    } else if (arg == "--interrupt-speech") {
      o.interruptSpeech = true;
    } else if (arg == "--folder" && i + 1 < argc) {
      o.folder = argv[++i];
    } else if (arg.rfind("--folder=", 0) == 0) {
      o.folder = arg.substr(std::strlen("--folder="));
    } else if (arg == "--find-radio") {
      o.findRadio = true;
      while (i + 1 < argc && argv[i + 1][0] != '-') o.find.devices.push_back(argv[++i]);
    } else if (arg == "--write") {
      o.find.write = true;
    } else if (arg == "--export-channels" && i + 1 < argc) {
      o.channels.exportFile = argv[++i];
    } else if (arg == "--import-channels" && i + 1 < argc) {
      o.channels.importFile = argv[++i];
    } else if (arg == "--dry-run") {
      o.channels.dryRun = true;
    } else {
      std::cerr << "korvel: unknown argument '" << arg << "'\n" << kUsage;
      return 2;
    }
  }
  if (o.find.write && !o.findRadio) {
    std::cerr << "korvel: --write goes with --find-radio\n";
    return 2;
  }
  return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // A window program has no console of its own; started from one, it writes its text there.
  if (GetStdHandle(STD_OUTPUT_HANDLE) == nullptr && AttachConsole(ATTACH_PARENT_PROCESS)) {
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
  }
#endif
  Options options;
  if (const auto exitCode = parseOptions(argc, argv, options)) return *exitCode;
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

#ifdef _WIN32
  korvel::platform::Win32SerialPorts ports;
  korvel::platform::Win32WindowSystem window;
  korvel::platform::Win32SoundOutput sound;
  (void)terminalAsked;  // Windows always has its window
  korvel::Panel panel(ports, sound, window, folder);
#else
  // Before the sound starts its threads: the terminal front end takes the ending signals itself.
  auto frontEnd = korvel::app::openFrontEnd(terminalAsked);
  if (frontEnd.window == nullptr) return 1;  // nothing to take keys from: not one command sent
  // Words printed on standard output share it with the terminal's text line.
  if (frontEnd.terminal != nullptr && transcript == &std::cout) transcript = &frontEnd.terminal->lineStream();

  korvel::platform::PosixSerialPorts ports(folder);
  korvel::platform::SdlSoundOutput sound;
  korvel::Panel panel(ports, sound, *frontEnd.window, folder);
#endif
  panel.speech.transcript = transcript;
  panel.speech.speedPercent = options.speedPercent;
  panel.speech.interruptSpeech = options.interruptSpeech;
  return korvel::runProgram(panel);
}
