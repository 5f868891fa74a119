// The braille display's line: frequency first, the terminal line's pace, and each announcement's
// text for a few seconds before the fields come back.
#include <gtest/gtest.h>

#include "platform/braille_line.h"

namespace korvel::platform {
namespace {

using namespace std::chrono_literals;
using Clock = BrailleLine::Clock;

void drawStation(BrailleLine& line, const std::string& frequency, const std::string& meter) {
  line.draw({Field::Mode}, "USB ");
  line.draw({Field::SplitMark}, "B");
  line.draw({Field::Frequency}, frequency);
  line.draw({Field::SMeter}, meter);
  line.draw({Field::Preamp}, "PRE");
  line.draw({Field::Tone}, "T 88.5");
}

TEST(BrailleLineTest, FrequencyFirstThenModeMarkMeterAndStatus) {
  BrailleLine line;
  drawStation(line, "14.200000", "S9");
  EXPECT_EQ(line.due(Clock::now()), "14.200000  USB  B  S9  PRE T 88.5");
  EXPECT_EQ(line.due(Clock::now() + 1h), std::nullopt);  // nothing new: nothing written
}

TEST(BrailleLineTest, RewrittenAtTheTerminalLinesPace) {
  const auto t0 = Clock::now();
  struct Step {
    std::chrono::milliseconds at;
    std::string frequency;
    std::string meter;
    std::optional<std::string> written;
  };
  const Step steps[] = {
      {0ms, "7.100000", "S5", "7.100000  USB  B  S5  PRE T 88.5"},
      {300ms, "7.100000", "S7", std::nullopt},  // the meter alone: not within a second
      {999ms, "7.100000", "S7", std::nullopt},
      {1000ms, "7.100000", "S7", "7.100000  USB  B  S7  PRE T 88.5"},
      {1100ms, "7.105000", "S7", std::nullopt},  // any field: not within a quarter second
      {1250ms, "7.105000", "S7", "7.105000  USB  B  S7  PRE T 88.5"},
      {1500ms, "7.110000", "S9", "7.110000  USB  B  S9  PRE T 88.5"},  // the meter goes with a field
  };
  BrailleLine line;
  for (const Step& step : steps) {
    drawStation(line, step.frequency, step.meter);
    EXPECT_EQ(line.due(t0 + step.at), step.written) << step.at.count() << " ms";
  }
}

TEST(BrailleLineTest, AnAnnouncementStaysAFewSecondsThenTheFieldsReturn) {
  const auto t0 = Clock::now();
  BrailleLine line;
  drawStation(line, "7.100000", "S5");
  ASSERT_TRUE(line.due(t0));
  line.announce("twenty metres pre amp on", t0 + 1s);
  EXPECT_EQ(line.due(t0 + 1s), "twenty metres pre amp on");
  drawStation(line, "14.200000", "S3");  // the fields change while it is shown
  EXPECT_EQ(line.due(t0 + 1s + kAnnouncementShown - 1ms), std::nullopt);
  EXPECT_EQ(line.due(t0 + 1s + kAnnouncementShown), "14.200000  USB  B  S3  PRE T 88.5");
  // The same fields as before the announcement come back too.
  line.announce("U S B", t0 + 10s);
  EXPECT_EQ(line.due(t0 + 10s), "U S B");
  EXPECT_EQ(line.due(t0 + 10s + kAnnouncementShown), "14.200000  USB  B  S3  PRE T 88.5");
}

TEST(BrailleLineTest, AShortDisplayShowsTheFrequencyAndPansAlongTheLine) {
  const auto t0 = Clock::now();
  BrailleLine line;
  line.setWidth(12);
  drawStation(line, "14.200000", "S9");
  EXPECT_EQ(line.due(t0), "14.200000  U");
  EXPECT_EQ(line.panLeft(), std::nullopt);  // already at the start
  EXPECT_EQ(line.panRight(), "SB  B  S9  P");
  EXPECT_EQ(line.panRight(), "RE T 88.5");
  EXPECT_EQ(line.panRight(), std::nullopt);  // already at the end
  // The meter moves: the reader stays where they panned to.
  drawStation(line, "14.200000", "S7");
  EXPECT_EQ(line.due(t0 + 2s), "RE T 88.5");
  EXPECT_EQ(line.panLeft(), "SB  B  S7  P");
  // An announcement starts at its beginning, and so do the fields after it.
  line.announce("twenty metres pre amp on", t0 + 3s);
  EXPECT_EQ(line.due(t0 + 3s), "twenty metre");
  EXPECT_EQ(line.panRight(), "s pre amp on");
  EXPECT_EQ(line.due(t0 + 3s + kAnnouncementShown), "14.200000  U");
}

}  // namespace
}  // namespace korvel::platform
