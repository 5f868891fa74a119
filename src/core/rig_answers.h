// The rig server as the program lives with it: each client's commands answered in order from what
// the program knows, the rest put in the radio line's turns, and what a client set followed.
#pragma once

#include <string>

namespace korvel {
struct Panel;

// Reads the clients and answers every command that can be answered now; on a timer tick also
// counts how long a command has waited for a fresh state.
void serveRigClients(Panel& p, bool tick);
// The radio has had a client's command (answer: what it said, empty for a setting): the client
// is answered, the program follows the setting, and the client's next commands are served.
void finishRigRadioWork(Panel& p, int connection, const std::string& answer);
// Releases a transmitter a rig-server client keyed when that client has gone (closed, killed, its
// connection reset) or the transmission has lasted the time limit: the radio unkeyed, "tx off" said
// (after "txlimit" when the limit ended it). The operator's own keying is never limited.
void guardClientTransmission(Panel& p);

}  // namespace korvel
