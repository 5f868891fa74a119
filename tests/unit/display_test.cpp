// The main window operations and the status row, drawn on the text canvas.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "state/panel.h"
#include "core/dispatcher.h"
#include "display/main_window.h"
#include "display/status_row.h"
#include "display/window_fields.h"
#include "session.h"

namespace korvel {
namespace {

using DisplayMainWindow = testing::SessionAt<testing::Ready::kNothing>;

TEST_F(DisplayMainWindow, CreatedAtItsPlaceWithItsCaption) {
  ASSERT_TRUE(createMainWindow(p));
  EXPECT_TRUE(canvas.created);
  EXPECT_EQ(canvas.left, 250);
  EXPECT_EQ(canvas.top, 100);
  EXPECT_EQ(canvas.width, 950);
  EXPECT_EQ(canvas.height, 500);
  EXPECT_EQ(canvas.title, "*** Korvel Front Panel v3.6a ***");
  EXPECT_EQ(p.display.windowOpen, 1);
  closeMainWindow(p);
  EXPECT_TRUE(canvas.closed);
  EXPECT_EQ(p.display.windowOpen, 0);
}

TEST_F(DisplayMainWindow, PrintDropsTheLineEndAndContinuesOnTheSameLine) {
  // Default font: the canvas gives 8 px per character.
  moveTo(p, 100, 200);
  printText(p, {"ab", "c", "\r\n"});
  EXPECT_EQ(canvas.at(100, 200), "abc");
  EXPECT_EQ(p.display.x, 124);
  EXPECT_EQ(p.display.y, 200);
  printText(p, {"de", "\r\n"});
  EXPECT_EQ(canvas.at(124, 200), "de");
  EXPECT_EQ(p.display.x, 140);
  EXPECT_EQ(canvas.fields.size(), 2u);
}

TEST_F(DisplayMainWindow, WhatIsLeftOfAPrintAfterTheLineEnd) {
  struct Case {
    std::vector<std::string> pieces;
    std::string drawn;  // empty: nothing drawn
  } cases[] = {
      {{"\r\n"}, ""},
      {{"", "\r", "\n"}, ""},
      {{}, ""},
      {{"\n"}, ""},
      {{"x\n"}, "x"},
      {{"a\r\nb", "\r\n"}, "a\r\nb"},  // only the final line end goes
      {{"x\r"}, "x\r"},                 // no line feed: nothing removed
      {{"x\n\n"}, "x\n"},
      {{"  ", "\r\n"}, "  "},
  };
  for (const auto& c : cases) {
    canvas.fields.clear();
    moveTo(p, 10, 20);
    std::string joined;
    for (const auto& piece : c.pieces) joined += piece;
    printText(p, std::string_view(joined));
    if (c.drawn.empty()) {
      EXPECT_TRUE(canvas.fields.empty()) << joined.size();
      EXPECT_EQ(p.display.x, 10);
    } else {
      ASSERT_EQ(canvas.fields.size(), 1u);
      EXPECT_EQ(canvas.fields[0].text, c.drawn);
      EXPECT_EQ(p.display.x, 10 + canvas.widthOf(c.drawn));
    }
  }
}

TEST_F(DisplayMainWindow, ShorterValueWithTrailingBlanksCoversALongerOne) {
  setFont(p, "Ariel", 50, 700);
  moveTo(p, 50, 45);
  printText(p, {"FMN     ", "\r\n"});
  moveTo(p, 50, 45);
  printText(p, {"CW      ", "\r\n"});
  EXPECT_EQ(canvas.at(50, 45), "CW      ");
  EXPECT_EQ(canvas.fields[0].text.size(), canvas.fields[1].text.size());
}

TEST_F(DisplayMainWindow, SetFontRecordsAndPassesOnTheFont) {
  EXPECT_EQ(p.display.fontFace, "");
  setFont(p, "ARIEL", 20, 20);
  EXPECT_EQ(p.display.fontFace, "ARIEL");
  EXPECT_EQ(p.display.fontPoints, 20);
  EXPECT_EQ(p.display.fontWeight, 20);
  EXPECT_EQ(canvas.face, "ARIEL");
  EXPECT_EQ(canvas.points, 20);
  EXPECT_EQ(canvas.weight, 20);
  setFont(p, std::string(40, 'F'), 50, 700);
  EXPECT_EQ(p.display.fontFace, std::string(31, 'F'));
  EXPECT_EQ(canvas.face, std::string(31, 'F'));
}

TEST_F(DisplayMainWindow, SpacesNeverNegative) {
  EXPECT_EQ(spaces(-3), "");
  EXPECT_EQ(spaces(0), "");
  EXPECT_EQ(spaces(50), std::string(50, ' '));
}

TEST_F(DisplayMainWindow, TimerRunsAtFiftyMilliseconds) {
  startTimer(p);
  EXPECT_TRUE(canvas.timerRunning);
  EXPECT_EQ(canvas.timerPeriodMs, 50);
  stopTimer(p);
  EXPECT_FALSE(canvas.timerRunning);
}

TEST_F(DisplayMainWindow, ProcessEventsHandsEveryPendingEventToTheDispatcher) {
  p.core.running = 1;
  canvas.queue.push_back({platform::kKeyUpMessage, 'B'});
  canvas.queue.push_back({platform::kCloseMessage, 0});
  processEvents(p);
  EXPECT_TRUE(canvas.queue.empty());
  EXPECT_EQ(p.core.running, 0);
}

TEST_F(DisplayMainWindow, EachFieldIsDrawnAtItsPlaceInItsFont) {
  constexpr int kInForce = 10;  // a field without a font of its own keeps the font in force
  struct Case {
    Field field;
    int x, y, points;
  } cases[] = {
      {Field::Banner, 280, 10, kInForce},   {Field::KeyHelp, 140, 380, kInForce},
      {Field::FunctionKeyHelp, 140, 405, kInForce}, {Field::Mode, 50, 45, 50},
      {Field::SMeter, 750, 45, kInForce},   {Field::SplitMark, 80, 150, kInForce},
      {Field::Frequency, 285, 150, kInForce}, {Field::Preamp, 40, 250, 20},
      {Field::Attenuator, 170, 250, 20},    {Field::NoiseBlanker, 240, 250, 20},
      {Field::NoiseReduction, 310, 250, 20}, {Field::Notch, 360, 250, 20},
      {Field::Contour, 460, 250, 20},       {Field::Processor, 550, 250, 20},
      {Field::VoxBreakIn, 620, 250, 20},    {Field::Monitor, 690, 250, 20},
      {Field::Tone, 780, 250, 20},
  };
  for (const auto& c : cases) {
    setFont(p, "System", kInForce, 400);
    showField(p, c.field, "x");
    const auto& drawn = canvas.fields.back();
    EXPECT_EQ((std::vector<int>{drawn.x, drawn.y, drawn.points}), (std::vector<int>{c.x, c.y, c.points}))
        << static_cast<int>(c.field);
    EXPECT_EQ(drawn.part.field, c.field);
    EXPECT_FALSE(drawn.part.more);
  }
}

// ---------------------------------------------------------------- status row

// The row's fields as drawn, in order: x and text.
struct Field {
  int x;
  std::string text;
  bool operator==(const Field&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Field& f) { return out << "(" << f.x << ", '" << f.text << "')"; }

class DisplayStatusRow : public DisplayMainWindow {
 protected:
  std::vector<Field> row() {
    std::vector<Field> out;
    for (const auto& f : canvas.fields) {
      EXPECT_EQ(f.y, 250);
      EXPECT_EQ(f.face, "Ariel");
      EXPECT_EQ(f.points, 20);
      EXPECT_EQ(f.weight, 20);
      out.push_back({f.x, f.text});
    }
    canvas.fields.clear();
    return out;
  }
  static std::string blanks(int n) { return std::string(n, ' '); }
  // The canvas gives 13 px per character at 20 points; field 9 follows field 8 without a move.
  static int after(int x, const std::string& text) { return x + 13 * static_cast<int>(text.size()); }
};

TEST_F(DisplayStatusRow, AllOffIsBlanksOfTheRightWidths) {
  p.mode.currentMode = 1;
  showStatusRow(p);
  const std::vector<Field> want = {
      {40, blanks(12)}, {170, blanks(4)}, {240, blanks(4)}, {310, blanks(3)},
      {360, blanks(9)}, {460, blanks(8)}, {550, blanks(7)}, {620, blanks(5)},
      {after(620, blanks(5)), blanks(11)},  // monitor off: no move
      {780, blanks(30)},
  };
  EXPECT_EQ(row(), want);
  // The large font is in force afterwards.
  EXPECT_EQ(p.display.fontFace, "Ariel");
  EXPECT_EQ(p.display.fontPoints, 50);
  EXPECT_EQ(p.display.fontWeight, 700);
  EXPECT_EQ(canvas.points, 50);
}

TEST_F(DisplayStatusRow, EverythingOnInLsb) {
  p.mode.currentMode = 1;
  p.fn.preampOn = 1;
  p.fn.attOn = 1;
  p.fn.nbOn = 1;
  p.fn.nrState = nr_state::kOn;
  p.fn.notchOn = 1;
  p.fn.contourState = contour_state::kPeak;
  p.fn.procState = 1;
  p.core.voxOn = 1;
  p.core.breakIn = 1;  // not shown outside CW
  p.core.monitorOn = 1;
  p.tone.toneText = "012";
  showStatusRow(p);
  const std::vector<Field> want = {
      {40, "preamp "}, {170, "att"}, {240, "nb"}, {310, "nr"}, {360, "notch"}, {460, "Cont."},
      {550, "spc"},    {620, "vox"}, {690, "mon"}, {780, "ctcss=012" + blanks(13)},
  };
  EXPECT_EQ(row(), want);
}

TEST_F(DisplayStatusRow, CwShowsBreakInAndNeverTheProcessor) {
  p.mode.currentMode = 3;
  p.fn.procState = 1;
  p.core.breakIn = 1;
  p.core.voxOn = 1;
  showStatusRow(p);
  const auto fields = row();
  ASSERT_EQ(fields.size(), 10u);
  EXPECT_EQ(fields[6], (Field{550, blanks(7)}));
  EXPECT_EQ(fields[7], (Field{620, "bin "}));
  EXPECT_EQ(fields[8], (Field{after(620, "bin "), blanks(11)}));

  p.core.breakIn = 0;
  showStatusRow(p);
  EXPECT_EQ(row()[7], (Field{620, blanks(5)}));
}

TEST_F(DisplayStatusRow, OnlyTheExactOnValuesShowAFlag) {
  // nrState 2 means "not read from the radio": no "nr" flag.
  p.mode.currentMode = 2;
  p.fn.nrState = nr_state::kUnknown;
  p.fn.procState = 1;
  showStatusRow(p);
  const auto fields = row();
  ASSERT_EQ(fields.size(), 10u);
  EXPECT_EQ(fields[0], (Field{40, blanks(12)}));
  EXPECT_EQ(fields[3], (Field{310, blanks(3)}));
  EXPECT_EQ(fields[6], (Field{550, "spc"}));  // USB also shows the processor
}

TEST_F(DisplayStatusRow, MonitorOffBlanksStartWhereFieldEightEnded) {
  p.mode.currentMode = 2;
  p.core.monitorOn = 1;
  showStatusRow(p);
  EXPECT_EQ(canvas.at(690, 250), "mon");
  row();
  p.core.voxOn = 1;
  p.core.monitorOn = 0;
  showStatusRow(p);
  const auto fields = row();
  EXPECT_EQ(fields[8], (Field{after(620, "vox"), blanks(11)}));
  // Nothing is drawn at x 690 itself: the old "mon" is covered only where the blanks reach.
  EXPECT_EQ(canvas.at(690, 250), "mon");
}

TEST_F(DisplayStatusRow, ToneField) {
  struct Case {
    std::string tone;
    int isDcs;
    std::string want;
  } cases[] = {
      {"999", 0, blanks(30)},
      {"000", 0, blanks(30)},
      {"999", 1, blanks(30)},
      {"012", 0, "ctcss=012" + blanks(13)},
      {"049", 1, "ctcss=049" + blanks(13)},  // CTCSS numbers whatever the DCS flag
      {"412", 0, "ctcss=412" + blanks(13)},
      {"523", 1, "dcs=523" + blanks(14)},
      {"623", 1, "dcs=623" + blanks(14)},
      {"523", 0, blanks(28)},
  };
  for (const auto& c : cases) {
    p.tone.toneText = c.tone;
    p.tone.toneIsDcs = c.isDcs;
    showStatusRow(p);
    const auto fields = row();
    ASSERT_EQ(fields.size(), 10u);
    EXPECT_EQ(fields[9], (Field{780, c.want})) << c.tone << "/" << c.isDcs;
  }
}

}  // namespace
}  // namespace korvel
