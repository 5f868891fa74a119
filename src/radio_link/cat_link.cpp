#include "radio_link/cat_link.h"

#include <algorithm>

#include "radio_link/cat.h"
#include "state/text.h"

namespace korvel::radio_link {

namespace {

constexpr char kTerminator = ';';
// Reads the line once returns at most this much; a longer run without ";" is not a reply.
constexpr std::size_t kLongestReply = kReadCap;
constexpr int kDataBits = 8;
constexpr int kNoParity = 0;
constexpr int kTwoStopBits = 2;
constexpr int kReadsReturnAtOnce = -1;
// While a key's answer is awaited past the pause, the line is looked at this often.
constexpr int kAwaitLookMs = 5;

bool isCapital(char c) { return c >= 'A' && c <= 'Z'; }

}  // namespace

void CatLink::openPort(int port, int baud) {
  port_ = port;
  ports_.closePort(port);
  ports_.openPort(port, baud);
  ports_.setPortReadTimeouts(port, kReadsReturnAtOnce);
  ports_.setPortFrame(port, kDataBits, kNoParity, kTwoStopBits);
}

int CatLink::wireDigits() const { return frequencyDigits_ > 0 ? frequencyDigits_ : model().frequencyDigits; }

void CatLink::log(const std::string& line) const {
  if (log_) log_(line);
}

void CatLink::send(std::string command, std::optional<Asker> refusalTo) {
  // A bare "FA;" query carries no frequency and is never remembered as the last tuning command.
  if (cat::isFrequencyCommand(command) && command.size() > 5) lastFrequencyCommand_ = command;
  command = cat::toWire(wireDigits(), std::move(command));
  if (cat::movesRadioState(command)) ++stateChanges_;
  ports_.writePort(port_, command.data(), static_cast<int>(command.size()));
  log("TX=" + command);
  lastSent_ = std::move(command);
  expire();
  // Settings go to the open list too: a refusal that comes is theirs, not the next question's.
  open_.push_back({refusalTo.value_or(Asker::Key), {}, clock_->nowMs() + refusalDeadlineMs_, stateChanges_, false,
                   refusalTo.has_value()});
}

void CatLink::ask(Asker who, std::string command) {
  std::string text = command.substr(0, command.find(kTerminator));
  send(std::move(command));
  open_.back() = {who, std::move(text), clock_->nowMs() + answerDeadlineMs_, stateChanges_, false, false};
}

void CatLink::learnDigits(std::string_view reply) {
  if (const int digits = cat::frequencyDigitsOf(reply); digits > 0) frequencyDigits_ = digits;
}

bool CatLink::receive() {
  bool any = false;
  char buffer[kReadCap];
  while (ports_.portBytesWaiting(port_) > 0) {
    const int count = ports_.readPort(port_, buffer, static_cast<int>(kReadCap));
    if (count <= 0) break;
    std::string chunk(buffer, static_cast<std::size_t>(count));
    any = true;
    // A read that starts with two capitals starts a reply of its own: what was kept was noise.
    if (!received_.empty() && chunk.size() >= 2 && isCapital(chunk[0]) && isCapital(chunk[1])) {
      log("STRAY=" + received_);
      received_.clear();
    }
    received_ += chunk;
    std::string rest;
    for (std::string& reply : cat::wholeReplies(received_, rest)) sort(std::move(reply));
    received_ = std::move(rest);
    // Kept only what can begin a reply: a capital first, and shorter than any reply.
    if (received_.size() >= kLongestReply || (!received_.empty() && !isCapital(received_[0]))) {
      log("STRAY=" + received_);
      received_.clear();
      for (Open& open : open_) open.heardSomething = true;
    }
  }
  // A reply begun and not ended is the radio's too: should its question be missed, the radio was
  // there all the same.
  if (!received_.empty()) {
    for (Open& open : open_) open.heardSomething = true;
  }
  expire();
  return any;
}

void CatLink::sort(std::string wire) {
  // Leading blanks and line ends some radios and adapters put between replies are not part of them.
  const auto start = wire.find_first_not_of(" \r\n");
  if (start != std::string::npos && start > 0) wire.erase(0, start);
  learnDigits(wire);
  std::string reply = cat::fromWire(wireDigits(), wire);
  log("RX=" + reply);
  // A radio not yet known tells its model in any "ID" answer, asked for or not.
  if (modelNumber_ == 0) {
    if (const auto number = cat::identity(reply)) modelNumber_ = canonicalModelNumber(*number);
  }
  if (reply == kRefusal) {
    // The radio answers in order: the refusal is the oldest open command's.
    if (open_.empty()) {
      log("STRAY=" + reply);
      return;
    }
    const Open refused = open_.front();
    open_.pop_front();
    if (refused.text.empty()) {
      log("REFUSED=" + reply);
      if (refused.reportRefusal) answers_.push_back({refused.who, {{}, reply, wire, refused.stateChangesAtAsk}});
    } else {
      answers_.push_back({refused.who, {refused.text, reply, wire, refused.stateChangesAtAsk}});
    }
    return;
  }
  const auto question = std::find_if(open_.begin(), open_.end(), [&reply](const Open& open) {
    return !open.text.empty() && reply.size() > open.text.size() && reply.compare(0, open.text.size(), open.text) == 0;
  });
  if (question == open_.end()) {
    log("STRAY=" + reply);
    for (Open& open : open_) open.heardSomething = true;
    return;
  }
  answers_.push_back({question->who, {question->text, std::move(reply), std::move(wire), question->stateChangesAtAsk}});
  // The settings that went out before the question have been taken: the radio answers in order, so
  // a refusal of one of them would have come first. Earlier questions stay open for their answers.
  std::deque<Open> stillOpen;
  for (auto open = open_.begin(); open != open_.end(); ++open) {
    if (open > question || (open < question && !open->text.empty())) stillOpen.push_back(std::move(*open));
  }
  open_ = std::move(stillOpen);
}

void CatLink::expire() {
  const long long now = clock_->nowMs();
  while (!open_.empty()) {
    auto overdue = std::find_if(open_.begin(), open_.end(), [now](const Open& open) { return open.deadlineMs <= now; });
    if (overdue == open_.end()) break;
    if (!overdue->text.empty()) {
      log("MISSED=" + overdue->text);
      missed_.push_back({overdue->who, {overdue->text, overdue->stateChangesAtAsk, overdue->heardSomething}});
    }
    open_.erase(overdue);
  }
}

std::vector<Answer> CatLink::takeAnswers(Asker who) {
  std::vector<Answer> taken;
  std::erase_if(answers_, [&](auto& entry) {
    if (entry.first != who) return false;
    taken.push_back(std::move(entry.second));
    return true;
  });
  return taken;
}

std::vector<Missed> CatLink::takeMissed(Asker who) {
  expire();
  std::vector<Missed> taken;
  std::erase_if(missed_, [&](auto& entry) {
    if (entry.first != who) return false;
    taken.push_back(std::move(entry.second));
    return true;
  });
  return taken;
}

bool CatLink::awaiting(Asker who) const {
  return std::any_of(open_.begin(), open_.end(), [who](const Open& open) { return open.who == who && !open.text.empty(); });
}

void CatLink::forget(Asker who) {
  std::erase_if(open_, [who](const Open& open) { return open.who == who && !open.text.empty(); });
  std::erase_if(answers_, [who](const auto& entry) { return entry.first == who; });
  std::erase_if(missed_, [who](const auto& entry) { return entry.first == who; });
}

std::optional<Answer> CatLink::askAndWait(Asker who, std::string command, const std::function<void()>& pause) {
  forget(who);
  ask(who, std::move(command));
  turns.questionOutstanding = true;
  if (pause) pause();
  receive();
  while (awaiting(who)) {
    clock_->sleepMs(kAwaitLookMs);
    receive();
  }
  turns.questionOutstanding = false;
  std::vector<Answer> answers = takeAnswers(who);
  takeMissed(who);
  if (answers.empty()) return std::nullopt;
  return std::move(answers.back());
}

void CatLink::clear() {
  received_.clear();
  lastSent_.clear();
  lastFrequencyCommand_.clear();
  open_.clear();
  answers_.clear();
  missed_.clear();
  turns = {};
}

}  // namespace korvel::radio_link
