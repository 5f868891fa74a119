// The pace of speech: faster words, and announcements that give way to the next key. Either way the
// radio sees what it sees at the recorded pace, and the CAT pause keeps its length.
#include "session.h"

namespace korvel::testing {
namespace {

struct Heard {
  Words words;
  std::vector<int> speeds;
  Commands commands;
};

Heard run(int speedPercent, std::string_view keys) {
  Session s;
  s.p.speech.speedPercent = speedPercent;
  s.sound.speeds.clear();
  s.type(keys);
  return {s.heard(), s.sound.speeds, s.commands()};
}

TEST(SpeechPaceTest, FasterSpeechChangesNothingButThePaceOfTheWords) {
  for (const std::string_view keys : {"F", "M", "B6", "E14.2\n"}) {
    const Heard asRecorded = run(platform::kAsRecorded, keys);
    const Heard fast = run(200, keys);
    EXPECT_EQ(fast.words, asRecorded.words) << keys;
    EXPECT_EQ(fast.commands, asRecorded.commands) << keys;
    ASSERT_EQ(fast.speeds.size(), fast.words.size()) << keys;
    for (std::size_t i = 0; i < fast.words.size(); ++i) {
      EXPECT_EQ(fast.speeds[i], fast.words[i] == "delay" ? platform::kAsRecorded : 200) << keys << " " << fast.words[i];
    }
  }
}

}  // namespace
}  // namespace korvel::testing
