// Pass-through transport: another program talks CAT to the pass-through port; each of its commands is
// relayed to the radio in turn and the radio's answer to it goes back. What the program follows is the caller's.
#pragma once

#include <string>

namespace korvel {
struct Panel;

// How many timer ticks a forwarded command's answer is waited for at most: its deadline on the
// link's clock (the CAT pause, 0.2 s) in ticks of the timer.
inline constexpr int kAnswerWaitTicks = 4;

// What the program is to follow of a finished exchange; empty texts when nothing.
struct RelayOutcome {
  std::string modeCommand;      // a relayed mode setting ("MD04;")
  std::string frequencyAnswer;  // the frequency part of the radio's answer ("FA014074000;")
  long stateChangesAtQuery = 0; // the change count when the command went out (for the stale rule)
  int rigConnection = 0;        // a rig-server client whose command the radio has had
  std::string rigAnswer;        // the radio's answer to it (empty for a setting)
};

// The relay serves the pass-through port and the rig server's clients alike.
bool relayInUse(const Panel& p);
// Reads what the other program has sent into the relay buffer, as far as whole commands fit.
void readPassThrough(Panel& p);
// True when a whole command waits in the relay buffer or a rig-server client's command waits.
bool relayCommandReady(const Panel& p);
enum class RelayStep {
  answeredHere,  // the radio was not asked: the line stays free
  over,          // forwarded, and nothing (more) to wait for
  awaiting,      // forwarded; the line is the relay's until the answer is in
};
// Takes the next whole command and answers it here or forwards it.
RelayStep startRelayExchange(Panel& p);
enum class RelayWait {
  awaiting,       // the answer is not in yet
  over,           // the answer is complete, or it has been waited for for the CAT pause
  settingPassed,  // no answer, and the other program has already sent on: the command was a
                  // setting, and the next may go out in the same turn
};
// One timer tick of waiting: takes what the radio has sent.
RelayWait relayAnswerTick(Panel& p);
// Input on the radio line between ticks: takes it; true when the awaited answer is complete (and
// passed back), or when none was awaited.
bool relayAnswerArrived(Panel& p);
// Ends an awaited exchange now, waiting at most one CAT pause more: the program's own command is
// about to go out and must not meet the forwarded one's answer on the line.
void settleRelayExchange(Panel& p);
// While a word plays, between the exchanges of the key under way: one rig-server client's command
// goes out (settings only, unless queriesToo: the poll's answer may be on its way), never a mode
// setting, whose following needs the radio line itself.
RelayStep startRigWorkMeanwhile(Panel& p, bool queriesToo);
// What is left to follow of the finished exchanges, and forgets it.
RelayOutcome takeRelayOutcome(Panel& p);

}  // namespace korvel
