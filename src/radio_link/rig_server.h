// The rig server's transport: the listening socket, its clients' input into commands, their answers
// back out, and the clients' radio work as one more source of commands for the relay's turns.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/serial_ports.h"
#include "radio_link/rig_protocol.h"
#include "state/rig_server_state.h"

namespace korvel {
struct Panel;

// Programs served at once. A new connection beyond this many takes the place of the one that has
// been silent the longest: a program that opened a connection and forgot it never shuts the door.
inline constexpr std::size_t kMaxRigClients = 32;

// Starts listening where the panel's server settings say. One that cannot listen says why in one
// line and the program runs on without it.
void openRigServer(Panel& p);
void closeRigServer(Panel& p);
// Takes waiting connections and what the clients have sent; whole lines join their command queues.
void readRigClients(Panel& p, rig::CommandBook book);
// The client on a connection; null when it has gone.
rig::RigClient* rigClient(Panel& p, int connection);
// Answers a client's first command, takes it off the queue and passes the answer on at once.
void answerRigCommand(Panel& p, rig::RigClient& client, const rig::Answer& answer);
// Passes every client what it has not taken yet; a client that stops taking its answers, or has
// gone, or said "q", is closed and forgotten.
void flushRigClients(Panel& p);
// What the event wait watches for the server: the listener and every client with room for more.
std::vector<platform::InputHandle> rigHandlesToWatch(Panel& p);

// The relay's side. A client's first command waits for the radio line; the clients take turns.
bool rigCommandReady(const Panel& p);
struct RigRadioWork {
  int connection = 0;
  std::string command;  // CAT text without ";"
  bool answerExpected = false;
};
std::optional<RigRadioWork> takeRigCommand(Panel& p);
// The same, among the clients whose waiting command `eligible` takes.
std::optional<RigRadioWork> takeRigCommand(Panel& p, const std::function<bool(const rig::RigClient&)>& eligible);

}  // namespace korvel
