#include "display/status_row.h"

#include <string>

#include "state/panel.h"
#include "state/text.h"
#include "display/main_window.h"
#include "display/window_fields.h"
#include "state/radio_numbers.h"

namespace korvel {

namespace {

// One field: its label, or the blanks that cover the label.
void showFlag(Panel& p, Field field, bool on, const char* label, int blanks) {
  showField(p, field, on ? std::string(label) : spaces(blanks));
}

}  // namespace

void showStatusRow(Panel& p) {
  const auto& fn = p.fn;
  const int mode = p.mode.currentMode;

  showFlag(p, Field::Preamp, fn.preampOn, "preamp ", 12);
  showFlag(p, Field::Attenuator, fn.attOn, "att", 4);
  showFlag(p, Field::NoiseBlanker, fn.nbOn, "nb", 4);
  showFlag(p, Field::NoiseReduction, fn.nrState == nr_state::kOn, "nr", 3);
  showFlag(p, Field::Notch, fn.notchOn, "notch", 9);
  showFlag(p, Field::Contour, fn.contourState != contour_state::kOff, "Cont.", 8);
  showFlag(p, Field::Processor, fn.procState && isSsb(mode), "spc", 7);
  if (mode == mode_number::kCw) {
    showFlag(p, Field::VoxBreakIn, p.core.breakIn, "bin ", 5);
  } else {
    showFlag(p, Field::VoxBreakIn, p.core.voxOn, "vox", 5);
  }

  // With the monitor off its blanks follow field 8 directly, wherever that text ended: the
  // area at x 690 is covered only as far as those blanks reach.
  if (p.core.monitorOn) {
    showField(p, Field::Monitor, "mon");
  } else {
    showFieldHere(p, Field::Monitor, spaces(11));
  }

  const std::string& tone = p.tone.toneText;
  if (tone == kNoTone || tone == "000") {
    showField(p, Field::Tone, spaces(30));
  } else if (left(tone, 1) <= "4") {
    showField(p, Field::Tone, "ctcss=" + tone + spaces(13));
  } else if (p.tone.toneIsDcs) {
    showField(p, Field::Tone, "dcs=" + tone + spaces(14));
  } else {
    showField(p, Field::Tone, spaces(28));
  }

  setFont(p, kLargeFont);
}

}  // namespace korvel
