#include "radio_link/transport.h"

#include "state/panel.h"
#include "state/text.h"
#include "radio_link/cat.h"
#include "radio_link/pass_through.h"
#include "radio_link/radio_models.h"
#include "player/phrase_player.h"

namespace korvel {

namespace {

std::string wholeCommand(Panel& p, std::string command, bool followSplit) {
  // A relayed command's answer may still be on its way: it is taken first, so that it neither
  // reaches this command's caller nor is lost to the other program.
  settleRelayExchange(p);
  if (followSplit && p.tone.vfoB) command = cat::addressVfoB(std::move(command));
  return capStored(command + ";");
}

}  // namespace

void readReply(Panel& p) {
  settleRelayExchange(p);
  p.radio.receive();
}

void catPause(Panel& p) { playWord(p, kPauseWord); }

int wireFrequencyDigits(const Panel& p) { return p.radio.wireDigits(); }

const RadioModel& radioRow(const Panel& p) { return p.radio.model(); }

void sendText(Panel& p, std::string command) { p.radio.send(wholeCommand(p, std::move(command), true)); }

void sendTextAsNamed(Panel& p, std::string command) { p.radio.send(wholeCommand(p, std::move(command), false)); }

void sendQuestion(Panel& p, radio_link::Asker who, std::string command) {
  p.radio.ask(who, wholeCommand(p, std::move(command), true));
}

void sendSettingAsNamed(Panel& p, radio_link::Asker refusalTo, std::string command) {
  p.radio.send(wholeCommand(p, std::move(command), false), refusalTo);
}

void sendQuestionAsNamed(Panel& p, radio_link::Asker who, std::string command) {
  p.radio.ask(who, wholeCommand(p, std::move(command), false));
}

std::string queryRadio(Panel& p, std::string command) {
  std::string whole = wholeCommand(p, std::move(command), true);
  const auto answer = p.radio.askAndWait(radio_link::Asker::Key, std::move(whole), [&p] { catPause(p); });
  if (!answer || answer->refused()) return {};
  return answer->reply;
}

bool refusedBeforeSending(Panel& p, const std::string& command) {
  if (!p.radio.radioRefuses(command)) return false;
  playWord(p, "na");
  return true;
}

void setUpPort(Panel& p, int port) {
  if (port == p.config.comPort) {
    p.radio.openPort(port, p.config.baudRate);
    return;
  }
  p.ports.closePort(port);
  p.ports.openPort(port, p.config.baudRate);
  p.ports.setPortReadTimeouts(port, -1);
  p.ports.setPortFrame(port, 8, 0, 2);
}

void sendFrequency(Panel& p) { sendText(p, cat::tune(cat::Vfo::A, p.link.frequencyHz)); }

std::optional<std::string> askRadio(Panel& p, cat::Reading what) {
  const RadioModel& model = radioRow(p);
  return cat::readingText(what, model, queryRadio(p, cat::query(what, model)));
}

std::optional<long> askRadioValue(Panel& p, cat::Reading what) {
  const auto text = askRadio(p, what);
  if (!text) return std::nullopt;
  return wholeValueOf(*text);
}

std::string askMenu(Panel& p, const std::string& number) {
  return cat::menuValue(radioRow(p), queryRadio(p, cat::menu(number)));
}

}  // namespace korvel
