#include "display/status_row.h"

#include <string>

#include "state/panel.h"
#include "state/text.h"
#include "display/main_window.h"
#include "state/radio_numbers.h"

namespace korvel {

namespace {

constexpr int kRowY = 250;

// One field: a move to its column, then either its label or the blanks that cover the label.
void showField(Panel& p, int x, bool on, const char* label, int blanks) {
  moveTo(p, x, kRowY);
  printText(p, {on ? std::string(label) : spaces(blanks), "\r\n"});
}

}  // namespace

void showStatusRow(Panel& p) {
  const auto& fn = p.fn;
  const int mode = p.mode.currentMode;
  setFont(p, "Ariel", 20, 20);

  showField(p, 40, fn.preampOn, "preamp ", 12);
  showField(p, 170, fn.attOn, "att", 4);
  showField(p, 240, fn.nbOn, "nb", 4);
  showField(p, 310, fn.nrState == nr_state::kOn, "nr", 3);
  showField(p, 360, fn.notchOn, "notch", 9);
  showField(p, 460, fn.contourState != contour_state::kOff, "Cont.", 8);
  showField(p, 550, fn.procState > 0 && isSsb(mode), "spc", 7);
  if (mode == mode_number::kCw) {
    showField(p, 620, p.core.breakIn, "bin ", 5);
  } else {
    showField(p, 620, p.core.voxOn, "vox", 5);
  }

  // With the monitor off its blanks follow field 8 directly, wherever that text ended: the
  // area at x 690 is covered only as far as those blanks reach.
  if (p.core.monitorOn) {
    moveTo(p, 690, kRowY);
    printText(p, {"mon", "\r\n"});
  } else {
    printText(p, {spaces(11), "\r\n"});
  }

  const std::string& tone = p.tone.toneText;
  moveTo(p, 780, kRowY);
  if (tone == kNoTone || tone == "000") {
    printText(p, {spaces(30), "\r\n"});
  } else if (left(tone, 1) <= "4") {
    printText(p, {"ctcss=", tone, spaces(13), "\r\n"});
  } else if (p.tone.toneIsDcs) {
    printText(p, {"dcs=", tone, spaces(14), "\r\n"});
  } else {
    printText(p, {spaces(28), "\r\n"});
  }

  setFont(p, "Ariel", 50, 700);
}

}  // namespace korvel
