#include "core/config_update.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "core/config.h"
#include "memory/atomic_file.h"
#include "state/panel.h"

namespace korvel {

namespace {

constexpr std::string_view kPortLabel = "COM=";
constexpr std::string_view kSpeedLabel = "Speed=";
constexpr std::string_view kFileLineEnd = "\r\n";  // korvel.cfg's own, for lines it did not have

struct Line {
  std::string text;
  std::string end;  // "\r\n", "\n", "\r", or "" for a last line without one
};

// The file's lines as the configuration reader splits them, each with its own line end.
std::vector<Line> splitLines(std::string_view config) {
  std::vector<Line> lines;
  std::size_t at = 0;
  while (at < config.size()) {
    const std::size_t stop = config.find_first_of("\r\n", at);
    Line line{std::string(config.substr(at, stop == std::string_view::npos ? std::string_view::npos : stop - at)), ""};
    at = stop == std::string_view::npos ? config.size() : stop;
    if (at < config.size()) {
      const std::size_t endLength = config.compare(at, 2, "\r\n") == 0 ? 2 : 1;
      line.end = std::string(config.substr(at, endLength));
      at += endLength;
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

std::string portLine(const std::string& old, int port) {
  if (portOfLine(old) == port) return old;
  // "COM=5" is five characters, "COM=12" six: the reader takes one digit or two by the length.
  return std::string(kPortLabel) + std::to_string(port);
}

std::string speedLine(const std::string& old, int baud) {
  if (speedOfLine(old) == baud) return old;
  const std::string label = old.size() >= kSpeedLabelLength ? old.substr(0, kSpeedLabelLength) : std::string(kSpeedLabel);
  return label + std::to_string(baud);
}

// Replaces the file's text, the old text (when there was any) kept beside it as FILE.bak; each file
// is replaced whole. Nothing is written when the text stays as it was.
bool replaceKeepingOld(const std::filesystem::path& file, const std::string& before, const std::string& after,
                       bool& changed, std::string& why) {
  if (after == before) return true;
  auto backup = file;
  backup += ".bak";
  if (!before.empty() && !replaceFileContents(backup, before)) {
    why = "cannot write " + backup.string();
    return false;
  }
  if (!replaceFileContents(file, after)) {
    why = "cannot write " + file.string();
    return false;
  }
  changed = true;
  return true;
}

}  // namespace

std::string withPortAndSpeed(std::string_view config, int port, int baud) {
  std::vector<Line> lines = splitLines(config);
  const std::size_t given = lines.size();
  const std::string fileEnd = given > 0 && !lines.front().end.empty() ? lines.front().end : std::string(kFileLineEnd);
  while (lines.size() < 2) lines.push_back({});
  lines[0].text = portLine(lines[0].text, port);
  lines[1].text = speedLine(lines[1].text, baud);
  // A line that now has one after it, or that was not there, ends as the file's lines do.
  for (std::size_t i = 0; i < 2; ++i) {
    if (lines[i].end.empty() && (i + 1 < lines.size() || i >= given)) lines[i].end = fileEnd;
  }
  std::string out;
  for (const Line& line : lines) out += line.text + line.end;
  return out;
}

bool writePortAndSpeed(Panel& p, int port, int baud, bool& changed, std::string& why) {
  changed = false;
  const auto file = p.folder / "korvel.cfg";
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    why = "there is no " + file.string() + " to write the port into";
    return false;
  }
  std::ostringstream old;
  old << in.rdbuf();
  in.close();
  const std::string before = old.str();
  return replaceKeepingOld(file, before, withPortAndSpeed(before, port, baud), changed, why);
}

namespace {

// Whether an options line sets one of the Hamlib radio's options ("--hamlib-model=3073").
bool namesHamlibRadio(std::string_view line) {
  const auto start = line.find_first_not_of(" \t");
  if (start == std::string_view::npos) return false;
  line.remove_prefix(start);
  if (!line.starts_with("--")) return false;
  line.remove_prefix(2);
  for (const std::string_view name : {kHamlibModelOption, kHamlibPortOption, kHamlibSpeedOption}) {
    if (line.starts_with(name) && (line.size() == name.size() || line[name.size()] == '=' || line[name.size()] == ' ' ||
                                   line[name.size()] == '\t' || line[name.size()] == '\r')) {
      return true;
    }
  }
  return false;
}

std::string optionLine(std::string_view name, const std::string& value) { return "--" + std::string(name) + "=" + value; }

}  // namespace

std::string withHamlibRadio(std::string_view options, const HamlibChoice& choice) {
  std::vector<Line> kept;
  for (Line& line : splitLines(options)) {
    if (!namesHamlibRadio(line.text)) kept.push_back(std::move(line));
  }
  const std::string fileEnd = !kept.empty() && !kept.front().end.empty() ? kept.front().end : std::string("\n");
  if (choice.model != 0) {
    if (!kept.empty() && kept.back().end.empty()) kept.back().end = fileEnd;
    kept.push_back({optionLine(kHamlibModelOption, std::to_string(choice.model)), fileEnd});
    if (!choice.port.empty()) kept.push_back({optionLine(kHamlibPortOption, choice.port), fileEnd});
    if (choice.speed > 0) kept.push_back({optionLine(kHamlibSpeedOption, std::to_string(choice.speed)), fileEnd});
  }
  std::string out;
  for (const Line& line : kept) out += line.text + line.end;
  return out;
}

bool writeHamlibRadio(Panel& p, const HamlibChoice& choice, bool& changed, std::string& why) {
  changed = false;
  const auto file = p.folder / kOptionsFileName;
  std::string before;
  if (std::ifstream in(file, std::ios::binary); in) {
    std::ostringstream old;
    old << in.rdbuf();
    before = old.str();
  }
  return replaceKeepingOld(file, before, withHamlibRadio(before, choice), changed, why);
}

}  // namespace korvel
