#include "app/options.h"

#include <charconv>
#include <fstream>

#include "platform/speech_speed.h"

namespace korvel::app {

namespace {

// What follows an option's name: nothing, a value, perhaps a value, or any number of words (the
// ones after it on the command line that are not options themselves).
enum class Value { none, required, optional, words };

// One option: its name, whether it takes a value, its help, and what it sets. A new option is a new row.
struct OptionRow {
  const char* name;
  Value value;
  const char* valueName;
  const char* help;
  bool commandLineOnly;
  // Sets the option; false (with why) when the value is not one it takes.
  bool (*apply)(Options& o, const std::string& value, std::string& why);
};

constexpr int kHighestPort = 65535;

bool setRigServer(Options& o, const std::string& value, std::string& why) {
  if (value == "off") {
    o.rigServerOn = false;
    return true;
  }
  const auto colon = value.rfind(':');
  std::string address = colon == std::string::npos ? std::string() : value.substr(0, colon);
  const std::string portText = colon == std::string::npos ? value : value.substr(colon + 1);
  if (address.size() >= 2 && address.front() == '[' && address.back() == ']') address = address.substr(1, address.size() - 2);
  int port = 0;
  const auto [end, error] = std::from_chars(portText.data(), portText.data() + portText.size(), port);
  if (error != std::errc() || end != portText.data() + portText.size() || port < 1 || port > kHighestPort) {
    why = "--rig-server takes ADDRESS:PORT (a port from 1 to 65535) or off";
    return false;
  }
  o.rigServerOn = true;
  if (!address.empty()) o.rigServerAddress = address;
  o.rigServerPort = port;
  return true;
}

bool setSpeechRate(Options& o, const std::string& value, std::string& why) {
  int percent = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), percent);
  if (value.empty() || error != std::errc() || end != value.data() + value.size() ||
      percent < platform::kSlowestSpeechPercent || percent > platform::kFastestSpeechPercent) {
    why = "--speech-rate takes a whole percent from " + std::to_string(platform::kSlowestSpeechPercent) + " to " +
          std::to_string(platform::kFastestSpeechPercent);
    return false;
  }
  o.speedPercent = percent;
  return true;
}

// A day: longer than any transmission a program means to make.
constexpr int kLongestTxLimitSeconds = 86'400;

bool setTxLimit(Options& o, const std::string& value, std::string& why) {
  int seconds = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), seconds);
  if (value.empty() || error != std::errc() || end != value.data() + value.size() || seconds < 0 ||
      seconds > kLongestTxLimitSeconds) {
    why = "--tx-limit takes whole seconds from 0 (no limit) to " + std::to_string(kLongestTxLimitSeconds);
    return false;
  }
  o.txLimitSeconds = seconds;
  return true;
}

// A whole number from low to high, or the reason it is not one.
bool setWhole(int& into, const std::string& value, int low, int high, const std::string& what, std::string& why) {
  int number = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
  if (value.empty() || error != std::errc() || end != value.data() + value.size() || number < low || number > high) {
    why = what + " takes a whole number from " + std::to_string(low) + " to " + std::to_string(high);
    return false;
  }
  into = number;
  return true;
}

// Hamlib's model numbers run to five digits (backend number, then the model within it).
constexpr int kHighestHamlibModel = 99'999;
constexpr int kFastestSerialSpeed = 4'000'000;

bool setSpeech(Options& o, const std::string& value, std::string& why) {
  if (value == "words") {
    o.speech = Speech::words;
  } else if (value == "system") {
    o.speech = Speech::system;
  } else {
    why = "--speech takes words or system";
    return false;
  }
  return true;
}

