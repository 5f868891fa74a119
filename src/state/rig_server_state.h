// State of the rig server: where it listens, its clients, what each has asked and not yet been
// answered, and the answers its connection has not taken yet.
#pragma once

#include <deque>
#include <ostream>
#include <string>
#include <vector>

#include "state/radio_values.h"

namespace korvel::rig {

// rigctld's own port, on the loopback address: only programs on this computer are served.
inline constexpr int kDefaultPort = 4532;
inline constexpr const char* kDefaultAddress = "127.0.0.1";
// How long a transmission another program keyed may last before Korvel ends it; 0: no limit.
inline constexpr int kDefaultTxLimitSeconds = 600;

struct CommandSpec;

// One command of a client as the protocol reader took it from a line.
struct RigCommand {
  const CommandSpec* spec = nullptr;  // the command served; null for one refused as it was read
  std::string name;               // the long name ("get_freq"); empty for a command not served
  std::vector<std::string> args;  // its arguments, as written
  std::string vfo;                // the VFO it names first, once the client has set "\set_vfo_opt 1"
  bool extended = false;          // the extended form: a header line, labels, and "RPRT 0" at the end
  char separator = '\n';          // what ends each answer field in the extended form
  int refusal = 0;                // a Hamlib error the reader gives it (an unknown command, a bad line)
};

// Where a client's first command stands with the radio.
enum class RadioWork : int {
  none = 0,    // answered from what the program knows, or not started
  queued = 1,  // its CAT command waits for the relay's turn on the line
  onLine = 2,  // sent; for a query, the answer is on its way
};

struct RigClient {
  int connection = 0;
  std::string input;              // the start of a line not yet complete
  bool skippingLine = false;      // the rest of an overlong line is being skipped
  bool vfoMode = false;           // "\set_vfo_opt 1": each command names its VFO first
  std::deque<RigCommand> commands;  // asked and not yet answered, in the order asked
  RadioWork radioWork = RadioWork::none;
  std::string radioCommand;       // the CAT text of the first command's radio work
  bool radioAnswerExpected = false;  // a query; a setting gets no answer
  int waitTicks = 0;              // ticks the first command has waited for a fresh state
  std::string output;             // answers the connection has not taken yet
  bool closing = false;           // said "q", or gone: closed once its answers are out
  bool firstLineSeen = false;     // its first line has been looked at (a web page's is refused)
  long long lastHeardMs = 0;      // when it last sent anything (or connected), on the link's clock
};

struct RigServerState {
  bool enabled = true;
  std::string address = kDefaultAddress;
  int port = kDefaultPort;
  bool listening = false;
  std::ostream* notices = nullptr;  // where a server that cannot listen says so (one line)
  std::vector<RigClient> clients;
  std::size_t nextClient = 0;       // whose radio work goes next: the clients take turns
  bool lastSourceWasServer = false;  // the relay alternates between the pass-through and the server
  Vfo selectedVfo = Vfo::A;         // the client's choice ("V VFOB")
  // The frequency a client just tuned the polled VFO to, and the radio's change count right after:
  // until anything else moves the radio, that is where it is, before the poll has read it back.
  long long tunedHertz = 0;
  long tunedAtChange = -1;
  // The relay's exchange for a client: whose command is on the line, and the one just finished
  // with the radio's answer (empty for a setting), for the program to follow and answer.
  int exchangeConnection = 0;
  // The command on the line, kept should its client go before the radio has answered it.
  RigCommand exchangeCommand;
  std::string exchangeSent;
  bool exchangeIsSetting = false;
  int finishedConnection = 0;
  std::string finishedAnswer;
  // The connection whose "T 1" keyed the transmitter, until the transmitter is released (0: none,
  // or the operator keyed it), and when, on the radio link's clock. Should that connection go, or
  // the transmission outlast txLimitSeconds, Korvel releases the transmitter itself.
  // The sub VFO's mode a client set ("X"), with its passband: the radio keeps no passband for it.
  char subModeCharacter = 0;
  long subPassbandHz = 0;
  int keyedBy = 0;
  long long keyedAtMs = 0;
  int txLimitSeconds = kDefaultTxLimitSeconds;
};

}  // namespace korvel::rig
