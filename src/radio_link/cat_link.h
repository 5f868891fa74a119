// The conversation with one radio over its CAT line, in one object: the port, the radio's row and
// frequency width, the bytes received and their cutting into whole replies, the questions awaiting
// an answer with their deadlines, the settings the radio may still refuse, and the line's turns
// between the keys, the poll and the relay.
//
// Every reply is read whole and by its own letters: a reply goes to the oldest open question whose
// text it starts with, whichever read it arrived in; a refusal ("?;") to the oldest command still
// open, question or setting; anything else belongs to no question and is written to the log only.
// Deadlines come from the clock: a question not answered in time is missed, and its answer, should
// it come later, is a stray like any other.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/serial_ports.h"
#include "radio_link/radio_models.h"

namespace korvel::radio_link {

// Who asked. The poll may have several questions open (a slow radio's answers come after the next
// query has gone out); the keys and the relay one each.
enum class Asker { Key, Poll, Relay };

// How long the radio has to answer a question: the CAT pause the program has always given it.
inline constexpr int kAnswerDeadlineMs = 200;
// How long after a setting the radio's refusal of it may still come.
inline constexpr int kRefusalDeadlineMs = 200;
// What the radio answers to a command it cannot take.
inline constexpr std::string_view kRefusal = "?;";

struct Answer {
  std::string question;  // the question's text without ";" ("FA", "SM0", "EX0810")
  std::string reply;     // the whole reply (";" included, frequencies widened to nine digits); kRefusal when refused
  std::string wire;      // the reply as the radio sent it
  long stateChangesAtAsk = 0;  // the radio's state-change count when the question went out
  bool refused() const { return reply == kRefusal; }
};

struct Missed {
  std::string question;
  long stateChangesAtAsk = 0;
  // Something came from the radio after the question went out that no question could take: the
  // radio is there, its answer could not be read.
  bool heardSomething = false;
};

// The line's turns between the relay and the poll, and the key's hold on the line.
struct LineTurns {
  bool questionOutstanding = false;  // from a key's query until its answer is read
  bool relayAwaiting = false;        // while a forwarded command's answer is on its way
  int lineWaitTicks = 0;             // ticks the answer now awaited has been waited for
  int relayTurnForwarded = 0;        // commands forwarded in the relay's present turn
  bool pollQueryDue = false;         // a tick found the line the relay's: the poll sends next
  long relayStateChangesAtAsk = 0;   // the state-change count when the forwarded command went out
};

class CatLink {
 public:
  using LogLine = std::function<void(const std::string&)>;

  CatLink(platform::SerialPorts& ports, platform::Clock& clock) : ports_(ports), clock_(&clock) {}
  CatLink(const CatLink&) = delete;
  CatLink& operator=(const CatLink&) = delete;

  // Where the deadlines are read from (a test's own clock).
  void useClock(platform::Clock& clock) { clock_ = &clock; }
  platform::Clock& clock() { return *clock_; }
  // A radio that takes longer to answer than a serial newcat radio (one behind Hamlib): how long
  // its questions stay open, and how long after a setting its refusal may come.
  void allowAnswersWithin(int answerMs, int refusalMs) {
    answerDeadlineMs_ = answerMs;
    refusalDeadlineMs_ = refusalMs;
  }
  // The debug log's line writer; empty: nothing is logged.
  void setLog(LogLine log) { log_ = std::move(log); }

  // ---- The port ----
  // Close, open at baud, reads that return at once, 8 data bits, no parity, two stop bits.
  void openPort(int port, int baud);
  int port() const { return port_; }
  // Whether the radio is known to be gone (not merely slow): only a radio behind another program can tell.
  bool radioKnownGone() { return ports_.knownSilent(port_); }
  // Whether the radio is known to refuse a setting (its command without ";") before it is sent.
  bool radioRefuses(const std::string& command) { return ports_.knownToRefuse(port_, command); }
  void usePort(int port) { port_ = port; }
  platform::InputHandle inputHandle() { return ports_.inputHandle(port_); }

