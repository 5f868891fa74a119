// A radio through Hamlib, met in the program's CAT: Hamlib's own dummy radio (model 1) behind the
// translation. What the radio link writes, what it reads back, and what the radio then is.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <utility>

#include "radio_link/hamlib_radio.h"

namespace korvel::radio_link {
namespace {

using namespace std::chrono_literals;

constexpr int kDummyModel = 1;

TEST(HamlibRadio, TheProgramsCommandsReachTheRadioAndItsAnswersComeBackInCat) {
  HamlibRig rig({kDummyModel, "", 0});
  std::string why;
  ASSERT_TRUE(rig.open(why)) << why;
  // In order: each command, then what the link reads ("" for a setting taken).
  const std::pair<const char*, const char*> exchange[] = {
      {"ID", "ID0999;"},
      {"FA014074000", ""},
      {"FA", "FA014074000;"},
      {"FB007050000", ""},
      {"FB", "FB007050000;"},
      {"MD0C", ""},  // data on USB
      {"MD0", "MD0C;"},
      {"MD02", ""},
      {"MD0", "MD02;"},
      {"PC050", ""},
      {"PC", "PC050;"},
      {"AG0128", ""},
      {"AG0", "AG0128;"},
      {"NB01", ""},
      {"NB0", "NB01;"},
      {"VX1", ""},
      {"VX", "VX1;"},
      {"KS025", ""},
      {"KS", "KS025;"},
      {"GT03", ""},
      {"GT0", "GT03;"},
      {"TX1", ""},
      {"TX", "TX1;"},
      {"TX0", ""},
      {"TX", "TX0;"},
      // What only Yaesu's language has is refused, as a Yaesu refuses what it has not.
      {"EX0103170", "?;"},
      {"CO011200", "?;"},
      {"PB01", "?;"},
      {"FAxyz", "?;"},
      {"MD0Z", "?;"},
  };
  for (const auto& [command, reply] : exchange) EXPECT_EQ(rig.perform(command).value_or("(nothing)"), reply) << command;
  // The S-meter comes as the radio's raw reading, the dummy's S9 at its calibration point.
  const auto meter = rig.perform("SM0");
  ASSERT_TRUE(meter);
  EXPECT_EQ(meter->substr(0, 3), "SM0");
  EXPECT_EQ(meter->size(), 7u);
}

// What a model has not is known before anything is sent: the keys say "na" for it.
TEST(HamlibRadio, WhatTheModelHasNotIsRefusedBeforeItIsSent) {
  HamlibRig rig({kDummyModel, "", 0});
  std::string why;
  ASSERT_TRUE(rig.open(why)) << why;
  const HamlibAbilities dummy = rig.abilities();
  for (const char* taken : {"NB01", "PC050", "AG0128", "VX1", "RA01", "FA014074000", "MD02", "TX1", "NB0"}) {
    EXPECT_FALSE(refusedBy(dummy, taken)) << taken;
  }
  for (const char* yaesuOnly : {"EX0103170", "CO011200", "PB01", "LM01", "ZI"}) EXPECT_TRUE(refusedBy(dummy, yaesuOnly)) << yaesuOnly;
  HamlibAbilities bare;  // a model with no functions, levels or tones
  bare.known = true;
  for (const char* missing : {"NB01", "PC050", "VX1", "RA01", "PA01", "KS020", "CN00012", "OS01", "FT3", "AC002"}) {
    EXPECT_TRUE(refusedBy(bare, missing)) << missing;
  }
  EXPECT_FALSE(refusedBy(bare, "NB0"));  // asking is not setting
  EXPECT_FALSE(refusedBy(HamlibAbilities{}, "NB01"));  // nothing is known before the radio is open
}

TEST(HamlibRadio, APortThatAnswersFromItsOwnThreadAndSaysWhenTheRadioIsGone) {
  // The port as the link meets it: commands written whole or in pieces, replies read when they come.
  HamlibRadio port({kDummyModel, "", 0});
  ASSERT_EQ(port.openPort(5, 38400), 1);
  EXPECT_NE(port.inputHandle(5), platform::kNoInputHandle);
  const std::string written = "FA014250000;FA;MD";
  port.writePort(5, written.data(), static_cast<int>(written.size()));
  port.writePort(5, "0;", 2);
  std::string replies;
  for (int i = 0; i < 200 && replies.size() < std::string("FA014250000;MD02;").size(); ++i) {
    char buffer[64];
    replies.append(buffer, static_cast<std::size_t>(port.readPort(5, buffer, sizeof buffer)));
    std::this_thread::sleep_for(5ms);
  }
  EXPECT_EQ(replies.substr(0, 12), "FA014250000;");
  EXPECT_EQ(replies.substr(12, 3), "MD0");
  EXPECT_FALSE(port.knownSilent(5));
  port.closePort(5);

  // Nothing listens where model 2 looks for its rigctld: nothing answers, and the port says the
  // radio is gone rather than leaving the link to wait out its questions.
  HamlibRadio nowhere({kHamlibNetworkModel, "127.0.0.1:1", 0});
  ASSERT_EQ(nowhere.openPort(5, 38400), 1);
  nowhere.writePort(5, "FA;", 3);
  for (int i = 0; i < 400 && !nowhere.knownSilent(5); ++i) std::this_thread::sleep_for(5ms);
  EXPECT_TRUE(nowhere.knownSilent(5));
  EXPECT_EQ(nowhere.portBytesWaiting(5), 0);
}

}  // namespace
}  // namespace korvel::radio_link
