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

// The keys typed at a settled station; with `keyAtWord`, speech gives way and a key arrives as the
// announcement's spoken word of that number (from 1, the CAT pause not counted) starts.
Heard run(int speedPercent, std::string_view keys, int keyAtWord = 0) {
  Session s;
  s.p.speech.speedPercent = speedPercent;
  s.prepare(keys.substr(0, keys.size() - 1));
  s.sound.speeds.clear();
  if (keyAtWord > 0) {
    s.p.speech.interruptSpeech = true;
    int spoken = 0;
    s.sound.onWord = [&](const std::string& word) {
      if (word != "delay" && ++spoken == keyAtWord) s.canvas.queue.push_back({platform::kKeyDownMessage, 'B'});
    };
    s.type(keys.substr(keys.size() - 1));
    EXPECT_EQ(s.sound.cut, 1) << keys;
  } else {
    s.type(keys.substr(keys.size() - 1));
  }
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

TEST(SpeechPaceTest, SpeechGivesWayToAKeyButTheRadioSeesTheSame) {
  for (const std::string_view keys : {"F", "B6", "B9", "E14.2\n"}) {
    const Heard whole = run(platform::kAsRecorded, keys);
    for (const int keyAt : {1, 2}) {
      const Heard cut = run(platform::kAsRecorded, keys, keyAt);
      // The words up to the one the key cut, then only the CAT pauses.
      Words expected;
      int spoken = 0;
      for (const auto& word : whole.words) {
        if (word == "delay" || ++spoken <= keyAt) expected.push_back(word);
      }
      EXPECT_EQ(cut.words, expected) << keys << " key at word " << keyAt;
      EXPECT_EQ(cut.commands, whole.commands) << keys;
    }
  }
}

TEST(SpeechPaceTest, AnnouncementAfterTheOneThatGaveWayIsWhole) {
  Session s;
  s.p.speech.interruptSpeech = true;
  s.sound.onWord = [&](const std::string&) {
    if (s.canvas.queue.empty() && s.sound.cut == 0) s.canvas.queue.push_back({platform::kKeyDownMessage, 'F'});
  };
  s.press('F');
  EXPECT_EQ(s.said().size(), 1u);
  s.canvas.queue.clear();  // the waiting key is taken
  s.press('F');
  EXPECT_EQ(s.said(), run(platform::kAsRecorded, "F").words);
}

}  // namespace
}  // namespace korvel::testing