  // ---- The radio ----
  int modelNumber() const { return modelNumber_; }
  void setModelNumber(int number) { modelNumber_ = number; }
  const RadioModel& model() const { return radioModel(modelNumber_); }
  // Digits of a frequency on this radio's wire: what its own frequency answers showed, else its row's.
  int wireDigits() const;

  // ---- Sending ----
  // A whole command (";" included) as the program writes it: shortened to the radio's frequency
  // width, counted when it moves the radio's state, logged. A setting stays open for a refusal;
  // with refusalTo, a refusal of it is that asker's answer (question text empty, reply kRefusal).
  void send(std::string command, std::optional<Asker> refusalTo = std::nullopt);
  // A question: sent like a command; its answer is the reply that starts with its text.
  void ask(Asker who, std::string command);
  // What went out last, as it went out.
  const std::string& lastSent() const { return lastSent_; }
  // The last "FA"/"FB" + nine digits + ";" sent, before shortening.
  const std::string& lastFrequencyCommand() const { return lastFrequencyCommand_; }

  // ---- Receiving ----
  // Reads what has arrived and sorts its whole replies to their questions. True when anything came.
  bool receive();
  // Whether the radio has sent anything not yet read.
  bool bytesWaiting() { return ports_.portBytesWaiting(port_) > 0; }
  // The answers that have come to this asker's questions, oldest first, and forgets them.
  std::vector<Answer> takeAnswers(Asker who);
  // This asker's questions whose deadline has passed unanswered, and forgets them.
  std::vector<Missed> takeMissed(Asker who);
  bool awaiting(Asker who) const;
  // Gives up this asker's open questions now: their answers, should they come, are strays.
  void forget(Asker who);
  // Asks, then waits (the pause first, then the clock) until the answer or the deadline; the answer
  // or nothing. The pause is what the operator hears while the radio answers.
  std::optional<Answer> askAndWait(Asker who, std::string command, const std::function<void()>& pause);

  // ---- What the answers are judged by ----
  // Commands that moved the radio's frequency, band, mode or split, counted as they go out; a
  // frequency answer to a question sent before the last of them tells of a state already left.
  long stateChanges() const { return stateChanges_; }
  long stateChangesAtQuery() const { return stateChangesAtQuery_; }
  void setStateChangesAtQuery(long count) { stateChangesAtQuery_ = count; }
  void markFrequencyQuery() { stateChangesAtQuery_ = stateChanges_; }
  bool frequencyAnswerIsStale() const { return stateChanges_ != stateChangesAtQuery_; }
  // The count when the last fresh frequency answer was taken.
  long stateChangesAtReply() const { return stateChangesAtReply_; }
  void noteFreshReply() { stateChangesAtReply_ = stateChanges_; }

  LineTurns turns;

  // Back to the state of a fresh start (the radio's row and width are kept).
  void clear();

 private:
  struct Open {
    Asker who;
    std::string text;  // the question's text without ";"; empty for a setting
    long long deadlineMs = 0;
    long stateChangesAtAsk = 0;
    bool heardSomething = false;
    bool reportRefusal = false;  // a setting whose refusal its sender takes
  };

  void log(const std::string& line) const;
  void sort(std::string reply);
  void expire();
  void learnDigits(std::string_view reply);

  platform::SerialPorts& ports_;
  int answerDeadlineMs_ = kAnswerDeadlineMs;
  int refusalDeadlineMs_ = kRefusalDeadlineMs;
  platform::Clock* clock_;
  LogLine log_;
  int port_ = 0;
  int modelNumber_ = 0;      // 0 until identified; 310 is kept as 241
  int frequencyDigits_ = 0;  // as the radio's frequency answers show; 0 until one came
  std::string received_;     // the start of a reply the last read cut off
  std::string lastSent_;
  std::string lastFrequencyCommand_;
  std::deque<Open> open_;    // questions and settings, in the order they went out
  std::vector<std::pair<Asker, Answer>> answers_;
  std::vector<std::pair<Asker, Missed>> missed_;
  long stateChanges_ = 0;
  long stateChangesAtQuery_ = 0;
  long stateChangesAtReply_ = 0;
};

}  // namespace korvel::radio_link
