// The CAT link's conversation as the radio and the debug log see it: every reply taken whole and by
// its own letters, whatever read it came in; strays, refusals and missed deadlines never taken as
// another question's answer.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "radio_link/cat_link.h"
#include "simulated_ports.h"
#include "station_clock.h"
#include "word_recorder.h"

namespace korvel::radio_link {
namespace {

constexpr int kPort = 5;

struct Line {
  testing::SimulatedSerialPorts ports{nullptr, kPort};
  testing::WordRecorder sound;
  testing::StationClock clock{sound};
  CatLink link{ports, clock};
  std::vector<std::string> log;
  Line() {
    ports.addPort(kPort);
    link.openPort(kPort, 38400);
    link.setLog([this](const std::string& line) { log.push_back(line); });
  }
  void radioSays(const std::string& bytes) {
    ports.feed(kPort, bytes);
    link.receive();
  }
  std::vector<std::string> replies(Asker who) {
    std::vector<std::string> texts;
    for (const Answer& answer : link.takeAnswers(who)) texts.push_back(answer.reply);
    return texts;
  }
  bool logged(const std::string& line) const { return std::find(log.begin(), log.end(), line) != log.end(); }
};

using Texts = std::vector<std::string>;

TEST(CatLink, MergedAndCutRepliesAreEachTakenByTheirOwnQuestion) {
  Line l;
  l.link.ask(Asker::Poll, "SM0;");
  l.link.ask(Asker::Poll, "FA;");
  l.link.ask(Asker::Key, "AG0;");
  l.radioSays("SM0111;FA0071");  // the meter answer whole, the frequency answer cut by the read
  EXPECT_EQ(l.replies(Asker::Poll), Texts{"SM0111;"});
  l.radioSays("00010;AG0");
  EXPECT_EQ(l.replies(Asker::Poll), Texts{"FA007100010;"});
  EXPECT_TRUE(l.link.awaiting(Asker::Key));
  l.radioSays("050;");
  EXPECT_EQ(l.replies(Asker::Key), Texts{"AG0050;"});
  EXPECT_FALSE(l.link.awaiting(Asker::Poll));
  EXPECT_EQ(l.ports.written(kPort), "SM0;FA;AG0;");
}

TEST(CatLink, AStrayAnswerIsLoggedAndNeverTakenForTheNextQuestion) {
  Line l;
  l.link.send("NA0;");  // on a radio that takes it as the query, the answer is a stray
  l.link.ask(Asker::Relay, "PC;");
  l.radioSays("NA01;");
  EXPECT_TRUE(l.replies(Asker::Relay).empty());
  EXPECT_TRUE(l.link.awaiting(Asker::Relay));
  EXPECT_TRUE(l.logged("STRAY=NA01;"));
  l.radioSays("PC050;");
  EXPECT_EQ(l.replies(Asker::Relay), Texts{"PC050;"});
  // An auto-information report nobody asked for, and noise that can start no reply.
  l.radioSays("IF00014074000+000000200000;");
  l.radioSays("\x01\x02");
  EXPECT_TRUE(l.logged("STRAY=IF00014074000+000000200000;"));
  EXPECT_TRUE(l.logged("STRAY=\x01\x02"));
}

TEST(CatLink, ARefusalIsTheOldestOpenCommands) {
  Line l;
  // Refused setting: the question after it still gets its own answer.
  l.link.send("EX0810500;");
  l.link.ask(Asker::Relay, "PC;");
  l.radioSays("?;PC050;");
  EXPECT_EQ(l.replies(Asker::Relay), Texts{"PC050;"});
  EXPECT_TRUE(l.logged("REFUSED=?;"));
  // A setting the radio took (no refusal in its time), then a refused question: the refusal is the
  // question's answer.
  l.link.send("MD02;");
  l.clock.passedMs += kRefusalDeadlineMs;
  l.link.ask(Asker::Key, "XX0;");
  l.radioSays("?;");
  const auto answers = l.link.takeAnswers(Asker::Key);
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_TRUE(answers[0].refused());
  // No command open: a refusal belongs to nothing.
  l.clock.passedMs += kRefusalDeadlineMs;
  l.radioSays("?;");
  EXPECT_TRUE(l.logged("STRAY=?;"));
}

TEST(CatLink, AQuestionPastItsDeadlineIsMissedAndItsLateAnswerIsAStray) {
  Line l;
  l.link.ask(Asker::Poll, "FA;");
  l.clock.passedMs += kAnswerDeadlineMs - 1;
  EXPECT_TRUE(l.link.takeMissed(Asker::Poll).empty());
  l.clock.passedMs += 1;
  const auto missed = l.link.takeMissed(Asker::Poll);
  ASSERT_EQ(missed.size(), 1u);
  EXPECT_EQ(missed[0].question, "FA");
  EXPECT_FALSE(missed[0].heardSomething);
  EXPECT_TRUE(l.logged("MISSED=FA"));
  l.radioSays("FA014074000;");
  EXPECT_TRUE(l.replies(Asker::Poll).empty());
  EXPECT_TRUE(l.logged("STRAY=FA014074000;"));
}

TEST(CatLink, AKeysQuestionWaitsOnTheClockNotOnTheWord) {
  Line l;
  // A radio that never answers: the question is given up at its deadline, past the pause.
  int paused = 0;
  const auto answer = l.link.askAndWait(Asker::Key, "ID;", [&] {
    ++paused;
    l.clock.passedMs += 20;
  });
  EXPECT_EQ(paused, 1);
  EXPECT_FALSE(answer) << "nothing came by the deadline";
  EXPECT_GE(l.clock.nowMs(), kAnswerDeadlineMs);

  // One that answers 100 ms late, during the pause: taken at once, long before the deadline.
  const long long asked = l.clock.nowMs();
  const auto late = l.link.askAndWait(Asker::Key, "ID;", [&] {
    l.clock.passedMs += 100;
    l.ports.feed(kPort, "ID0761;");
  });
  ASSERT_TRUE(late);
  EXPECT_EQ(late->reply, "ID0761;");
  EXPECT_LT(l.clock.nowMs() - asked, kAnswerDeadlineMs);
  EXPECT_EQ(l.link.modelNumber(), 761) << "the link learns its radio from the ID answer";
}

TEST(CatLink, EightDigitRadiosAreWidenedAndAnsweredInTheirOwnForm) {
  Line l;
  l.link.setModelNumber(241);
  l.link.send("FA014074000;");
  EXPECT_EQ(l.ports.written(kPort), "FA14074000;");
  EXPECT_EQ(l.link.lastFrequencyCommand(), "FA014074000;");
  l.link.ask(Asker::Relay, "FA;");
  l.radioSays("FA14074000;");
  const auto answers = l.link.takeAnswers(Asker::Relay);
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0].reply, "FA014074000;");
  EXPECT_EQ(answers[0].wire, "FA14074000;");
  EXPECT_TRUE(l.logged("RX=FA014074000;"));
}

}  // namespace
}  // namespace korvel::radio_link
