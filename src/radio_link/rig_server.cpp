#include "radio_link/rig_server.h"

#include <algorithm>
#include <iostream>

#include "radio_link/cat_link.h"
#include "radio_link/debug_log.h"
#include "state/panel.h"

namespace korvel {

namespace {

constexpr int kReadChunk = 4096;
// A client with this many commands unanswered is not read until they are: a flood waits in its own
// connection and holds up no one else.
constexpr std::size_t kMaxQueuedCommands = 64;
// Answers a client has not taken beyond this: it has stopped reading, and it is closed.
constexpr std::size_t kMaxUntakenOutput = 64 * 1024;
// How much of a refused web request line the debug log shows.
constexpr std::size_t kLoggedLineLength = 80;

bool hasRoom(const rig::RigClient& client) { return client.commands.size() < kMaxQueuedCommands && !client.closing; }

// Passes what the connection takes now; false when the client is to be closed.
bool passOn(Panel& p, rig::RigClient& client) {
  while (!client.output.empty()) {
    const int written = p.network.write(client.connection, client.output.data(), static_cast<int>(client.output.size()));
    if (written < 0) return false;
    if (written == 0) break;
    client.output.erase(0, static_cast<std::size_t>(written));
  }
  if (client.output.size() > kMaxUntakenOutput) return false;
  return !client.closing || !client.output.empty();
}

void readClient(Panel& p, rig::CommandBook book, rig::RigClient& client) {
  if (!hasRoom(client)) return;
  char buffer[kReadChunk];
  const int count = p.network.read(client.connection, buffer, kReadChunk);
  if (count < 0) {
    client.closing = true;  // gone: nothing more is read, its answers go nowhere
    client.output.clear();
    client.commands.clear();
    return;
  }
  if (count > 0) client.lastHeardMs = p.radio.clock().nowMs();
  const std::string_view bytes(buffer, static_cast<std::size_t>(count));
  if (!client.firstLineSeen) {
    // A web page the operator opens can reach this port too: a connection whose first line is a
    // browser's is closed at once, and nothing it sent runs.
    const std::string start = client.input + std::string(bytes.substr(0, bytes.find('\n')));
    if (bytes.find('\n') != std::string_view::npos || start.size() >= rig::kMaxLineLength) {
      client.firstLineSeen = true;
      if (rig::isWebLine(start)) {
        if (p.config.debugLog) writeDebugLine(p, "RIG: a web browser's request closed unread: " + start.substr(0, kLoggedLineLength));
        client.closing = true;
        client.input.clear();
        client.output.clear();
        client.commands.clear();
        return;
      }
    }
  }
  auto commands = rig::takeInput(book, client, std::string_view(buffer, static_cast<std::size_t>(count)));
  for (auto& command : commands) client.commands.push_back(std::move(command));
}

// Makes room for a new connection: the one silent the longest goes, unless the radio is answering
// it just now (then the next silent one).
void closeLongestSilent(Panel& p) {
  auto& clients = p.server.clients;
  auto silent = clients.end();
  for (auto it = clients.begin(); it != clients.end(); ++it) {
    if (it->radioWork == rig::RadioWork::onLine) continue;
    if (silent == clients.end() || it->lastHeardMs < silent->lastHeardMs) silent = it;
  }
  if (silent == clients.end()) silent = clients.begin();
  if (p.config.debugLog) writeDebugLine(p, "RIG: connection closed for a new one (the longest silent)");
  p.network.close(silent->connection);
  clients.erase(silent);
  if (p.server.nextClient >= clients.size()) p.server.nextClient = 0;
}

}  // namespace

void openRigServer(Panel& p) {
  auto& s = p.server;
  if (!s.enabled || s.listening) return;
  const std::string why = p.network.listen(s.address, s.port);
  if (!why.empty()) {
    if (s.notices != nullptr) {
      *s.notices << "korvel: the rig server cannot listen on " << s.address << ":" << s.port << " (" << why
                 << "); running without it\n";
    }
    return;
  }
  s.listening = true;
}

void closeRigServer(Panel& p) {
  for (const auto& client : p.server.clients) p.network.close(client.connection);
  p.server.clients.clear();
  if (p.server.listening) p.network.stopListening();
  p.server.listening = false;
}

void readRigClients(Panel& p, rig::CommandBook book) {
  auto& s = p.server;
  if (!s.listening) return;
  while (const int connection = p.network.accept()) {
    if (s.clients.size() >= kMaxRigClients) closeLongestSilent(p);
    rig::RigClient client;
    client.connection = connection;
    client.lastHeardMs = p.radio.clock().nowMs();
    s.clients.push_back(std::move(client));
  }
  for (auto& client : s.clients) readClient(p, book, client);
}

rig::RigClient* rigClient(Panel& p, int connection) {
  for (auto& client : p.server.clients) {
    if (client.connection == connection) return &client;
  }
  return nullptr;
}

void answerRigCommand(Panel& p, rig::RigClient& client, const rig::Answer& answer) {
  client.radioWork = rig::RadioWork::none;
  client.waitTicks = 0;
  if (client.commands.empty()) return;  // a client that has gone while the radio was asked
  const rig::RigCommand command = std::move(client.commands.front());
  client.commands.pop_front();
  client.output += rig::formatAnswer(command, answer);
  if (command.name == "quit") {
    client.closing = true;
    client.commands.clear();
  }
  if (!passOn(p, client)) {
    // Gone, or not taking its answers: closed at the next flush, its queue forgotten.
    client.closing = true;
    client.output.clear();
    client.commands.clear();
  }
}

void flushRigClients(Panel& p) {
  auto& clients = p.server.clients;
  for (auto it = clients.begin(); it != clients.end();) {
    const bool onLine = it->radioWork == rig::RadioWork::onLine;
    if (passOn(p, *it) || onLine) {
      ++it;
      continue;
    }
    p.network.close(it->connection);
    it = clients.erase(it);
  }
  if (p.server.nextClient >= clients.size()) p.server.nextClient = 0;
}

std::vector<platform::InputHandle> rigHandlesToWatch(Panel& p) {
  std::vector<platform::InputHandle> handles;
  if (!p.server.listening) return handles;
  handles.push_back(p.network.listenerHandle());
  for (const auto& client : p.server.clients) {
    if (hasRoom(client)) handles.push_back(p.network.inputHandle(client.connection));
  }
  std::erase(handles, platform::kNoInputHandle);
  return handles;
}

bool rigCommandReady(const Panel& p) {
  return std::any_of(p.server.clients.begin(), p.server.clients.end(),
                     [](const rig::RigClient& c) { return c.radioWork == rig::RadioWork::queued; });
}

std::optional<RigRadioWork> takeRigCommand(Panel& p) {
  return takeRigCommand(p, [](const rig::RigClient&) { return true; });
}

std::optional<RigRadioWork> takeRigCommand(Panel& p, const std::function<bool(const rig::RigClient&)>& eligible) {
  auto& s = p.server;
  const std::size_t count = s.clients.size();
  for (std::size_t i = 0; i < count; ++i) {
    auto& client = s.clients[(s.nextClient + i) % count];
    if (client.radioWork != rig::RadioWork::queued || client.commands.empty() || !eligible(client)) continue;
    s.nextClient = (s.nextClient + i + 1) % count;
    client.radioWork = rig::RadioWork::onLine;
    s.exchangeCommand = client.commands.front();
    s.exchangeSent = client.radioCommand;
    s.exchangeIsSetting = !client.radioAnswerExpected;
    return RigRadioWork{client.connection, client.radioCommand, client.radioAnswerExpected};
  }
  return std::nullopt;
}

}  // namespace korvel
