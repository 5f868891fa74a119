#include "radio_link/rig_protocol.h"

#include <algorithm>
#include <cctype>

namespace korvel::rig {

namespace {

using enum AnswerKind;

const CommandSpec* commandByLetter(CommandBook book, char letter) {
  for (const CommandSpec& spec : book) {
    if (spec.letter == letter) return &spec;
  }
  return nullptr;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
bool isText(unsigned char c) { return c >= ' ' && c < 0x7f; }

// rigctld takes a punctuation mark before a command as the extended form with that separator;
// these marks are not separators but commands, comments or names.
bool isSeparatorMark(char c) {
  return std::ispunct(static_cast<unsigned char>(c)) != 0 && c != '\\' && c != '_' && c != '#' && c != '(' &&
         c != ')' && c != '+';
}

std::string_view wordAt(std::string_view line, std::size_t& pos) {
  while (pos < line.size() && isBlank(line[pos])) ++pos;
  const std::size_t start = pos;
  while (pos < line.size() && !isBlank(line[pos])) ++pos;
  return line.substr(start, pos - start);
}

RigCommand refused(int code) {
  RigCommand command;
  command.refusal = code;
  return command;
}

}  // namespace

const CommandSpec* commandByName(CommandBook book, std::string_view name) {
  for (const CommandSpec& spec : book) {
    if (name == spec.name) return &spec;
  }
  return nullptr;
}

std::vector<RigCommand> parseLine(CommandBook book, std::string_view line, bool& vfoMode) {
  std::vector<RigCommand> commands;
  std::size_t pos = 0;
  for (;;) {
    while (pos < line.size() && isBlank(line[pos])) ++pos;
    if (pos >= line.size() || line[pos] == '#') break;
    RigCommand command;
    if (line[pos] == '+') {
      command.extended = true;
      ++pos;
    } else if (isSeparatorMark(line[pos])) {
      command.extended = true;
      command.separator = line[pos++];
    }
    if (pos >= line.size()) break;
    const CommandSpec* spec = nullptr;
    if (line[pos] == '\\') {
      ++pos;
      spec = commandByName(book, wordAt(line, pos));
    } else {
      spec = commandByLetter(book, line[pos++]);
    }
    if (spec == nullptr) {
      commands.push_back(refused(result::kNotAvailable));
      break;
    }
    command.spec = spec;
    command.name = spec->name;
    if (vfoMode && spec->takesVfo) command.vfo = wordAt(line, pos);
    for (int i = 0; i < spec->argumentCount; ++i) {
      const std::string_view word = wordAt(line, pos);
      if (word.empty()) break;
      command.args.emplace_back(word);
    }
    if (static_cast<int>(command.args.size()) < spec->argumentCount || (vfoMode && spec->takesVfo && command.vfo.empty())) {
      command.refusal = result::kInvalid;
      commands.push_back(std::move(command));
      break;
    }
    if (command.name == "set_vfo_opt") vfoMode = command.args.front() == "1";
    commands.push_back(std::move(command));
  }
  return commands;
}

bool isWebLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  // A request line: a method in capitals, a target, and the protocol's name and version.
  const auto space = line.find(' ');
  if (space != std::string_view::npos && space > 0 &&
      std::all_of(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(space), [](char c) { return c >= 'A' && c <= 'Z'; })) {
    const auto protocol = line.rfind(" HTTP/");
    if (protocol != std::string_view::npos && protocol > space) return true;
  }
  // A header line: a name of letters, digits and dashes, a colon, then a blank or nothing.
  const auto colon = line.find(':');
  if (colon == std::string_view::npos || colon == 0 || !isLetter(line[0])) return false;
  const bool name = std::all_of(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(colon),
                                [&isLetter](char c) { return isLetter(c) || (c >= '0' && c <= '9') || c == '-'; });
  return name && (colon + 1 == line.size() || line[colon + 1] == ' ' || line[colon + 1] == '\t');
}

std::vector<RigCommand> takeInput(CommandBook book, RigClient& client, std::string_view bytes) {
  std::string& pending = client.input;
  bool& skippingLine = client.skippingLine;
  std::vector<RigCommand> commands;
  for (const char c : bytes) {
    if (skippingLine) {
      if (c == '\n') skippingLine = false;
      continue;
    }
    if (c != '\n') {
      pending += c;
      if (pending.size() > kMaxLineLength) {
        commands.push_back(refused(result::kInvalid));
        pending.clear();
        skippingLine = true;
      }
      continue;
    }
    const bool text = std::all_of(pending.begin(), pending.end(), [](char b) {
      return isText(static_cast<unsigned char>(b)) || isBlank(b);
    });
    if (!text) {
      commands.push_back(refused(result::kInvalid));
    } else {
      for (RigCommand& command : parseLine(book, pending, client.vfoMode)) commands.push_back(std::move(command));
    }
    pending.clear();
  }
  return commands;
}

std::string formatAnswer(const RigCommand& command, const Answer& answer) {
  const CommandSpec* spec = command.spec;
  if (spec == nullptr) return "RPRT " + std::to_string(command.refusal != 0 ? command.refusal : answer.code) + "\n";
  const char sep = command.separator;
  std::string out;
  if (spec->kind == bare) {
    // Never a header nor a report: the one line a client reads to learn the protocol's form.
    if (command.extended) out = std::string(spec->labels.front()) + ": ";
    return out + (answer.values.empty() ? "0" : answer.values.front()) + "\n";
  }
  if (command.extended) {
    out = spec->name + std::string(":");
    if (!command.vfo.empty()) out += " " + command.vfo;
    for (const auto& arg : command.args) out += " " + arg;
    out += sep;
  }
  const int code = command.refusal != 0 ? command.refusal : answer.code;
  if (code != result::kOk) return out + "RPRT " + std::to_string(code) + "\n";
  if (spec->kind == values) {
    for (std::size_t i = 0; i < answer.values.size(); ++i) {
      if (command.extended && i < spec->labels.size()) out += std::string(spec->labels[i]) + ": ";
      out += answer.values[i];
      out += command.extended ? sep : '\n';
    }
  } else if (spec->kind == text || spec->kind == report) {
    for (const auto& block : answer.values) out += block;
    // A client reads lines: a block that did not end its own line is ended here.
    if (!out.empty() && out.back() != '\n') out += '\n';
  }
  const bool reported = command.extended || spec->kind == setting || spec->kind == report;
  if (reported) out += "RPRT 0\n";
  return out;
}

}  // namespace korvel::rig
