#include "core/startup.h"

#include <iostream>

#include "core/config.h"
#include "core/dispatcher.h"
#include "core/poll_cycle.h"
#include "state/panel.h"
#include "state/frequency_text.h"
#include "state/text.h"
#include "display/main_window.h"
#include "display/window_fields.h"
#include "state/band_record.h"
#include "functions/band_table.h"
#include "functions/mode.h"
#include "memory/memory_store.h"
#include "memory/station_lock.h"
#include "radio_link/debug_log.h"
#include "radio_link/cat.h"
#include "radio_link/rig_server.h"
#include "radio_link/transport.h"
#include "player/phrase_player.h"
#include "state/radio_numbers.h"

namespace korvel {

namespace {

inline constexpr const char* kHelpLine1 =
    "b=Band  f=Freq  e=Entry m=Mode  w=Filter width p=Power a=af gain r=RF gain q=Quit  s=SMeter/swr";
inline constexpr const char* kHelpLine2 =
    "F1=Preamp F2=Attenuator F3=Noise Blanker F4=Noise Reduction F5=Notch F6=Speech Proc.";

void pause(Panel& p, int times) {
  for (int i = 0; i < times; ++i) catPause(p);
}

// An import of channels holds the station folder for a moment: long enough to wait for it.
constexpr int kStationLockTries = 25;

// The station folder is this program's while it runs, so that no import of channels is written over
// by its saves, nor its channels by another Korvel's. A folder no one can write needs no lock.
bool takeStationFolder(Panel& p) {
  for (int tries = 1; tries <= kStationLockTries; ++tries) {
    if (lockStation(p) != StationLock::heldElsewhere) return true;
    catPause(p);
  }
  std::cerr << "korvel: another Korvel is running on the station folder " << p.folder.string() << "\n";
  return false;
}

}  // namespace

void setStartValues(Panel& p) {
  p.radio.clear();
  p.core.swrText.clear();
  p.core.offsetEntry.clear();
  p.mode.savedTone.clear();
  p.band.currentBand = band_number::kDefault;
  p.core.entryNumber = core::kNoEntryNumber;
  p.mode.squelchLevel = 8;
  p.level.keyerSpeed = 15;
  p.memory.lastBank = memory::kNoBank;
  p.tone.toneText = kNoTone;
  p.core.monitorLevel = "050";
  p.mode.currentMode = mode_number::kLsb;
  p.mode.widthIndex = 14;
  p.mode.ssbWidthIndex = 14;
  p.mode.cwWidthIndex = 11;
  p.mode.widthQuiet = true;
  p.level.rfGain = 250;
  p.level.afGain = 50;
  p.fn.contourFreq = 1200;
  p.fn.nrLevel = 1;
  initBandTable(p);
  initModeCommandTable(p);
  initMemorySlots(p);
}

bool startUp(Panel& p) {
  p.core.versionText = core::kVersionText;
  p.core.bannerText = "*** Korvel V " + p.core.versionText + " ***";
  p.speech.waveFolder = speech::kWaveFolder;

  createMainWindow(p);
  for (const char* word : {"korvel.wav", "3.wav", "point", "6"}) playWord(p, word);

  if (!readConfiguration(p)) {
    playWord(p, "cfgnf");
    return false;
  }

  showField(p, Field::Banner, p.core.bannerText);
  showField(p, Field::KeyHelp, kHelpLine1);
  showField(p, Field::FunctionKeyHelp, kHelpLine2);

  if (!takeStationFolder(p)) {
    playWord(p, "inuse");
    return false;
  }
  if (p.config.debugLog) openDebugLog(p);

  setStartValues(p);
  loadMemoryBanks(p);

  setUpPort(p, p.config.comPort);
  openRigServer(p);
  // Speaking never stops the station: its clients are served while each word plays.
  p.speech.whileSpeaking = [&p] { serveStationWhileSpeaking(p); };

  if (p.config.radioPowerSwitch) {
    sendText(p, cat::powerOnWakeUp());
    pause(p, 6);
    sendText(p, cat::set(cat::Switch::Power, true));
    pause(p, 11);
  }

  if (!isBandNumber(p.band.currentBand)) p.band.currentBand = band_number::kDefault;
  const std::string& record = p.band.bandTable[static_cast<std::size_t>(p.band.currentBand)];
  const std::string field = band_record::vfoAField(record);
  p.link.frequencyText = recordFrequencyText(mid(field, 2, kFrequencyDigitCount));
  sendText(p, cat::tuneField(field));
  sendText(p, cat::vfoSelectA());

  p.mode.currentMode = static_cast<int>(wholeValueOf(mid(record, 2, 1)));
  if (p.mode.currentMode == mode_number::kFm) p.mode.fmWide = true;
  p.mode.savedMode = p.mode.currentMode;
  applyMode(p);

  startTimer(p);
  p.core.running = true;
  return true;
}

void shutDown(Panel& p) {
  stopTimer(p);
  closeRigServer(p);
  saveMemoryBanks(p);
  closeMainWindow(p);
  if (p.config.radioPowerSwitch) {
    sendText(p, cat::set(cat::Switch::Power, false));
    catPause(p);
  }
  p.ports.closePort(p.config.comPort);
  if (p.config.passThroughPort > 0 && p.config.passThroughPort != p.config.comPort) {
    p.ports.closePort(p.config.passThroughPort);
  }
  closeDebugLog(p);
  unlockStation(p);
}

int runProgram(Panel& p) {
  if (!startUp(p)) {
    finishAnnouncement(p);
    closeMainWindow(p);
    return 0;
  }
  while (p.core.running) processEvents(p);
  shutDown(p);
  return 0;
}

}  // namespace korvel
