// Channels out to a CHIRP channel list and back in: the records, the rows Korvel cannot hold, the
// files that are no channel list, and the station folder a running Korvel holds.
#include <gtest/gtest.h>

#include <sstream>

#include "core/startup.h"
#include "memory/channel_exchange.h"
#include "memory/station_lock.h"
#include "session.h"

namespace korvel::testing {
namespace {

using Exchange = SessionAt<Ready::kMemory>;

const std::string kHeader = "Location,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,Mode\r\n";

struct Outcome {
  int code;
  std::string out, err;
};

Outcome importList(Panel& p, const std::string& csv, bool dryRun = false) {
  std::ofstream(p.folder / "list.csv", std::ios::binary) << csv;
  std::ostringstream out, err;
  const int code = importChannels(p, p.folder / "list.csv", dryRun, out, err);
  return {code, out.str(), err.str()};
}

// Every kind of channel a store from the keys makes, across the bands; the frequency moves with the slot.
std::string storedChannel(int slot) {
  static const char* const kKinds[] = {
      "0104A007100000B007100000999", "0206A014200000B014200000999", "0305A010116000B010116000999",
      "0414A009670000B009670000999", "1206A014195000B014285000999", "5512A145500000B-00000600012",
      "5713A438500000B-00007600523", "5711A051800000B+00000500603", "5710A029620000B-00000100999",
      "0612A145375000B145375000999", "0713A433500000B433500000049", "1102A003700000B003800000000"};
  std::string record = kKinds[slot % 12];
  const std::string hz = zeroPad(wholeValueOf(record.substr(5, 9)) + slot * 1000, 9);
  record.replace(5, 9, hz);
  if (record[0] == '0') record.replace(15, 9, hz);
  return record + (slot % 3 == 0 ? "1" : "0");
}

TEST_F(Exchange, ExportThenImportIntoAnEmptyStationGivesTheSameChannelsByteForByte) {
  for (int slot = 0; slot < 100; ++slot) p.memory.memorySlots[static_cast<std::size_t>(slot)] = storedChannel(slot);
  saveMemoryBanks(p);
  std::ostringstream out, err;
  ASSERT_EQ(exportChannels(p, folder / "all.csv", out, err), 0) << err.str();
  EXPECT_EQ(out.str(), "Exported 100 channels to " + (folder / "all.csv").string() + ".\n");
  EXPECT_EQ(lines("all.csv")[0].rfind("Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,", 0), 0u);

  Session empty({.ready = Ready::kNothing});
  const auto in = importList(empty.p, read("all.csv"));
  ASSERT_EQ(in.code, 0) << in.err;
  EXPECT_EQ(empty.read("savmem.dat"), read("savmem.dat"));
  EXPECT_EQ(empty.read("memory.txt"), read("memory.txt"));
}

TEST(ChirpRows, EachRowBecomesItsRecordOrIsSkippedWithItsReason) {
  const struct {
    std::string row, expected;  // the record, or a part of the reason it is skipped
  } cases[] = {
      {"1,146.940000,-,0.600000,Tone,100.0,88.5,023,NN,FM", "5712A146940000B-000006000120"},
      {"1,147.120000,+,0.600000,TSQL,88.5,141.3,023,NN,NFM", "5512A147120000B+000006000220"},
      {"1,442.500000,+,5.000000,DTCS,88.5,88.5,754,NN,FM", "5713A442500000B+000050006030"},
      {"1,14.195000,split,14.285000,,88.5,88.5,023,NN,USB", "1206A014195000B0142850009990"},
      {"1,145.375,,,,,,,,DN", "0612A145375000B1453750009990"},
      {"1,7074 kHz,,,,,,,,LSB", "0104A007074000B0070740009990"},
      {"99,3.5 MHz,,,,,,,,CW", "0302A003500000B0035000009990"},
      {"1,146.520000,,,Tone,69.4,88.5,023,NN,FM", "tone 69.4 Hz is not a standard CTCSS tone"},
      {"1,470.000000,,,,,,,,FM", "470.000000 MHz is outside Korvel's bands"},
      {"1,0.530000,,,,,,,,AM", "0.530000 MHz is outside Korvel's bands"},
      {"1,98.100000,,,,,,,,WFM", "mode \"WFM\" is not one of Korvel's"},
      {"100,146.520000,,,,,,,,FM", "Location 100 skipped: Korvel's channels are 0 to 99"},
      {"x,146.520000,,,,,,,,FM", "Location \"x\" is not a number"},
      {"1,14.200000,+,0.600000,,,,,,USB", "repeater shift on 10 m, 6 m, 2 m and 70 cm only"},
      {"1,29.620000,+,0.100000,,,,,,FM", "10 m repeater shift is always down"},
      {"1,52.525000,-,1.000000,,,,,,FM", "whole kHz up to 999 kHz"},
      {"1,146.520000,-,0.600500,,,,,,FM", "whole kHz up to 999 kHz"},
      {"1,146.520000,off,,,,,,,FM", "Duplex off"},
      {"1,146.520000,,,DTCS,,,023,RN,FM", "DCS polarity RN"},
      {"1,146.520000,,,DTCS,,,017,NN,FM", "DCS code 017 is not one of the 104"},
      {"1,146.520000,,,Cross,,,,,FM", "tone mode \"Cross\""},
      {"1,146.520000,,", "it has 4 fields, the header 10"},
  };
  for (const auto& c : cases) {
    const auto plan = planChannelImport(kHeader + c.row + "\r\n");
    if (c.expected.find(' ') == std::string::npos) {
      ASSERT_EQ(plan.channels.size(), 1u) << c.row << "\n" << plan.error << (plan.skipped.empty() ? "" : plan.skipped[0]);
      EXPECT_EQ(plan.channels[0].record, c.expected) << c.row;
    } else {
      ASSERT_EQ(plan.skipped.size(), 1u) << c.row;
      EXPECT_NE(plan.skipped[0].find(c.expected), std::string::npos) << plan.skipped[0];
      EXPECT_EQ(plan.skipped[0].rfind("line 2: ", 0), 0u) << plan.skipped[0];
    }
  }
}

TEST_F(Exchange, BadFilesAreRefusedWithTheirReasonAndLeaveTheStoreAsItWas) {
  p.memory.memorySlots[4] = storedChannel(4);
  saveMemoryBanks(p);
  const std::string store = read("savmem.dat"), report = read("memory.txt");
  const std::string good = "4,146.520000,,,,,,,,FM\r\n";
  const struct {
    std::string file, message;
  } cases[] = {
      {std::string("\x7f" "ELF\x02\x01\x01\0\0\0", 10), "not a text file (byte 0x7F on line 1)"},
      {"", "it is empty"},
      {"# only a comment\r\n", "it is empty"},
      {"1,146.520000,,,,,,,,FM\r\n", "it has no header line"},
      {"Channel Number,Receive Frequency,Operating Mode\r\n1,146.52,FM\r\n", "line 1 is not CHIRP's header"},
      {kHeader + good + "5,146.550000,,,,,,,,FM\r\n" + good, "line 4: Location 4 is also on line 2"},
      {kHeader + "4,146.52\"0,,,,,,,,FM\r\n", "line 2: a double quote out of place"},
      {kHeader + "4,\"146.520000,,,,,,,,FM\r\n5,146.5,,,,,,,,FM\r\n", "line 2: a field's double quotes are never closed"},
      {kHeader + "4,146.520000,,,,,,,,WFM\r\n", "it holds no channel Korvel can take"},
  };
  for (const auto& c : cases) {
    const auto in = importList(p, c.file);
    EXPECT_EQ(in.code, 1) << c.message;
    EXPECT_NE(in.err.find(c.message), std::string::npos) << in.err;
    EXPECT_EQ(read("savmem.dat"), store) << c.message;
    EXPECT_EQ(read("memory.txt"), report) << c.message;
  }
  // A hundred megabytes are not read at all.
  std::ofstream(folder / "huge.csv") << kHeader;
  std::filesystem::resize_file(folder / "huge.csv", 100u << 20);
  std::ostringstream out, err;
  EXPECT_EQ(importChannels(p, folder / "huge.csv", false, out, err), 1);
  EXPECT_NE(err.str().find("larger than 1048576 bytes"), std::string::npos) << err.str();
  EXPECT_EQ(read("savmem.dat"), store);

  // Quotes and commas where RFC 4180 has them are no fault: names with them, a comment with a stray quote.
  const auto in = importList(p, "\xEF\xBB\xBF# Bob's \"list\"\r\nName,Location,Frequency,Mode,Club\r\n"
                                "\"Hill, \"\"North\"\"\",5,146.94,FM,\"a\r\nb\"\r\n\"x\",6,146.52,NFM,y\r\n");
  EXPECT_EQ(in.code, 0) << in.err << in.out;
  EXPECT_EQ(p.memory.memorySlots[5], "0712A146940000B1469400009990");
  EXPECT_EQ(p.memory.memorySlots[6], "0512A146520000B1465200009990");
}

TEST_F(Exchange, ImportKeepsTheBandTableTheBandAndTheChannelsItDoesNotName) {
  const std::string kept = storedChannel(7);
  write("savmem.dat", memoryFile("KORVEL v3.2a 3.6a <1", startBands(), emptySlots()));
  loadMemoryBanks(p);
  p.band.bandTable[12] = "55A145500000B-000006000120";
  p.memory.memorySlots[3] = "0206A014200000B0142000009991";
  p.memory.memorySlots[7] = kept;
  saveMemoryBanks(p);
  const std::string before = read("savmem.dat");

  const std::string list = kHeader + "3,14.074000,,,,,,,,USB\r\n5,145.500000,-,0.600000,,,,,,NFM\r\n";
  const auto dry = importList(p, list, true);
  EXPECT_EQ(dry.code, 0);
  EXPECT_EQ(dry.out, "Dry run: 2 channels from " + (folder / "list.csv").string() +
                         " (1 replacing stored ones), 0 lines skipped; nothing written.\n");
  EXPECT_EQ(read("savmem.dat"), before);

  ASSERT_EQ(importList(p, list).code, 0);
  auto file = lines("savmem.dat");
  EXPECT_EQ(file[0], "KORVEL v3.2a 3.6a <1");
  EXPECT_EQ(file[12], "55A145500000B-000006000120");
  EXPECT_EQ(file[15 + 3], "0206A014074000B0140740009991");  // the slot's preamplifier stays on
  EXPECT_EQ(file[15 + 5], "5512A145500000B-000006009990");
  EXPECT_EQ(file[15 + 7], kept);
  EXPECT_NE(read("memory.txt").find("Slot 5 A=145.5  FMN  Repeater  -600Khz"), std::string::npos);
}

TEST(ChannelExchange, ARunningKorvelHoldsTheStationFolderAgainstImportsAndAnotherKorvel) {
  Session running({.ready = Ready::kStartedUp});
  radio_link::CatLink otherLink(running.ports, running.clock);
  Panel other(running.ports, otherLink, running.sound, running.canvas, running.folder);
  const std::string before = running.read("savmem.dat");
  const auto refused = importList(other, kHeader + "1,146.520000,,,,,,,,FM\r\n");
  EXPECT_EQ(refused.code, 1);
  EXPECT_NE(refused.err.find("Korvel is running on the station folder"), std::string::npos) << refused.err;
  EXPECT_EQ(running.read("savmem.dat"), before);

  // A second Korvel on the folder waits a while for it, then says why it does not start.
  Session second({.ready = Ready::kNothing});
  second.p.folder = running.folder;
  EXPECT_FALSE(second.startUp());
  EXPECT_EQ(second.said().back(), "inuse");

  shutDown(running.p);
  EXPECT_EQ(importList(other, kHeader + "1,146.520000,,,,,,,,FM\r\n").code, 0);
  EXPECT_FALSE(other.memory.stationLock);
  EXPECT_EQ(lockStation(second.p), StationLock::taken);
}

}  // namespace
}  // namespace korvel::testing