const std::vector<OptionRow>& optionRows() {
  static const std::vector<OptionRow> rows = {
      {"transcript", Value::optional, "FILE",
       "write the name of every word spoken, one per line, to FILE\n(standard output when no FILE is given)", false,
       [](Options& o, const std::string& v, std::string&) {
         o.transcriptWanted = true;
         o.transcriptFile = v;
         return true;
       }},
      {"folder", Value::required, "DIR", "use DIR as the station folder instead of the current folder", true,
       [](Options& o, const std::string& v, std::string&) {
         o.folder = v;
         return true;
       }},
      {"terminal", Value::none, "",
       "take keys from this terminal and show the fields as a line of\ntext, also when a display is there (without one, "
       "always so)",
       false,
       [](Options& o, const std::string&, std::string&) {
         o.terminalAsked = true;
         return true;
       }},
      {"speech-rate", Value::required, "PERCENT",
       "speak every word at PERCENT of its recorded pace (100 to 600,\n100 when not given) without raising its "
       "pitch; the CAT pause\nkeeps its length",
       false, setSpeechRate},
      {"interrupt-speech", Value::none, "",
       "a key pressed while Korvel speaks cuts the word and the rest of\nthe announcement and is handled at once (the "
       "commands and CAT\npauses of the interrupted key still go out as they would)",
       false,
       [](Options& o, const std::string&, std::string&) {
         o.interruptSpeech = true;
         return true;
       }},
      {"speech", Value::required, "words|system",
#ifdef _WIN32
       "words: speak with the word files of the wave folder (the default);\nsystem: say each announcement as one message "
       "through the screen\nreader that runs, else SAPI 5, in the operator's own voice and rate\n(--speech-rate does not "
       "apply); without either, the word files",
#else
       "words: speak with the word files of the wave folder (the default);\nsystem: say each announcement as one message "
       "through\nspeech-dispatcher, in the operator's own voice and rate\n(--speech-rate does not apply); when it cannot "
       "be reached, the\nword files",
#endif
       false, setSpeech},
      {"braille", Value::none, "",
       "show the window's fields on the braille display through BRLTTY\n(frequency first), and each announcement's text "
       "for a few\nseconds after it is spoken; the display's keys are Korvel's keys",
       false,
       [](Options& o, const std::string&, std::string&) {
         o.braille = true;
         return true;
       }},
      {"rig-server", Value::required, "ADDRESS:PORT",
       "serve Hamlib's rigctld protocol there (default 127.0.0.1:4532, this\ncomputer only); off: no rig server",
       false, setRigServer},
      {"tx-limit", Value::required, "SECONDS",
       "end a transmission a rig-server client keyed after SECONDS (600\nwhen not given; 0: no limit); the operator's own "
       "keying is\nnever limited, and a client that goes away unkeys at once",
       false, setTxLimit},
      {kHamlibModelOption.data(), Value::required, "N",
       "drive the radio through Hamlib, model N (rigctl -l lists them; 2 is a\nrigctld on another computer)", false,
       [](Options& o, const std::string& v, std::string& why) {
         return setWhole(o.hamlibModel, v, 1, kHighestHamlibModel, "--hamlib-model", why);
       }},
      {kHamlibPortOption.data(), Value::required, "DEVICE",
       "the Hamlib radio's serial device, or HOST:PORT of the rigctld for\nmodel 2", false,
       [](Options& o, const std::string& v, std::string& why) {
         if (v.empty()) {
           why = "--hamlib-port names a device or HOST:PORT";
           return false;
         }
         o.hamlibPort = v;
         return true;
       }},
      {kHamlibSpeedOption.data(), Value::required, "BAUD", "the Hamlib radio's serial speed (the model's own when not given)", false,
       [](Options& o, const std::string& v, std::string& why) {
         return setWhole(o.hamlibSpeed, v, 1, kFastestSerialSpeed, "--hamlib-speed", why);
       }},
      {"find-radio", Value::words, "DEVICE ...",
#ifdef _WIN32
       "ask COM1 to COM64 (or the DEVICEs named) for a radio at 4800,\n"
#else
       "ask the serial devices (/dev/serial/by-id/*, /dev/ttyUSB*,\n/dev/ttyACM*, or the DEVICEs named) for a "
       "radio at 4800,\n"
#endif
       "9600, 19200, 38400 and 115200 baud; say and print the port,\nthe speed, the ID and the name of the one that "
       "answers",
       true,
       [](Options& o, const std::string& v, std::string&) {
         o.findRadio = true;
         if (!v.empty()) o.find.devices.push_back(v);
         return true;
       }},
      {"write", Value::none, "",
#ifdef _WIN32
       "with --find-radio: make that port the station's (lines 1 and 2\nof korvel.cfg; the old file is kept as "
       "korvel.cfg.bak)",
#else
       "with --find-radio: make that port the station's (lines 1 and 2\nof korvel.cfg and the link COM<n>; the old "
       "korvel.cfg is kept\nas korvel.cfg.bak)",
#endif
       true,
       [](Options& o, const std::string&, std::string&) {
         o.find.write = true;
         return true;
       }},
      {"export-channels", Value::required, "FILE.csv", "write the memory channels to FILE.csv as a CHIRP channel list",
       true,
       [](Options& o, const std::string& v, std::string&) {
         o.channels.exportFile = v;
         return true;
       }},
      {"import-channels", Value::required, "FILE.csv",
       "store the channels of a CHIRP channel list at their Locations\n(0 to 99); refused while Korvel runs in the "
       "station folder",
       true,
       [](Options& o, const std::string& v, std::string&) {
         o.channels.importFile = v;
         return true;
       }},
      {"dry-run", Value::none, "", "with --import-channels: report only, write nothing", true,
       [](Options& o, const std::string&, std::string&) {
         o.channels.dryRun = true;
         return true;
       }},
  };
  return rows;
}

