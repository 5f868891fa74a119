#include "functions/mode.h"

#include <algorithm>
#include <array>

#include "state/panel.h"
#include "state/modes.h"
#include "state/text.h"
#include "display/window_fields.h"
#include "display/status_row.h"
#include "functions/band_table.h"
#include "functions/tones.h"
#include "radio_link/radio_models.h"
#include "radio_link/cat.h"
#include "radio_link/transport.h"
#include "speech/announcers.h"
#include "player/phrase_player.h"
#include "state/radio_numbers.h"

namespace korvel {

namespace {

using mode_number::kAm;
using mode_number::kC4fm;
using mode_number::kCw;
using mode_number::kFm;
using mode_number::kFmNarrow;
using mode_number::kLsb;
using mode_number::kUsb;

constexpr int kSsbWidthMin = 9;
constexpr int kSsbWidthMax = 21;
constexpr int kCwWidthMin = 1;
constexpr int kCwWidthMax = 12;
// CW widths up to this index run with the narrow filter on.
constexpr int kCwNarrowTop = 10;

// The narrow filter in the radio's own form; a radio without one is sent nothing.
void sendNarrowFilter(Panel& p, bool on) {
  const std::string command = cat::narrowFilter(radioRow(p), on);
  if (!command.empty()) sendText(p, command);
}

}  // namespace

void initModeCommandTable(Panel& p) {
  for (std::size_t mode = kLsb; mode < p.mode.modeCommandTable.size(); ++mode) {
    p.mode.modeCommandTable[mode] = cat::mode(static_cast<int>(mode));
  }
}

std::string modeLabel(int mode) {
  const ModeRow* row = modeOfProgram(mode);
  return row == nullptr ? std::string() : row->windowLabel;
}

void applyMode(Panel& p) {
  p.mode.widthQuiet = true;
  p.mode.radioModeCharacter = 0;

  if (p.tone.repeaterActive != repeater_shift::kOff) toggleRepeaterShift(p);
  if (p.tone.toneActive) {
    sendText(p, cat::toneMode(cat::ToneMode::Off));
    p.tone.toneText = kNoTone;
    p.tone.toneActive = false;
  }

  const long long frequency = p.link.frequencyHz;
  const int mode = p.mode.currentMode;
  const bool known = mode >= kLsb && mode <= kFm;
  showField(p, Field::Mode, modeLabel(mode));
  if (isSsb(mode)) p.mode.widthIndex = p.mode.ssbWidthIndex;
  if (mode == kCw) p.mode.widthIndex = p.mode.cwWidthIndex;

  if (!p.link.relayActive && known) {
    std::string command = p.mode.modeCommandTable[static_cast<std::size_t>(mode)];
    if (command.empty()) command = cat::mode(mode);
    sendText(p, command);
  }

  sendNarrowFilter(p, mode == kCw && p.mode.widthIndex <= kCwNarrowTop);
  showStatusRow(p);

  if (isFm(mode)) {
    catPause(p);
    if (const auto level = askRadioValue(p, cat::Reading::Squelch)) p.mode.squelchLevel = static_cast<int>(*level);
    return;
  }

  // Before the first frequency reply there is no frequency to re-send: the radio has just been
  // tuned to the start band, and "FA000000000" would throw that away.
  p.link.frequencyHz = frequency;
  if (frequency > 0) sendFrequency(p);
  if (isSsb(mode) || mode == kCw) sendWidth(p);
  storeModeInBand(p);
}

void showRadioModeName(Panel& p, const std::string& name) {
  constexpr std::size_t kLabelWidth = 8;  // covers the longest label it replaces
  showField(p, Field::Mode, name + std::string(kLabelWidth > name.size() ? kLabelWidth - name.size() : 0, ' '));
}

void sendWidth(Panel& p) {
  const int mode = p.mode.currentMode;
  const bool quiet = p.mode.widthQuiet;
  int& index = p.mode.widthIndex;

  if (isSsb(mode)) {
    index = std::clamp(index, kSsbWidthMin, kSsbWidthMax);
    p.mode.ssbWidthIndex = index;
    if (!quiet && index == kSsbWidthMax) playWord(p, "max");
    if (!quiet && index == kSsbWidthMin) playWord(p, "min");
  } else if (mode == kCw) {
    index = std::clamp(index, kCwWidthMin, kCwWidthMax);
    p.mode.cwWidthIndex = index;
    if (!quiet && index == kCwWidthMax) playWord(p, "max");
  } else {
    // No width table of its own: the index only has to stay a two-digit field.
    index = std::clamp(index, 0, 99);
  }
  if (!quiet && index == 1) playWord(p, "min");

  sendText(p, cat::width(radioRow(p), index));
  p.mode.widthQuiet = false;
}

void stepWidthUp(Panel& p) {
  p.mode.widthQuiet = false;
  const int mode = p.mode.currentMode;
  int& index = p.mode.widthIndex;
  // Pushing against the top sends the top index again, and "max" is said again.
  if (isSsb(mode) && index >= kSsbWidthMax) index = kSsbWidthMax - 1;
  if (mode == kCw && index > kCwWidthMax) index = kCwWidthMax;
  ++index;
  if (mode == kCw && index == kCwNarrowTop + 1) sendNarrowFilter(p, false);
  sendWidth(p);
}

void stepWidthDown(Panel& p) {
  p.mode.widthQuiet = false;
  const int mode = p.mode.currentMode;
  int& index = p.mode.widthIndex;
  if (isSsb(mode) && index <= kSsbWidthMin) index = kSsbWidthMin + 1;
  if (mode == kCw && index < kCwWidthMin) index = kCwWidthMin - 1;
  --index;
  if (mode == kCw && index == kCwNarrowTop) sendNarrowFilter(p, true);
  sendWidth(p);
}

void cycleMode(Panel& p) {
  const bool wide = p.mode.fmWide;
  int mode = p.mode.currentMode + 1;
  if (wide ? mode > kFm : mode > kFmNarrow) mode = kLsb;
  // C4FM follows FM narrow in the numbering but belongs to the digital-voice key alone.
  if (mode == kC4fm) mode = kLsb;
  if (mode == kFmNarrow && p.band.currentBand < band_number::k10m) mode = kLsb;  // no FM below the 10 m band
  if (mode > kAm && p.link.frequencyHz < 27000000) mode = kLsb;
  if (mode == kFmNarrow && wide) mode = kFm;
  if (mode == kFm && !wide) mode = kFmNarrow;
  p.mode.currentMode = mode;
  applyMode(p);
  speakMode(p);
}

void toggleWideFm(Panel& p) {
  if (p.mode.currentMode == kFmNarrow) {
    p.mode.currentMode = kFm;
    p.mode.fmWide = true;
  } else if (p.mode.currentMode == kFm) {
    p.mode.currentMode = kFmNarrow;
    p.mode.fmWide = false;
  }
  applyMode(p);
  speakMode(p);
  p.core.keyState = key_state::kIdle;
}

void toggleDigitalMode(Panel& p) {
  const int mode = p.mode.currentMode;
  if (!radioRow(p).hasDigitalVoice || mode < kFmNarrow || mode > kFm) return;
  if (mode != kC4fm) {
    p.mode.savedTone = p.tone.toneText;
    p.mode.currentMode = kC4fm;
    applyMode(p);
  } else {
    p.mode.currentMode = p.mode.fmWide ? kFm : kFmNarrow;
    applyMode(p);
    const std::string saved = p.mode.savedTone;
    if (saved.size() == 3 && saved != kNoTone) {
      // The tone put aside is given back in its own kind: a DCS code as a DCS code.
      const bool dcs = isDcsCode(saved);
      p.tone.toneText = saved;
      p.tone.toneActive = true;
      p.tone.toneIsDcs = dcs;
      sendText(p, dcs ? cat::dcsCode(saved) : cat::ctcssTone(saved));
      sendText(p, cat::toneMode(dcs ? cat::ToneMode::Dcs : cat::ToneMode::Ctcss));
    }
  }
  speakMode(p);
}

}  // namespace korvel
