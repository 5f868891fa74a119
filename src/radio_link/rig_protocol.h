// The rig server's protocol reader and writer (Hamlib's rigctld text protocol): bytes from a client
// into commands, line by line, and an answer into the text the client reads. Pure: no Panel, no sockets.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "state/rig_server_state.h"

namespace korvel {
struct Panel;
}

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

struct Answer {
  int code = result::kOk;
  std::vector<std::string> values;  // for text and report answers: one block of lines
};

// How a command is answered now: at once, by work on the radio line (a question whose answer is
// read, or a setting), or not yet (it waits for a fresh state).
struct Step {
  enum class Kind { answered, radio, wait };
  Kind kind = Kind::answered;
  Answer answer;
  std::string command;  // radio work: the CAT text
  bool answerExpected = false;
};

// One command the server offers: how a client writes it, how it is answered, what the program
// follows of it, and what the server announces of it.
struct CommandSpec {
  char letter = 0;             // its one-letter form; 0 when it has only its long name
  const char* name = "";
  int argumentCount = 0;
  AnswerKind kind = AnswerKind::values;
  std::vector<const char*> labels;  // the value labels of the extended form; empty: none
  bool takesVfo = false;       // names its VFO first when the client has set "\set_vfo_opt 1"
  // Its answer from what the program knows, or the radio work it needs.
  Step (*serve)(Panel& p, const RigCommand& command, RigClient& client) = nullptr;
  // A question's answer from the radio's reply.
  Answer (*read)(const Panel& p, const RigCommand& command, const std::string& reply) = nullptr;
  // A setting the radio has taken, followed by the program (sent: its CAT text).
  void (*follow)(Panel& p, const RigCommand& command, const std::string& sent) = nullptr;
  // What \dump_caps says the server can do with it ("set Frequency"); null: nothing to announce.
  const char* capability = nullptr;
};

// The commands a server offers.
using CommandBook = std::span<const CommandSpec>;

// The command of a long name ("get_freq", "quit"); null when this server does not offer it.
const CommandSpec* commandByName(CommandBook book, std::string_view name);

// The commands of one line: several may stand on it ("fmv", "+f +m +v"). A command this server
// does not offer, or one short of its arguments, comes back refused and ends the line. In VFO mode
// each command that takes one names its VFO first; "\set_vfo_opt" on the line changes vfoMode
// for what follows.
std::vector<RigCommand> parseLine(CommandBook book, std::string_view line, bool& vfoMode);

// Takes a read into the client's line buffer and gives the commands of every line it completed.
// A line over kMaxLineLength or with bytes that are not text comes back as one refused command.
std::vector<RigCommand> takeInput(CommandBook book, RigClient& client, std::string_view bytes);
// Whether a line is a web browser's: an HTTP request line ("POST / HTTP/1.1") or a header line
// ("Host: 127.0.0.1:4532"). A connection that starts with one is a page, not a station program.
bool isWebLine(std::string_view line);

// The answer as the client reads it: plain or extended, as the command was asked.
std::string formatAnswer(const RigCommand& command, const Answer& answer);

}  // namespace korvel::rig