const OptionRow* rowNamed(const std::string& name) {
  for (const OptionRow& row : optionRows()) {
    if (name == row.name) return &row;
  }
  return nullptr;
}

// Applies "--name", "--name=value" or (on the command line) "--name value"; next is the word after.
bool applyOption(const std::string& word, const std::string* next, bool& usedNext, bool fromFile, Options& o,
                 std::string& why) {
  usedNext = false;
  if (word.rfind("--", 0) != 0) {
    why = "unknown argument '" + word + "'";
    return false;
  }
  const auto equals = word.find('=');
  const std::string name = word.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
  const OptionRow* row = rowNamed(name);
  if (row == nullptr) {
    why = "unknown option '--" + name + "'";
    return false;
  }
  if (fromFile && row->commandLineOnly) {
    why = "--" + name + " only works on the command line";
    return false;
  }
  std::string value;
  if (equals != std::string::npos) {
    if (row->value == Value::none) {
      why = "--" + name + " takes no value";
      return false;
    }
    value = word.substr(equals + 1);
  } else if (row->value == Value::required) {
    if (next == nullptr) {
      why = "--" + name + " needs " + row->valueName;
      return false;
    }
    value = *next;
    usedNext = true;
  }
  if (fromFile && next != nullptr && !usedNext) {
    why = "'" + word + " " + *next + "' is not one option";
    return false;
  }
  return row->apply(o, value, why);
}

// Every option of the command line, in order; an exit code on a bad one. As getopt-style programs
// do, the words that are no option (the devices of --find-radio) may stand anywhere: before, between
// or after the options, and they go to the option of words once the whole line is read.
std::optional<int> applyCommandLine(const std::vector<std::string>& args, Options& o, std::ostream& err) {
  std::vector<std::string> words;
  const OptionRow* wordsRow = nullptr;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i].size() > 1 && args[i][0] == '-') {
      bool usedNext = false;
      std::string why;
      if (!applyOption(args[i], i + 1 < args.size() ? &args[i + 1] : nullptr, usedNext, false, o, why)) {
        err << "korvel: " << why << "\n" << usageText();
        return 2;
      }
      const OptionRow* row = rowNamed(args[i].substr(2, args[i].find('=') - 2));
      if (row != nullptr && row->value == Value::words) wordsRow = row;
      if (usedNext) ++i;
    } else {
      words.push_back(args[i]);
    }
  }
  for (const std::string& word : words) {
    std::string why = "unknown argument '" + word + "'";
    if (wordsRow == nullptr || !wordsRow->apply(o, word, why)) {
      err << "korvel: " << why << "\n" << usageText();
      return 2;
    }
  }
  if (o.find.write && !o.findRadio) {
    err << "korvel: --write goes with --find-radio\n";
    return 2;
  }
  return std::nullopt;
}

