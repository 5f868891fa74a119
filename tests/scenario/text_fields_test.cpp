// The window's fields as one line of text, built from what the program really draws.
#include <gtest/gtest.h>

#include <string>

#include "session.h"
#include "platform/key_codes.h"
#include "platform/text_fields.h"

namespace korvel {
namespace {

using platform::TextFields;

// Everything the panel drew so far, replayed into the text fields.
std::vector<std::string> fieldsOf(const testing::Station& st) {
  TextFields fields;
  for (const auto& drawn : st.canvas.fields) fields.draw(drawn.x, drawn.y, drawn.points, drawn.text);
  return fields.fields();
}

TEST(TextFields, TheLineFollowsTheOperatorsSession) {
  testing::Session s;
  const std::string start = TextFields::line(fieldsOf(s));
  EXPECT_EQ(start.rfind("LSB  7.100000  S", 0), 0u) << start;
  struct Step {
    std::string keys;
    int functionKey;  // 0: none
    std::string line;  // without the S-meter, which the simulated radio moves
  } steps[] = {
      {"B6", 0, "USB  14.200000  preamp"},
      {"", 3, "USB  14.200000  preamp nb"},
      {"M", 0, "CW  14.200000  preamp nb"},
      {"E7.05\n", 0, "LSB  7.050000  nb"},
  };
  for (const auto& step : steps) {
    s.type(step.keys);
    if (step.functionKey != 0) s.press(vk::function(step.functionKey));
    s.poll();
    auto shown = fieldsOf(s);
    EXPECT_EQ(shown[platform::kMeterField].rfind("S", 0), 0u) << shown[platform::kMeterField];
    shown[platform::kMeterField].clear();
    EXPECT_EQ(TextFields::line(shown), step.line) << "after " << step.keys << " F" << step.functionKey;
  }
}

TEST(TextFields, ShorterValuesCoverWhatWasThere) {
  struct Draw {
    int x, y, points;
    std::string text;
  };
  struct Case {
    std::vector<Draw> draws;
    std::string line;
  } cases[] = {
      // The decibels after S9 go when a weaker reading's blanks or the 50 blanks cover them.
      {{{750, 45, 50, "S9"}, {816, 45, 20, "+20db"}}, "S9 +20db"},
      {{{750, 45, 50, "S9"}, {816, 45, 20, "+20db"}, {750, 45, 50, "S8           "}}, "S8"},
      {{{750, 45, 50, "S9"}, {816, 45, 20, "+20db"}, {750, 45, 50, "S9"}, {816, 45, 20, std::string(50, ' ')}},
       "S9"},
      {{{50, 45, 50, "FMN     "}, {50, 45, 50, "CW      "}}, "CW"},
      // Split, then the repeater indicator, then neither.
      {{{80, 150, 50, "B   "}, {144, 150, 50, "    "}, {285, 150, 50, "14.200000"}}, "B  14.200000"},
      {{{80, 150, 50, "B   "}, {80, 150, 50, "R   "}}, "R"},
      {{{80, 150, 50, "R   "}, {80, 150, 50, "    "}, {144, 150, 50, "    "}}, ""},
      // The banner and help lines are not fields; control bytes from a reply become blanks.
      {{{280, 10, 0, "*** Korvel ***"}, {285, 150, 50, "7.1\x1b[2J"}}, "7.1 [2J"},
  };
  for (const auto& c : cases) {
    TextFields fields;
    for (const auto& d : c.draws) fields.draw(d.x, d.y, d.points, d.text);
    EXPECT_EQ(TextFields::line(fields.fields()), c.line);
  }
}

}  // namespace
}  // namespace korvel
