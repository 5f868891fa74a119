#include "platform/speech_dispatcher.h"

#include <libspeechd.h>

#include <chrono>
#include <cstdlib>
#include <map>

namespace korvel::platform {

namespace {

using namespace std::chrono_literals;

// A message whose end never comes (a synthesizer that hangs) is given up after this long plus the
// time its text could take at the slowest rate anyone speaks.
constexpr auto kLongestMessageBase = 10s;
constexpr auto kLongestMessagePerCharacter = 200ms;
// More finished messages than the program ever waits for at once: older ids are forgotten.
constexpr std::size_t kDoneIdsKept = 64;

// libspeechd calls back with a connection's client id and no pointer of ours, so this table leads
// a call to the object that owns that connection. It is the library's design that asks for it: the
// table holds an entry only while such an object lives.
struct Owners {
  std::mutex mutex;
  std::map<std::size_t, SpeechDispatcherOutput*> byClient;
};

Owners& owners() {
  static Owners table;
  return table;
}

void onMessageDone(std::size_t messageId, std::size_t clientId, SPDNotificationType) {
  auto& table = owners();
  std::lock_guard lock(table.mutex);
  const auto it = table.byClient.find(clientId);
  if (it != table.byClient.end()) it->second->messageDone(messageId);
}

}  // namespace

std::unique_ptr<SpeechDispatcherOutput> SpeechDispatcherOutput::connect(std::string& why) {
  char* error = nullptr;
  SPDConnection* connection = spd_open2("korvel", "main", nullptr, SPD_MODE_THREADED, nullptr, 1, &error);
  if (connection == nullptr) {
    why = error != nullptr ? error : "speech-dispatcher does not answer";
    std::free(error);
    // libspeechd's text may end in a colon and a reason it left empty: one line, nothing hanging.
    while (!why.empty() && (why.back() == ' ' || why.back() == ':' || why.back() == '\n')) why.pop_back();
    return nullptr;
  }
  std::free(error);
  const int client = spd_get_client_id(connection);
  if (client < 0 || spd_set_notification_on(connection, SPD_END) != 0 ||
      spd_set_notification_on(connection, SPD_CANCEL) != 0) {
    why = "speech-dispatcher does not report the end of a message";
    spd_close(connection);
    return nullptr;
  }
  std::unique_ptr<SpeechDispatcherOutput> output(new SpeechDispatcherOutput(connection));
  {
    auto& table = owners();
    std::lock_guard lock(table.mutex);
    table.byClient[static_cast<std::size_t>(client)] = output.get();
  }
  connection->callback_end = onMessageDone;
  connection->callback_cancel = onMessageDone;
  return output;
}

SpeechDispatcherOutput::~SpeechDispatcherOutput() {
  {
    auto& table = owners();
    std::lock_guard lock(table.mutex);
    for (auto it = table.byClient.begin(); it != table.byClient.end();) {
      it = it->second == this ? table.byClient.erase(it) : std::next(it);
    }
  }
  spd_cancel(connection_);
  spd_close(connection_);
}

void SpeechDispatcherOutput::messageDone(std::size_t messageId) {
  std::lock_guard lock(mutex_);
  done_.insert(messageId);
  while (done_.size() > kDoneIdsKept) done_.erase(done_.begin());
  changed_.notify_all();
}

int SpeechDispatcherOutput::say(const std::string& text) {
  if (background_ >= 0) {
    spd_cancel(connection_);
    background_ = -1;
  }
  return spd_say(connection_, SPD_MESSAGE, text.c_str());
}

bool SpeechDispatcherOutput::speak(const std::string& text, const Pace& pace) {
  const int id = say(text);
  if (id < 0) return false;
  const auto deadline =
      std::chrono::steady_clock::now() + kLongestMessageBase + kLongestMessagePerCharacter * text.size();
  const auto messageId = static_cast<std::size_t>(id);
  std::unique_lock lock(mutex_);
  while (done_.count(messageId) == 0) {
    if (std::chrono::steady_clock::now() >= deadline) break;
    lock.unlock();
    if (pace.meanwhile) pace.meanwhile();
    if (pace.giveWay && pace.giveWay()) {
      spd_cancel(connection_);
      return true;
    }
    lock.lock();
    changed_.wait_for(lock, std::chrono::milliseconds(kMeanwhileLookMs),
                      [&] { return done_.count(messageId) != 0; });
  }
  done_.erase(messageId);
  return true;
}

bool SpeechDispatcherOutput::speakAsync(const std::string& text) {
  background_ = say(text);
  return background_ >= 0;
}

void SpeechDispatcherOutput::cancel() {
  spd_cancel(connection_);
  background_ = -1;
}

}  // namespace korvel::platform