// The options file: one option a line ("--rig-server=off" or "--rig-server off"); blank lines and
// lines starting with "#" are skipped. A line that is not an option is reported and left out.
void applyOptionsFile(const std::filesystem::path& file, Options& o, std::ostream& err) {
  std::ifstream in(file, std::ios::binary);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
    const auto start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#') continue;
    line = line.substr(start);
    std::string word = line;
    std::string rest;
    if (const auto blank = line.find_first_of(" \t"); blank != std::string::npos && line.find('=') > blank) {
      word = line.substr(0, blank);
      rest = line.substr(line.find_first_not_of(" \t", blank));
    }
    bool usedNext = false;
    std::string why;
    if (!applyOption(word, rest.empty() ? nullptr : &rest, usedNext, true, o, why)) {
      err << "korvel: " << file.filename().string() << " line " << number << ": " << why << "; left out\n";
    }
  }
}

}  // namespace

std::string usageText() {
  std::string text =
      "Usage: korvel [OPTION]...\n"
      "       korvel --find-radio [DEVICE ...] [--write] [--folder=DIR]\n"
      "       korvel [--folder=DIR] --export-channels FILE.csv\n"
      "       korvel [--folder=DIR] --import-channels FILE.csv [--dry-run]\n"
      "\n"
      "A keyboard-driven, speaking front panel for Yaesu transceivers, and for other\n"
      "radios through Hamlib (--hamlib-model).\n"
      "It reads korvel.cfg in the station folder, talks to the radio on the serial port the\n"
      "configuration names and speaks every result with the word files of the wave folder.\n"
      "Options may also stand one per line in korvel.options in the station folder; the\n"
      "command line wins.\n"
      "\n";
  for (const OptionRow& row : optionRows()) {
    std::string head = std::string("  --") + row.name;
    if (row.value == Value::required) head += std::string("=") + row.valueName;
    if (row.value == Value::optional) head += std::string("[=") + row.valueName + "]";
    if (row.value == Value::words) head += std::string(" [") + row.valueName + "]";
    constexpr std::size_t kHelpColumn = 27;
    head += head.size() < kHelpColumn ? std::string(kHelpColumn - head.size(), ' ') : "\n" + std::string(kHelpColumn, ' ');
    std::string help = row.help;
    for (std::size_t at = help.find('\n'); at != std::string::npos; at = help.find('\n', at + 1)) {
      help.insert(at + 1, std::string(kHelpColumn, ' '));
    }
    text += head + help + "\n";
  }
  text +=
      "  --help                   show this text\n"
      "  --version                show the version\n"
      "\n"
      "Keys: B band, F frequency, E frequency entry, M mode, W filter width, P power,\n"
      "A AF gain, R RF gain, S S-meter or SWR, Q quit, H spoken help; F1 preamp, F2 attenuator,\n"
      "F3 noise blanker, F4 noise reduction, F5 notch, F6 contour, F7 speech processor,\n"
      "F8 break-in or VOX, F9 monitor, F11 mic gain, F12 tuner.\n";
  return text;
}

std::optional<int> readOptions(const std::vector<std::string>& arguments, Options& options, std::ostream& out,
                               std::ostream& err) {
  for (const std::string& arg : arguments) {
    if (arg == "--help" || arg == "-h") {
      out << usageText();
      return 0;
    }
    if (arg == "--version") {
      out << "korvel 3.6a\n";
      return 0;
    }
  }
  // The folder first, for the options file; then the file, and the command line over it.
  Options fromCommandLine;
  if (const auto code = applyCommandLine(arguments, fromCommandLine, err)) return code;
  options.folder = fromCommandLine.folder;
  applyOptionsFile(options.folder / kOptionsFileName, options, err);
  return applyCommandLine(arguments, options, err);
}

}  // namespace korvel::app
