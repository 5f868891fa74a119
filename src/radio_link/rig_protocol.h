// The rig server's protocol reader and writer (Hamlib's rigctld text protocol): bytes from a client
// into commands, line by line, and an answer into the text the client reads. Pure: no Panel, no sockets.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "state/rig_server_state.h"

namespace korvel::rig {

// A line longer than this is refused whole; its rest is skipped up to its end.
inline constexpr std::size_t kMaxLineLength = 1024;

// Hamlib's result codes, as "RPRT n" carries them.
namespace result {
inline constexpr int kOk = 0;
inline constexpr int kInvalid = -1;       // a bad argument or a bad line
inline constexpr int kTimedOut = -5;      // the radio did not answer
inline constexpr int kInputOutput = -6;   // no radio on the line
inline constexpr int kNotAvailable = -11; // a command this server does not offer
}  // namespace result

// What a command's answer is made of, as rigctld writes it.
enum class AnswerKind {
  values,     // a get: its values (labelled in the extended form), no "RPRT" in the plain form
  setting,    // a set: "RPRT 0"
  text,       // a block of lines written as they are (\dump_state), no "RPRT" in the plain form
  report,     // a block of lines, then "RPRT 0" (\dump_caps)
  bare,       // one value, never a header nor "RPRT" (\chk_vfo)
};

struct CommandSpec {
  char letter = 0;             // its one-letter form; 0 when it has only its long name
  const char* name = "";
  int argumentCount = 0;
  AnswerKind kind = AnswerKind::values;
  std::vector<const char*> labels;  // the value labels of the extended form; empty: none
  bool takesVfo = false;       // names its VFO first when the client has set "\set_vfo_opt 1"
};

// The command of a long name ("get_freq", "quit"); null when this server does not offer it.
const CommandSpec* commandByName(std::string_view name);

// The commands of one line: several may stand on it ("fmv", "+f +m +v"). A command this server
// does not offer, or one short of its arguments, comes back refused and ends the line.
std::vector<RigCommand> parseLine(std::string_view line);
// The same for a client in VFO mode or not: "\set_vfo_opt" on the line changes vfoMode for what follows.
std::vector<RigCommand> parseLine(std::string_view line, bool& vfoMode);

// Takes a read into the client's line buffer and gives the commands of every line it completed.
// A line over kMaxLineLength or with bytes that are not text comes back as one refused command.
std::vector<RigCommand> takeInput(std::string& pending, bool& skippingLine, std::string_view bytes);
std::vector<RigCommand> takeInput(std::string& pending, bool& skippingLine, bool& vfoMode, std::string_view bytes);
// Whether a line is a web browser's: an HTTP request line ("POST / HTTP/1.1") or a header line
// ("Host: 127.0.0.1:4532"). A connection that starts with one is a page, not a station program.
bool isWebLine(std::string_view line);

struct Answer {
  int code = result::kOk;
  std::vector<std::string> values;  // for text and report answers: one block of lines
};

// The answer as the client reads it: plain or extended, as the command was asked.
std::string formatAnswer(const RigCommand& command, const Answer& answer);

}  // namespace korvel::rig
