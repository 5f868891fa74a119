#include <gtest/gtest.h>

#include "memory/memory_report.h"
#include "state/frequency_text.h"
#include "memory/memory_store.h"
#include "session.h"

namespace korvel::testing {
namespace {

TEST(MemoryReportMegahertz, KeepsOneDecimalAndDropsTrailingZeros) {
  struct Case {
    std::string digits, want;
  } cases[] = {
      {"014200000", "14.2"}, {"007074000", "7.074"}, {"145000000", "145.0"}, {"028500000", "28.5"},
      {"000000000", "0.0"},  {"014074250", "14.07425"}, {"001900001", "1.900001"}, {"432000000", "432.0"},
      {"000500000", "0.5"},
      // Short or damaged records never throw: missing digits are simply absent.
      {"", "0."}, {"01", "1."}, {"0142", "14.2"},
  };
  for (const auto& c : cases) EXPECT_EQ(megahertzText(c.digits), c.want) << c.digits;
}

TEST(MemoryReportLine, BuildsEachPieceFromTheRecord) {
  struct Case {
    int slot;
    std::string record, want;
  } cases[] = {
      {5, "0206A014200000B0142000009991", "Slot 5 A=14.2  B=14.2  USB       "},
      {0, "1303A007074000B0071000009990", "Slot 0 A=7.074  B=7.1  CW  split"},
      {3, "0512A145500000B1455000005230", "Slot 3 A=145.5  B=145.5  FMN          DCS=523"},
      {4, "0512A145500000B1455000000120", "Slot 4 A=145.5  B=145.5  FMN          CTCSS=012"},
      {6, "1713A432000000B4370000004991", "Slot 6 A=432.0  B=437.0  FMW  split   CTCSS=499"},
      {7, "5512A145600000B-000006009990", "Slot 7 A=145.6  FMN  Repeater  -600Khz       "},
      {8, "5513A433000000B+000076000880", "Slot 8 A=433.0  FMN  Repeater  +7600Khz          CTCSS=088"},
      {9, "5513A433000000B+000000009990", "Slot 9 A=433.0  FMN  Repeater  +Khz       "},
      {1, "0614A009670000B0096700006030", "Slot 1 A=9.67  B=9.67  C4FM          DCS=603"},
      {2, "0414A009670000B0096700009990", "Slot 2 A=9.67  B=9.67  AM       "},
      {2, "0114A001850000B0018500009990", "Slot 2 A=1.85  B=1.85  LSB       "},
      // A mode digit outside 1..7 prints no mode.
      {2, "0814A009670000B0096700009990", "Slot 2 A=9.67  B=9.67       "},
      // An entry left empty by a file that ended early still makes a line, and no crash.
      {0, "", "Slot 0 A=0.  B=0.          CTCSS="},
  };
  for (const auto& c : cases) EXPECT_EQ(channelReportLine(c.slot, c.record), c.want) << c.record;
}

using Report = SessionAt<Ready::kMemory>;

TEST_F(Report, OnlyChannel35) {
  p.memory.memorySlots[35] = "0206A014200000B0142000009991";
  writeMemoryReport(p);
  EXPECT_EQ(lines("memory.txt"), (std::vector<std::string>{"Memory Bank Information", "  ", "  ", "Bank3",
                                                            "Slot 5 A=14.2  B=14.2  USB       "}));
}

TEST_F(Report, BanksInOrderWithTheirOccupiedSlots) {
  p.memory.memorySlots[0] = "0206A014200000B0142000009991";
  p.memory.memorySlots[9] = "5512A145600000B-000006009990";
  p.memory.memorySlots[97] = "1303A007074000B0071000009990";
  p.memory.memorySlots[91] = "0414A009670000B0096700009990";
  writeMemoryReport(p);
  EXPECT_EQ(lines("memory.txt"),
            (std::vector<std::string>{"Memory Bank Information", "  ", "  ", "Bank0",
                                      "Slot 0 A=14.2  B=14.2  USB       ",
                                      "Slot 9 A=145.6  FMN  Repeater  -600Khz       ", "  ", "Bank9",
                                      "Slot 1 A=9.67  B=9.67  AM       ", "Slot 7 A=7.074  B=7.1  CW  split"}));
}

TEST_F(Report, AllEmptySaysEmptyAndReplacesAnOlderReport) {
  write("memory.txt", std::string(10000, 'x'));
  writeMemoryReport(p);
  EXPECT_EQ(read("memory.txt"), "Memory Bank Information\r\n  \r\nEmpty\r\n");
}

TEST_F(Report, UnwritableReportDoesNotStopTheSave) {
  std::filesystem::create_directory(folder / "memory.txt");
  p.memory.memorySlots[1] = "0206A014200000B0142000009991";
  saveMemoryBanks(p);
  EXPECT_TRUE(std::filesystem::is_directory(folder / "memory.txt"));
  EXPECT_EQ(lines("savmem.dat").at(16), "0206A014200000B0142000009991");
}

}  // namespace
}  // namespace korvel::testing
