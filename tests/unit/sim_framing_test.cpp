// How the simulated transceiver cuts the byte stream into commands and what leaves it: split and
// merged commands, garbage, overlong input, and the answering hooks tests use.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "transceiver.h"

namespace korvel::sim {
namespace {

TEST(SimFraming, CommandsSplitAcrossCallsAreJoined) {
  Transceiver radio(761);
  EXPECT_EQ(radio.receive("F"), "");
  EXPECT_EQ(radio.receive("A0071"), "");
  EXPECT_EQ(radio.receive("00000"), "");
  EXPECT_EQ(radio.receive(";I"), "");
  EXPECT_EQ(radio.frequencyA(), 7'100'000);
  EXPECT_EQ(radio.receive("D;F"), "ID0761;");
  EXPECT_EQ(radio.receive("A;"), "FA007100000;");
}

TEST(SimFraming, SeveralCommandsInOneCallAnswerInOrder) {
  Transceiver radio(761);
  radio.setMeter(Meter::SMeter, 42);
  EXPECT_EQ(radio.receive("ID;MD03;FA;XX;SM0;"), "ID0761;FA014074000;?;SM0042;");
  EXPECT_EQ(radio.mode(), '3');
  // Blanks and line ends between commands, as typed at a terminal, are skipped; an empty command
  // is ignored.
  EXPECT_EQ(radio.receive("ID;\r\n  FA;;\n"), "ID0761;FA014074000;");
}

TEST(SimFraming, OverlongCommandIsDroppedAndRefusedOnce) {
  Transceiver radio(761);
  const std::string flood(Transceiver::kMaxCommandLength * 50, 'A');
  EXPECT_EQ(radio.receive(flood), "");
  EXPECT_EQ(radio.receive("FA007100000;"), "?;");  // the tail of the flood, not a frequency
  EXPECT_EQ(radio.frequencyA(), 14'074'000);
  EXPECT_EQ(radio.receive("ID;"), "ID0761;");
  // A command of exactly the longest length is still read as a command.
  EXPECT_EQ(radio.receive("EX010317" + std::string(Transceiver::kMaxCommandLength - 8, '1') + ";"), "");
}

TEST(SimFraming, GarbageNeverBreaksTheRadio) {
  Transceiver radio(761);
  std::mt19937 random(20240501);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 200; ++round) {
    std::string noise;
    for (int i = 0; i < 997; ++i) noise += static_cast<char>(byte(random));
    const std::string answer = radio.receive(noise);
    for (std::size_t at = 0; at < answer.size(); ++at) {
      ASSERT_LT(static_cast<unsigned char>(answer[at]), 0x7f);  // answers are always plain CAT text
    }
  }
  radio.setPoweredOn(true);
  radio.setAnswering(true);
  // The unfinished garbage ends at the first ";" (and may earn a "?;"); then the radio is itself.
  const std::string answer = radio.receive(";ID;");
  EXPECT_TRUE(answer == "ID0761;" || answer == "?;ID0761;") << answer;
  EXPECT_EQ(radio.receive(std::string("F\0A;ID;", 7)), "?;ID0761;");
}

TEST(SimFraming, SilentRadioStillTakesSettings) {
  Transceiver radio(761);
  radio.setAnswering(false);
  EXPECT_EQ(radio.receive("FA021000000;FA;ID;XX;"), "");
  EXPECT_EQ(radio.frequencyA(), 21'000'000);
  radio.setAnswering(true);
  EXPECT_EQ(radio.receive("FA;"), "FA021000000;");
}

TEST(SimFraming, ReplyLimitHoldsTheRestForTheNextCall) {
  Transceiver radio(761);
  radio.setReplyLimit(4);
  EXPECT_EQ(radio.receive("FA;"), "FA01");
  EXPECT_EQ(radio.receive(""), "4074");
  EXPECT_EQ(radio.receive("ID;"), "000;");
  radio.setReplyLimit(Transceiver::kNoReplyLimit);
  EXPECT_EQ(radio.takeHeldReply(), "ID0761;");
  EXPECT_EQ(radio.receive("ID;"), "ID0761;");
}

TEST(SimFraming, CommandBehaviourOverridesByLongestPrefix) {
  Transceiver radio(761);
  radio.setCommandBehaviour("AG", CommandBehaviour::Refused);
  radio.setCommandBehaviour("AG0", CommandBehaviour::Silent);
  radio.setCommandBehaviour("PR0", CommandBehaviour::Refused);
  EXPECT_EQ(radio.receive("AG0;FA;PR0;AG;"), "FA014074000;?;?;");
  EXPECT_EQ(radio.receive("AG0050;"), "");
  EXPECT_EQ(radio.setting("AG0"), "100");  // a silent command changes nothing
  radio.setCommandBehaviour("AG0", CommandBehaviour::Normal);
  EXPECT_EQ(radio.receive("AG0;"), "?;");  // "AG" still refused
  radio.setCommandBehaviour("AG", CommandBehaviour::Normal);
  EXPECT_EQ(radio.receive("AG0;"), "AG0100;");
}

TEST(SimFraming, ObserverSeesEachCommandWithItsAnswer) {
  Transceiver radio(761);
  std::vector<std::pair<std::string, std::string>> seen;
  radio.setExchangeObserver([&](std::string_view command, std::string_view reply) {
    seen.emplace_back(command, reply);
  });
  radio.receive("ID;AG0050;X");
  radio.receive("X;" + std::string(Transceiver::kMaxCommandLength + 1, 'Q') + ";");
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0], (std::pair<std::string, std::string>{"ID;", "ID0761;"}));
  EXPECT_EQ(seen[1], (std::pair<std::string, std::string>{"AG0050;", ""}));
  EXPECT_EQ(seen[2], (std::pair<std::string, std::string>{"XX;", "?;"}));
  EXPECT_EQ(seen[3].first, std::string(Transceiver::kMaxCommandLength, 'Q') + "...;");
  EXPECT_EQ(seen[3].second, "?;");
}

}  // namespace
}  // namespace korvel::sim
