#include "core/transmit_keys.h"

#include <string>

#include "functions/mode.h"
#include "player/phrase_player.h"
#include "radio_link/radio_models.h"
#include "radio_link/cat.h"
#include "radio_link/transport.h"
#include "state/panel.h"
#include "state/radio_numbers.h"
#include "state/text.h"

namespace korvel {

namespace {

// The tune carrier goes out at the lowest power, in AM.
constexpr int kCarrierPowerWatts = 5;

void pause(Panel& p, int times) {
  for (int i = 0; i < times; ++i) catPause(p);
}

void tuneOff(Panel& p) {
  playWord(p, "off");
  if (p.config.tunerState > 0) {
    sendText(p, cat::set(cat::Switch::Transmit, false));
    if (p.config.tunerState == 3) p.config.tunerState = 0;
    pause(p, 5);
    sendText(p, cat::level(cat::Level::TransmitPower, p.config.txPower));
    applyMode(p);
  }
  p.core.tuneActive = false;
}

void keyCarrier(Panel& p) {
  sendText(p, cat::level(cat::Level::TransmitPower, kCarrierPowerWatts));
  sendText(p, cat::mode(mode_number::kAm));
  sendFrequency(p);
  sendText(p, cat::set(cat::Switch::Transmit, true));
}

}  // namespace

void transmitterOn(Panel& p, bool send) {
  auto& c = p.core;
  // The state first: a rig-server client asking while "tx on" is said hears the transmitter keyed.
  c.txState = p.config.swrAnnounce + 10;
  p.config.swrAnnounce = 0;
  c.txSettleTicks = 2;
  c.tunerEngaged = false;
  playWord(p, "tx");
  playWord(p, "on");
  if (send) sendText(p, cat::set(cat::Switch::Transmit, true));
}

void transmitterOff(Panel& p, bool send) {
  auto& c = p.core;
  p.config.swrAnnounce = c.txState - 10;
  c.txState = 0;
  if (send) sendText(p, cat::set(cat::Switch::Transmit, false));
  playWord(p, "tx");
  playWord(p, "off");
}

void transmitKey(Panel& p) {
  if (p.core.txState == 0) {
    transmitterOn(p, true);
  } else {
    transmitterOff(p, true);
  }
}

void tuneKey(Panel& p) {
  auto& c = p.core;
  playWord(p, "tune");
  if (c.tuneActive) {
    tuneOff(p);
    return;
  }
  playWord(p, "on");
  c.tuneActive = true;
  auto& tuner = p.config.tunerState;
  if ((tuner == 0 || tuner == 2) && p.radio.radioRefuses(cat::tunerStart(radioRow(p)))) {
    // A radio without a tuner Korvel can start: the carrier alone, the tuner setting kept.
    playWord(p, "atu");
    playWord(p, "na");
  } else if (tuner == 0 || tuner == 2) {
    if (p.link.frequencyHz > 73000000) {
      playWord(p, "atu");
      playWord(p, "na");
      tuner = 3;
    } else {
      if (!c.tunerEngaged) {
        sendText(p, cat::tuner(true));
        c.tunerEngaged = true;
      }
      sendText(p, cat::tunerStart(radioRow(p)));
      restartTickCount(c);
      for (int i = 0; i < 10; ++i) playWord(p, "beep");
      playWord(p, "ok");
      if (tuner == 0) {
        // The tuner's cycle is complete: nothing more to key.
        playWord(p, "tune");
        tuneOff(p);
        return;
      }
    }
  }
  keyCarrier(p);
}

void tunerSettingKey(Panel& p) {
  p.core.tunerEngaged = false;
  playWord(p, "tuner");
  if (refusedBeforeSending(p, cat::tuner(true))) return;
  auto& tuner = p.config.tunerState;
  if (tuner == 1) {
    sendText(p, cat::tuner(true));
    playWord(p, "on");
    tuner = 0;
  } else if (tuner == 0) {
    sendText(p, cat::tuner(true));
    playWord(p, "both");
    tuner = 2;
  } else {
    sendText(p, cat::tuner(false));
    playWord(p, "off");
    tuner = 1;
  }
}

}  // namespace korvel
