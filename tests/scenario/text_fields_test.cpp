// The window's fields as one line of text, built from what the program really draws.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "session.h"
#include "platform/key_codes.h"
#include "platform/text_fields.h"

namespace korvel {
namespace {

using platform::TextFields;

// Everything the panel drew so far, replayed into the text fields.
std::vector<std::string> fieldsOf(const testing::Station& st) {
  TextFields fields;
  for (const auto& drawn : st.canvas.fields) fields.draw(drawn.part, drawn.text);
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

// A part of the line by its name in kLineParts.
std::string part(const std::vector<std::string>& shown, std::string_view name) {
  for (std::size_t i = 0; i < platform::kLineParts.size(); ++i) {
    if (platform::kLineParts[i].name == name) return shown[i];
  }
  ADD_FAILURE() << "no part " << name;
  return {};
}

TEST(TextFields, EachFieldShowsWhatThePanelLastDrewIntoIt) {
  testing::Session s;
  struct Step {
    int meter;         // the radio's S-meter
    int key;           // 0: none
    const char* part;
    std::string shown;
  } steps[] = {
      {200, 0, "meter", "S9 +30db"},
      {135, 0, "meter", "S9 +5db"},  // nothing of the longer figure is left after the shorter one
      {125, 0, "meter", "S9"},
      {60, 0, "meter", "S4"},
      {60, vk::function(9), "status", "mon"},
      // The monitor's blanks follow the field before them, and still clear the monitor's label.
      {60, vk::function(9), "status", ""},
      {60, 'V', "split", "B"},
  };
  for (const auto& step : steps) {
    s.radio->setMeter(sim::Meter::SMeter, step.meter);
    if (step.key != 0) s.press(step.key);
    s.poll();
    EXPECT_EQ(part(fieldsOf(s), step.part), step.shown) << step.part << " at meter " << step.meter;
  }
}

TEST(TextFields, ShorterValuesCoverWhatWasThere) {
  using platform::Field;
  struct Draw {
    platform::FieldPart part;
    std::string text;
  };
  const platform::FieldPart meter{Field::SMeter}, decibels{Field::SMeter, true}, mode{Field::Mode},
      mark{Field::SplitMark}, markBlanks{Field::SplitMark, true}, frequency{Field::Frequency};
  struct Case {
    std::vector<Draw> draws;
    std::string line;
  } cases[] = {
      // The decibels after S9 go when a weaker reading's blanks or the 50 blanks cover them.
      {{{meter, "S9"}, {decibels, "+20db"}}, "S9 +20db"},
      {{{meter, "S9"}, {decibels, "+20db"}, {meter, "S8           "}}, "S8"},
      {{{meter, "S9"}, {decibels, "+20db"}, {meter, "S9"}, {decibels, std::string(50, ' ')}}, "S9"},
      {{{mode, "FMN     "}, {mode, "CW      "}}, "CW"},
      // Split, then the repeater indicator, then neither.
      {{{mark, "B   "}, {markBlanks, "    "}, {frequency, "14.200000"}}, "B  14.200000"},
      {{{mark, "B   "}, {mark, "R   "}}, "R"},
      {{{mark, "R   "}, {mark, "    "}, {markBlanks, "    "}}, ""},
      // The banner and help lines are not fields; control bytes from a reply become blanks.
      {{{{Field::Banner}, "*** Korvel ***"}, {frequency, "7.1\x1b[2J"}}, "7.1 [2J"},
  };
  for (const auto& c : cases) {
    TextFields fields;
    for (const auto& d : c.draws) fields.draw(d.part, d.text);
    EXPECT_EQ(TextFields::line(fields.fields()), c.line);
  }
}

}  // namespace
}  // namespace korvel
