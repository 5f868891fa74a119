// Memory channels from the keyboard: C / G, optionally B and a bank digit, then the slot digit; U
// steps through the bank of the last recalled channel.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "state/text.h"
#include "memory/channel_ops.h"
#include "session.h"

namespace korvel {
namespace {

using testing::has;
using testing::Session;
using testing::Ready;
using testing::Words;
using testing::Commands;

// True when `wanted` appears in `all` in this order (other commands may come between).
bool inOrder(const Commands& all, const Commands& wanted) {
  auto at = all.begin();
  for (const auto& w : wanted) {
    at = std::find(at, all.end(), w);
    if (at == all.end()) return false;
    ++at;
  }
  return true;
}

void put(Session& st, int slot, const std::string& record) {
  st.panel.memory.memorySlots[static_cast<std::size_t>(slot)] = record;
}

// The line of savmem.dat holding a slot: header, 14 band records, then slots 0..99.
std::string savedSlotLine(const std::string& file, int slot) {
  std::size_t at = 0;
  for (int line = 0; line < 15 + slot; ++line) at = file.find("\r\n", at) + 2;
  return file.substr(at, file.find("\r\n", at) - at);
}

TEST(MemoryChannels, StoreIntoBankTwoSlotSevenSpeaksAndSavesBothFiles) {
  Session st;
  const int preamp = st.panel.fn.preampOn;
  st.press('C');
  EXPECT_EQ(st.words(), Words{"sch"});
  st.press('B');
  EXPECT_EQ(st.words(), Words{"bank"});
  st.press('2');
  EXPECT_EQ(st.words(), (Words{"2", "channel"}));
  std::filesystem::remove(st.folder / "memory.txt");
  st.press('7');
  EXPECT_EQ(st.words(), (Words{"7", "ok"}));

  // Band 4 at 7.1 MHz in LSB, no split, no tone.
  const std::string expected = std::string("0104A007100000B007100000999") + (preamp == 1 ? "1" : "0");
  EXPECT_EQ(st.panel.memory.memorySlots[27], expected);
  EXPECT_EQ(savedSlotLine(st.file("savmem.dat"), 27), expected);
  EXPECT_FALSE(st.file("memory.txt").empty());
  EXPECT_EQ(st.panel.memory.channelOp, 0);
  EXPECT_EQ(st.panel.memory.bankEntry, 2);
  EXPECT_TRUE(st.radioCommands().empty());
}

TEST(MemoryChannels, StoreOnGeneralCoverageTakesTheWorkingFrequency) {
  Session st;
  st.press('B');
  st.press('U');
  st.tick(4);
  ASSERT_EQ(st.panel.band.currentBand, 14);
  ASSERT_EQ(st.panel.link.frequencyHz, 9670000);
  ASSERT_EQ(st.panel.mode.currentMode, 4);
  ASSERT_EQ(st.panel.fn.preampOn, 0);
  st.words();
  st.press('C');
  st.press('5');
  EXPECT_EQ(st.words(), (Words{"sch", "5", "ok"}));
  EXPECT_EQ(st.panel.memory.memorySlots[5], "0414A009670000B0096700009990");
}

// States the store cannot take a band record or a tone from still give a 28-character record that
// the recall accepts.
TEST(MemoryChannels, StoreKeepsTheRecordLayoutInOddStates) {
  struct Case {
    const char* what;
    int band;
    int toneActive;
    const char* toneText;
    const char* expected;
  };
  const Case cases[] = {
      {"no band: general coverage", 0, 0, "999", "0114A007100000B007100000999"},
      {"band past the table", 15, 0, "999", "0114A007100000B007100000999"},
      {"tone still being typed, nothing yet", 4, 1, "", "0104A007100000B007100000999"},
      {"tone typed as one digit", 4, 1, "8", "0104A007100000B007100000008"},
      {"tone text that is not digits", 4, 1, "1x", "0104A007100000B007100000999"},
      {"active tone", 4, 1, "012", "0104A007100000B007100000012"},
  };
  for (const auto& c : cases) {
    Session st;
    st.panel.band.currentBand = c.band;
    st.panel.tone.toneActive = c.toneActive;
    st.panel.tone.toneText = c.toneText;
    st.panel.fn.preampOn = 0;
    st.press('C');
    st.press('3');
    const std::string& record = st.panel.memory.memorySlots[3];
    EXPECT_EQ(record, std::string(c.expected) + "0") << c.what;
    EXPECT_TRUE(isWellFormedChannelRecord(record)) << c.what;
  }
}

TEST(MemoryChannels, StoreInSplitTakesTheRadiosVfoB) {
  Session st;
  st.prepare("V");  // split
  st.panel.link.vfoBText = "B007150000";
  st.panel.fn.preampOn = 1;
  st.press('C');
  st.press('1');
  EXPECT_EQ(st.panel.memory.memorySlots[1], "1104A007100000B0071500009991");
  // Before any VFO B reply the band record's VFO B stands in; garbage is never stored.
  st.panel.link.vfoBText = "B0071x";
  st.press('C');
  st.press('2');
  EXPECT_TRUE(isWellFormedChannelRecord(st.panel.memory.memorySlots[2])) << st.panel.memory.memorySlots[2];
}

TEST(MemoryChannels, StoreWithTheRepeaterOnKeepsShiftAndOffset) {
  Session st;
  st.press('B');
  st.press('T');  // 2 m, FM narrow
  st.tick(4);
  ASSERT_EQ(st.panel.band.currentBand, 12);
  st.press('V');  // in FM on 2 m: the repeater shift, minus 600 kHz from the configuration
  ASSERT_EQ(st.panel.tone.repeaterActive, 1);
  st.tick(4);
  st.panel.fn.preampOn = 0;
  st.press('C');
  st.press('6');
  EXPECT_EQ(st.panel.memory.memorySlots[6], "5512A145000000B-000006009990");
}

TEST(MemoryChannels, RecallSendsSplitThenBothVfosAndAnnouncesAtTheNextReply) {
  Session st;
  put(st, 4, "1206A014200000B0142500009991");
  st.press('G');
  st.press('4');
  const Commands sent = st.radioCommands();
  EXPECT_TRUE(inOrder(sent, {"FT3;", "FA014200000;", "FB014250000;", "CT00;", "PA01;"})) << ::testing::PrintToString(sent);
  // Nothing the radio is told may put it back on the frequency it had before the recall.
  EXPECT_FALSE(has(sent, "FA007100000;"));
  EXPECT_FALSE(has(sent, "FB007100000;"));
  EXPECT_EQ(st.words(), (Words{"gch", "4", "split"}));
  EXPECT_EQ(st.panel.tone.vfoB, 1);
  EXPECT_EQ(st.panel.band.currentBand, 6);
  EXPECT_EQ(st.panel.mode.currentMode, 2);
  EXPECT_EQ(st.panel.band.bandRecallText, "A014200000");
  EXPECT_EQ(st.panel.fn.preampOn, 1);
  EXPECT_EQ(st.panel.link.announceOnNextReply, 1);
  EXPECT_EQ(st.panel.memory.lastBank, 0);
  EXPECT_EQ(st.panel.memory.lastSlot, 4);
  EXPECT_EQ(st.panel.memory.channelOp, 0);
  // The band being left keeps its own mode.
  EXPECT_EQ(st.panel.band.bandTable[4].substr(0, 2), "01");
}

TEST(MemoryChannels, RecallSimplexSendsFt2AndVfoA) {
  Session st;
  put(st, 8, "0414A009670000B0096700009990");
  st.press('G');
  st.press('8');
  EXPECT_TRUE(inOrder(st.radioCommands(), {"FT2;", "MD05;", "FA009670000;", "CT00;", "PA00;"}));
  EXPECT_EQ(st.panel.tone.vfoB, 0);
  EXPECT_EQ(st.panel.band.currentBand, 14);
  EXPECT_EQ(st.panel.link.frequencyHz, 9670000);
}

TEST(MemoryChannels, RecallUsesTheBankLeftFromAnEarlierRecall) {
  Session st;
  put(st, 31, "0206A014200000B0142000009990");
  put(st, 35, "0206A014350000B0143500009990");
  put(st, 5, "0206A014005000B0140050009990");
  st.press('G');
  st.press('B');
  st.press('3');
  st.press('1');
  ASSERT_EQ(st.panel.memory.bankEntry, 3);
  st.sent();
  st.press('G');
  st.press('5');
  const Commands sent = st.radioCommands();
  EXPECT_TRUE(has(sent, "FA014350000;")) << ::testing::PrintToString(sent);
  EXPECT_FALSE(has(sent, "FA014005000;"));
  EXPECT_EQ(st.panel.memory.lastBank, 3);
  EXPECT_EQ(st.panel.memory.lastSlot, 5);
}

TEST(MemoryChannels, StepWalksTheBankQuietlyAndWraps) {
  Session st;
  put(st, 42, "0206A014200000B0142000009990");
  put(st, 47, "1206A014210000B0142600009990");
  st.press('G');
  st.press('B');
  st.press('4');
  st.press('2');
  st.forget();

  st.press('U');  // on to 47: split, but "split" is not said while stepping
  EXPECT_EQ(st.words(), (Words{"channel", "7"}));
  EXPECT_TRUE(inOrder(st.radioCommands(), {"FT3;", "FA014210000;", "FB014260000;"}));
  EXPECT_EQ(st.panel.tone.speechQuiet, 1);
  EXPECT_EQ(st.panel.memory.lastSlot, 7);

  st.press('U');  // past 9 round to 2
  EXPECT_EQ(st.words(), (Words{"channel", "2"}));
  EXPECT_TRUE(inOrder(st.radioCommands(), {"FT2;", "FA014200000;"}));
  EXPECT_EQ(st.panel.memory.lastSlot, 2);
  EXPECT_EQ(st.panel.memory.lastBank, 4);
}

TEST(MemoryChannels, StepWithOnlyTheLastChannelOccupiedRecallsItAgain) {
  Session st;
  put(st, 3, "0206A014200000B0142000009990");
  st.press('G');
  st.press('3');
  st.forget();
  st.press('U');
  EXPECT_EQ(st.words(), (Words{"channel", "3"}));
  EXPECT_TRUE(has(st.radioCommands(), "FA014200000;"));
  EXPECT_EQ(st.panel.memory.lastSlot, 3);
}

TEST(MemoryChannels, StepWithoutARecalledChannelSaysNcs) {
  Session st;
  st.press('U');
  EXPECT_EQ(st.words(), Words{"ncs"});
  EXPECT_TRUE(st.radioCommands().empty());

  // Another key forgets the bank.
  put(st, 3, "0206A014200000B0142000009990");
  st.press('G');
  st.press('3');
  st.press('M');
  st.forget();
  st.press('U');
  EXPECT_EQ(st.words(), Words{"ncs"});
  EXPECT_TRUE(st.radioCommands().empty());
}

TEST(MemoryChannels, RecalledToneIsSetInFmAndClearedElsewhere) {
  struct Case {
    const char* record;
    int dcsBefore;
    Commands tone;  // tone commands in order
    Words words;    // words after the digit
    int toneActive;
    const char* toneText;
  };
  const Case cases[] = {
      // FM narrow with CTCSS tone 12, read back digit by digit.
      {"0512A145000000B1450000000120", 0, {"CN00012;", "CT02;"}, {"ctcss", "0", "1", "2"}, 1, "012"},
      // A DCS code left from before must not turn a CTCSS tone into a DCS command.
      {"0512A145000000B1450000000120", 1, {"CN00012;", "CT02;"}, {"ctcss", "0", "1", "2"}, 1, "012"},
      {"0712A145000000B1450000005230", 0, {"EX0860;", "CN01023;", "CT04;"}, {"dcs", "on"}, 1, "523"},
      // The same tone in USB is switched off.
      {"0212A145000000B1450000000120", 0, {"CT00;"}, {}, 0, "999"},
  };
  for (const auto& c : cases) {
    Session st;
    st.panel.tone.toneIsDcs = c.dcsBefore;
    put(st, 9, c.record);
    st.press('G');
    st.press('9');
    const Commands sent = st.radioCommands();
    EXPECT_TRUE(inOrder(sent, c.tone)) << c.record << " " << ::testing::PrintToString(sent);
    if (c.toneActive == 1) {
      EXPECT_FALSE(has(sent, "CN01012;")) << c.record;
    }
    Words expected{"gch", "9"};
    expected.insert(expected.end(), c.words.begin(), c.words.end());
    EXPECT_EQ(st.said(), expected) << c.record;
    EXPECT_EQ(st.panel.tone.toneActive, c.toneActive) << c.record;
    EXPECT_EQ(st.panel.tone.toneText, c.toneText) << c.record;
  }
}

TEST(MemoryChannels, RepeaterRecordTakesItsShiftAndSwitchesItOn) {
  struct Case {
    const char* record;
    int band;
    const char* command;
    int minus;
    const char* offset;
  };
  const Case cases[] = {
      {"5512A145600000B-000006009990", 12, "OS02;", 1, "600"},
      {"5512A145600000B+000007009990", 12, "OS01;", 0, "700"},
      {"5513A438000000B-000076009990", 13, "OS02;", 1, "7600"},
  };
  for (const auto& c : cases) {
    Session st;
    put(st, 2, c.record);
    st.press('G');
    st.press('2');
    const Commands sent = st.radioCommands();
    EXPECT_TRUE(inOrder(sent, {"FA" + mid(c.record, 6, 9) + ";", c.command, "PA00;"}))
        << c.record << " " << ::testing::PrintToString(sent);
    EXPECT_FALSE(has(sent, "FT2;"));
    EXPECT_FALSE(has(sent, "FT3;"));
    EXPECT_EQ(st.panel.tone.repeaterActive, 1) << c.record;
    EXPECT_EQ(st.panel.tone.vfoB, 0) << c.record;
    const auto b = static_cast<std::size_t>(c.band);
    EXPECT_EQ(st.panel.config.repeaterOffsetMinus[b], c.minus) << c.record;
    EXPECT_EQ(st.panel.config.repeaterOffsetKhz[b], c.offset) << c.record;
  }
}

TEST(MemoryChannels, EmptyOrMalformedSlotSaysInvalidAndSendsNothing) {
  const char* records[] = {
      "9",
      "",                              // a file that ended early
      "0206A0142",                     // short
      "0206A014200000B01420000099901",  // 29 characters
      "0206A01420000xB0142000009990",  // non-digit in VFO A
      "0206A014200000B01420000x9990",  // non-digit in VFO B
      "0215A014200000B0142000009990",  // band 15
      "0200A014200000B0142000009990",  // band 0
      "02x6A014200000B0142000009990",  // band not digits
      "0806A014200000B0142000009990",  // mode 8
      "3206A014200000B0142000009990",  // kind 3
      "0206A014200000B014200000x990",  // tone not digits
      "0206A014200000B0142000009992",  // preamplifier 2
      "5512A145600000B1450000009990",  // repeater record without a sign
      "0212A145600000B-000006009990",  // simplex record with a shift
      "0206X014200000B0142000009990",  // letter A missing
  };
  for (const char* record : records) {
    Session st;
    const int band = st.panel.band.currentBand;
    const int mode = st.panel.mode.currentMode;
    put(st, 7, record);
    st.press('G');
    st.press('7');
    EXPECT_EQ(st.words(), (Words{"gch", "7", "invalid"})) << record;
    EXPECT_TRUE(st.radioCommands().empty()) << record;
    EXPECT_EQ(st.panel.memory.lastBank, 99) << record;
    EXPECT_EQ(st.panel.memory.channelOp, 0) << record;
    EXPECT_EQ(st.panel.band.currentBand, band) << record;
    EXPECT_EQ(st.panel.mode.currentMode, mode) << record;
    EXPECT_FALSE(isWellFormedChannelRecord(record)) << record;
  }
}

TEST(MemoryChannels, StepOntoAMalformedSlotSaysInvalidAndForgetsTheBank) {
  Session st;
  put(st, 10, "0206A014200000B0142000009990");
  put(st, 11, "0206A0142");
  st.press('G');
  st.press('B');
  st.press('1');
  st.press('0');
  st.forget();
  st.press('U');
  EXPECT_EQ(st.words(), (Words{"channel", "1", "invalid"}));
  EXPECT_TRUE(st.radioCommands().empty());
  st.press('U');
  EXPECT_EQ(st.words(), Words{"ncs"});
}

TEST(MemoryChannels, StoredChannelSurvivesARestart) {
  std::string stored;
  Session later{{.ready = Ready::kNothing}};
  {
    Session st;
    st.press('B');
    st.press('6');
    st.tick(4);
    ASSERT_EQ(st.panel.link.frequencyHz, 14200000);
    st.press('C');
    st.press('B');
    st.press('5');
    st.press('4');
    stored = st.panel.memory.memorySlots[54];
    ASSERT_TRUE(isWellFormedChannelRecord(stored)) << stored;
    std::filesystem::copy_file(st.folder / "savmem.dat", later.folder / "savmem.dat",
                               std::filesystem::copy_options::overwrite_existing);
  }
  ASSERT_TRUE(later.settle());
  EXPECT_EQ(later.panel.memory.memorySlots[54], stored);
  // Move away so that the recall has something to change.
  later.press('B');
  later.press('4');
  later.tick(4);
  later.forget();
  later.press('G');
  later.press('B');
  later.press('5');
  later.press('4');
  EXPECT_TRUE(inOrder(later.radioCommands(), {"FT2;", "MD02;", "FA014200000;", "CT00;"}));
  EXPECT_EQ(later.words(), (Words{"gch", "bank", "5", "channel", "4"}));
  EXPECT_EQ(later.panel.band.currentBand, 6);
  later.tick(4);
  EXPECT_EQ(later.panel.link.frequencyHz, 14200000);
  EXPECT_EQ(later.panel.link.announceOnNextReply, 0);
}

}  // namespace
}  // namespace korvel
