#include <gtest/gtest.h>

#include <random>

#include "memory/memory_report.h"
#include "memory/memory_store.h"
#include "session.h"

namespace korvel::testing {
namespace {

using Store = SessionAt<Ready::kMemory>;

const std::string kChannel = "0206A014200000B0142000009991";

TEST_F(Store, FreshFolderGetsAFileOfDefaultsAndAnEmptyReport) {
  write("memory.dat", "old");
  loadMemoryBanks(p);

  const auto file = lines("savmem.dat");
  ASSERT_EQ(file.size(), 115u);
  EXPECT_EQ(file[0], "KORVEL v3.2a 3.6a 40");
  for (int b = 1; b <= 14; ++b) EXPECT_EQ(file[b], kStartBandRecords[b]);
  for (int i = 15; i < 115; ++i) EXPECT_EQ(file[i], "9");
  EXPECT_FALSE(exists("memory.dat"));
  EXPECT_EQ(read("memory.txt"), "Memory Bank Information\r\n  \r\nEmpty\r\n");
  EXPECT_EQ(p.band.currentBand, 4);
  EXPECT_EQ(p.memory.memorySlots[0], "9");
}

TEST_F(Store, PreviousFormatIsConvertedAndItsBandLinesAreNotUsed) {
  std::string old = "KORVEL v2.3c whatever\r\n";
  for (int i = 0; i < 13; ++i) old += "02A014250000B0142500009991\r\n";  // looks like a record, is not used
  old += "0206A014200000B014200000999\r\n9\r\n";
  old += "1512A145500000B-00000600012\r\n";
  for (int i = 3; i < 100; ++i) old += "9\r\n";
  write("savmem.dat", old);

  loadMemoryBanks(p);

  EXPECT_EQ(p.memory.memorySlots[0], "0206A014200000B0142000009990");
  EXPECT_EQ(p.memory.memorySlots[1], "9");
  EXPECT_EQ(p.memory.memorySlots[2], "1512A145500000B-000006000120");
  const auto file = lines("savmem.dat");
  ASSERT_EQ(file.size(), 115u);
  EXPECT_EQ(file[0], "KORVEL v3.2a 3.6a 40");
  for (int b = 1; b <= 14; ++b) EXPECT_EQ(file[b], kStartBandRecords[b]);
  EXPECT_EQ(file[15], "0206A014200000B0142000009990");
  EXPECT_EQ(file[16], "9");
  EXPECT_NE(read("memory.txt").find("Bank0"), std::string::npos);
}

TEST_F(Store, HeaderCarriesBandAndNoiseReductionBothWays) {
  struct Case {
    int band, nr;
    std::string header;
    int loadedBand, loadedNr;
  } cases[] = {
      {12, 1, "KORVEL v3.2a 3.6a <1", 12, 1},
      {1, 0, "KORVEL v3.2a 3.6a 10", 1, 0},
      {9, 1, "KORVEL v3.2a 3.6a 91", 9, 1},
      {10, 0, "KORVEL v3.2a 3.6a :0", 10, 0},
      {14, 1, "KORVEL v3.2a 3.6a >1", 14, 1},
      {0, 1, "KORVEL v3.2a 3.6a", 0, 0},
      {15, 1, "KORVEL v3.2a 3.6a", 0, 0},
      {-3, 0, "KORVEL v3.2a 3.6a", 0, 0},
      {4, 9, "KORVEL v3.2a 3.6a 49", 4, 0},   // a state not known reads back as off
  };
  for (const auto& c : cases) {
    p.band.currentBand = c.band;
    p.fn.nrState = static_cast<nr_state::NrState>(c.nr);
    saveMemoryBanks(p);
    EXPECT_EQ(lines("savmem.dat").at(0), c.header) << c.band << " " << c.nr;
    EXPECT_EQ(lines("savmem.dat").size(), 115u);
    p.band.currentBand = 7;
    p.fn.nrState = nr_state::kUnknown;
    loadMemoryBanks(p);
    EXPECT_EQ(p.band.currentBand, c.loadedBand) << c.header;
    EXPECT_EQ(p.fn.nrState, c.loadedNr) << c.header;
  }
}

TEST_F(Store, HeaderBandWithoutARecordLoadsAsNoBand) {
  for (const std::string header : {"KORVEL v3.2a 3.6a Z1", "KORVEL v3.2a 3.6a ?0", "KORVEL v3.2a 3.6a 00",
                                   "KORVEL v3.2a 3.6a \x01" "1", "KORVEL v3.2a"}) {
    write("savmem.dat", memoryFile(header, startBands(), emptySlots()));
    p.band.currentBand = 6;
    loadMemoryBanks(p);
    EXPECT_EQ(p.band.currentBand, 0) << header;
  }
}

TEST_F(Store, SavedStoreLoadsBackUnchanged) {
  p.band.currentBand = 11;
  p.band.bandTable[12] = "55A145500000B-000006000881";
  p.memory.memorySlots[35] = kChannel;
  p.memory.memorySlots[99] = "5512A145600000B-000006009990";
  saveMemoryBanks(p);

  const auto saved = p.band.bandTable;
  const auto slots = p.memory.memorySlots;
  for (int b = 1; b <= 14; ++b) p.band.bandTable[static_cast<std::size_t>(b)] = kStartBandRecords[b];
  initMemorySlots(p);
  loadMemoryBanks(p);
  EXPECT_EQ(p.band.bandTable, saved);
  EXPECT_EQ(p.memory.memorySlots, slots);
  EXPECT_EQ(p.band.currentBand, 11);
}

TEST_F(Store, EveryLineEndingReadsTheSame) {
  std::vector<std::string> bands = startBands();
  bands[5] = "03A010110000B0101100009990";
  std::vector<std::string> slots = emptySlots();
  slots[7] = kChannel;
  std::string crlf = memoryFile("KORVEL v3.2a 3.6a 60", bands, slots);
  for (const std::string ending : {"\r", "\n"}) {
    std::string text;
    for (std::size_t i = 0; i < crlf.size(); ++i) {
      if (crlf.compare(i, 2, "\r\n") == 0) {
        text += ending;
        ++i;
      } else {
        text += crlf[i];
      }
    }
    write("savmem.dat", text);
    p.band.bandTable[6] = kStartBandRecords[6];
    initMemorySlots(p);
    loadMemoryBanks(p);
    EXPECT_EQ(p.band.currentBand, 6);
    EXPECT_EQ(p.band.bandTable[6], "03A010110000B0101100009990");
    EXPECT_EQ(p.memory.memorySlots[7], kChannel);
    EXPECT_EQ(p.memory.memorySlots[8], "9");
    // A current-format file is only read; the load does not rewrite it.
    EXPECT_EQ(read("savmem.dat"), text);
  }
}

TEST_F(Store, FileEndingEarlyKeepsBandRecordsAndEmptiesLaterChannels) {
  std::vector<std::string> bands = {"02A003700000B0037000009990", "02A003700000B0037000009990"};
  write("savmem.dat", memoryFile("KORVEL v3.2a 3.6a 20", bands, {}));
  loadMemoryBanks(p);
  EXPECT_EQ(p.band.bandTable[1], "02A003700000B0037000009990");
  EXPECT_EQ(p.band.bandTable[2], "02A003700000B0037000009990");
  for (int b = 3; b <= 14; ++b) EXPECT_EQ(p.band.bandTable[static_cast<std::size_t>(b)], kStartBandRecords[b]);
  // The channels follow the file format's own rule: what was not read is an empty text.
  for (const auto& slot : p.memory.memorySlots) EXPECT_EQ(slot, "");

  std::vector<std::string> twoSlots = {kChannel, "9"};
  write("savmem.dat", memoryFile("KORVEL v3.2a 3.6a 20", startBands(), twoSlots));
  loadMemoryBanks(p);
  EXPECT_EQ(p.memory.memorySlots[0], kChannel);
  EXPECT_EQ(p.memory.memorySlots[1], "9");
  EXPECT_EQ(p.memory.memorySlots[2], "");
}

TEST_F(Store, MalformedBandLinesKeepTheRecordInMemory) {
  const std::string valid[] = {
      "01A007050000B0070500000120",
      "13A007050000B0071000005230",
      "55A145500000B-000006009990",
      "55A433000000B+000076006031",
  };
  const std::string malformed[] = {
      "",
      "9",
      "01A007050000B007050000012",     // 25 characters
      "01A007050000B00705000001200",   // 27
      "21A007050000B0070500000120",    // kind 2
      "08A007050000B0070500000120",    // mode 8
      "00A007050000B0070500000120",    // mode 0
      "01X007050000B0070500000120",
      "01A00705000AB0070500000120",
      "01A007050000-0070500000120",
      "01A007050000B-000006000120",    // a shift without the repeater kind
      "51A007050000B0070500000120",    // the repeater kind without a shift
      "51A007050000B-00000600x120",
      "01A007050000B00705000001 0",
      "01A007050000B0070500000122",    // preamp 2
      std::string("01A0070\0" "0000B0070500000120", 26),
      std::string(300, '7'),
  };
  for (const auto& record : valid) EXPECT_TRUE(isWellFormedBandRecord(record)) << record;
  for (const auto& record : malformed) {
    EXPECT_FALSE(isWellFormedBandRecord(record)) << record;
    std::vector<std::string> bands = startBands();
    bands[3] = record;
    write("savmem.dat", memoryFile("KORVEL v3.2a 3.6a 40", bands, emptySlots()));
    p.band.bandTable[4] = "02A007200000B0072000009990";
    loadMemoryBanks(p);
    EXPECT_EQ(p.band.bandTable[4], "02A007200000B0072000009990") << record;
    EXPECT_EQ(p.band.bandTable[5], kStartBandRecords[5]) << record;  // the next line is still band 5
  }
}

TEST_F(Store, LongLinesAreCutAndTheirRestIsNotTheNextLine) {
  std::vector<std::string> slots = emptySlots();
  slots[0] = kChannel + std::string(1000, 'x');
  slots[1] = kChannel;
  std::vector<std::string> bands = startBands();
  bands[0] = kStartBandRecords[1] + std::string(500, '0');
  write("savmem.dat", memoryFile("KORVEL v3.2a 3.6a 40" + std::string(400, ' '), bands, slots));
  loadMemoryBanks(p);
  EXPECT_EQ(p.memory.memorySlots[0].size(), 254u);
  EXPECT_EQ(p.memory.memorySlots[0].substr(0, 28), kChannel);
  EXPECT_EQ(p.memory.memorySlots[1], kChannel);
  EXPECT_EQ(p.memory.memorySlots[2], "9");
  EXPECT_EQ(p.band.bandTable[1], kStartBandRecords[1]);
  EXPECT_EQ(p.band.bandTable[2], kStartBandRecords[2]);
}

TEST_F(Store, UnknownFormatIsReplacedByTheDefaultsAndReadBack) {
  for (const std::string& foreign : {std::string(), std::string("hello\r\n"), std::string("\0\0\0", 3),
                                    std::string("KORVEL v3.2")}) {
    write("savmem.dat", foreign);
    p.memory.memorySlots[3] = kChannel;  // in memory, so it reaches the new file
    loadMemoryBanks(p);
    const auto file = lines("savmem.dat");
    ASSERT_EQ(file.size(), 115u);
    EXPECT_EQ(file[0], "KORVEL v3.2a 3.6a 40");
    EXPECT_EQ(file[18], kChannel);
    EXPECT_EQ(p.memory.memorySlots[3], kChannel);
    initMemorySlots(p);
  }
}

TEST_F(Store, UnknownFormatThatCannotBeReplacedEndsTheLoadWithTheDefaults) {
  write("savmem.dat", "not a memory file\r\n");
  std::filesystem::permissions(folder / "savmem.dat", std::filesystem::perms::owner_read);
  loadMemoryBanks(p);  // returns: the retry is bounded
  EXPECT_EQ(read("savmem.dat"), "not a memory file\r\n");
  EXPECT_EQ(p.band.bandTable[6], kStartBandRecords[6]);
  EXPECT_EQ(p.memory.memorySlots[0], "9");
  EXPECT_EQ(p.band.currentBand, 4);

}

TEST_F(Store, SomethingThatIsNoFileIsLeftAlone) {
  // A folder of that name cannot be read as a file, and is not replaced.
  std::filesystem::create_directory(folder / "savmem.dat");
  loadMemoryBanks(p);
  EXPECT_TRUE(std::filesystem::is_directory(folder / "savmem.dat"));
  EXPECT_EQ(p.memory.memorySlots[0], "9");
  EXPECT_EQ(p.band.bandTable[6], kStartBandRecords[6]);

#ifndef _WIN32  // named pipes are a POSIX file type
  // Nor is a pipe, and reading it would wait for a writer for ever.
  std::filesystem::remove(folder / "savmem.dat");
  ASSERT_EQ(::mkfifo((folder / "savmem.dat").c_str(), 0644), 0);
  loadMemoryBanks(p);
  EXPECT_TRUE(std::filesystem::is_fifo(folder / "savmem.dat"));
#endif
}

TEST_F(Store, PreviousFormatThatCannotBeReplacedStillGivesItsChannels) {
  std::string old = "KORVEL v2.3c\r\n";
  for (int i = 0; i < 13; ++i) old += "x\r\n";
  old += "0206A014200000B014200000999\r\n";
  write("savmem.dat", old);
  std::filesystem::permissions(folder / "savmem.dat", std::filesystem::perms::owner_read);
  loadMemoryBanks(p);
  EXPECT_EQ(read("savmem.dat"), old);
  EXPECT_EQ(p.memory.memorySlots[0], "0206A014200000B0142000009990");
  EXPECT_EQ(p.memory.memorySlots[1], "0");  // the file ended: an empty text given its preamp digit
}

TEST_F(Store, SaveReplacesTheFileWholeAndLeavesNoTemporaryFile) {
  write("savmem.dat", "old contents");
  std::filesystem::permissions(folder / "savmem.dat",
                               std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  saveMemoryBanks(p);
  EXPECT_EQ(lines("savmem.dat").size(), 115u);
#ifndef _WIN32  // Windows keeps no owner/group/other bits
  EXPECT_EQ(std::filesystem::status(folder / "savmem.dat").permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
#endif
  EXPECT_EQ(otherFiles({"savmem.dat", "memory.txt"}), std::vector<std::string>{});
}

TEST_F(Store, FailedSaveLeavesTheOldFileAndKeepsTheStoreInMemory) {
  const std::string old = memoryFile("KORVEL v3.2a 3.6a 40", startBands(), emptySlots());
  p.memory.memorySlots[0] = kChannel;

  // The temporary file cannot be made: something else holds its name.
  write("savmem.dat", old);
  std::filesystem::create_directory(folder / "savmem.dat.tmp");
  saveMemoryBanks(p);
  EXPECT_EQ(read("savmem.dat"), old);
  EXPECT_TRUE(std::filesystem::is_directory(folder / "savmem.dat.tmp"));
  std::filesystem::remove(folder / "savmem.dat.tmp");

  // The file is marked read-only.
  std::filesystem::permissions(folder / "savmem.dat", std::filesystem::perms::owner_read);
  saveMemoryBanks(p);
  EXPECT_EQ(read("savmem.dat"), old);
  EXPECT_EQ(otherFiles({"savmem.dat", "memory.txt"}), std::vector<std::string>{});
  EXPECT_EQ(p.memory.memorySlots[0], kChannel);
  // The report still follows the store.
  EXPECT_NE(read("memory.txt").find("Slot 0 A=14.2"), std::string::npos);
}

TEST_F(Store, ReadOnlyFolderLeavesTheOldFile) {
  if (!permissionBitsBind()) GTEST_SKIP() << "read-only folders do not stop this user";
  const std::string old = memoryFile("KORVEL v3.2a 3.6a 40", startBands(), emptySlots());
  write("savmem.dat", old);
  p.memory.memorySlots[0] = kChannel;
  std::filesystem::permissions(folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  saveMemoryBanks(p);
  std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
  EXPECT_EQ(read("savmem.dat"), old);
}

TEST_F(Store, UnreadableFileIsNeitherDeletedNorReplaced) {
  if (!permissionBitsBind()) GTEST_SKIP() << "missing read permission does not stop this user";
  const std::string old = memoryFile("KORVEL v3.2a 3.6a 60", startBands(), emptySlots());
  write("savmem.dat", old);
  std::filesystem::permissions(folder / "savmem.dat", std::filesystem::perms::owner_write);
  loadMemoryBanks(p);
  std::filesystem::permissions(folder / "savmem.dat", std::filesystem::perms::owner_read);
  EXPECT_EQ(read("savmem.dat"), old);
  EXPECT_EQ(p.band.currentBand, 4);
}

TEST_F(Store, SymbolicLinkIsKeptAndItsFileReplaced) {
  std::filesystem::create_directory(folder / "shared");
  write("shared/store.dat", "old");
  std::error_code linkError;
  std::filesystem::create_symlink(folder / "shared" / "store.dat", folder / "savmem.dat", linkError);
  if (linkError) GTEST_SKIP() << "no symbolic links here: " << linkError.message();
  saveMemoryBanks(p);
  EXPECT_TRUE(std::filesystem::is_symlink(folder / "savmem.dat"));
  EXPECT_EQ(lines("shared/store.dat").size(), 115u);
}

TEST_F(Store, EntriesWithLineBreaksCannotShiftTheFile) {
  p.memory.memorySlots[4] = "0206A014200000B01420000099\r\n91";
  p.band.bandTable[2] = "01A003600000\nB0036000009990";
  saveMemoryBanks(p);
  const auto file = lines("savmem.dat");
  ASSERT_EQ(file.size(), 115u);
  EXPECT_EQ(file[19], "0206A014200000B0142000009991");
  EXPECT_EQ(file[2], "01A003600000B0036000009990");
}

// Whatever the bytes, the load never fails, never takes a malformed band record, and leaves every
// value in its range.
TEST_F(Store, RandomFilesNeverCorruptTheStore) {
  std::mt19937 random(20240611);
  const std::string pieces[] = {"KORVEL v3.2a 3.6a ", "KORVEL v2.3c", "\r\n", "\r", "\n", "9", "\0",
                                "02A014200000B0142000009991", "5512A145600000B-000006009990", "\xff\xfe"};
  for (int round = 0; round < 300; ++round) {
    std::string text = round % 2 ? "KORVEL v3.2a 3.6a " : "";
    const int parts = static_cast<int>(random() % 400);
    for (int i = 0; i < parts; ++i) {
      if (random() % 3 == 0) {
        text += pieces[random() % std::size(pieces)];
      } else {
        text.append(random() % 40, static_cast<char>(random() % 256));
      }
    }
    std::istringstream in(text);
    readMemoryFile(p, in);
    for (int b = 1; b <= 14; ++b)
      ASSERT_TRUE(isWellFormedBandRecord(p.band.bandTable[static_cast<std::size_t>(b)])) << round;
    for (const auto& slot : p.memory.memorySlots) ASSERT_LE(slot.size(), 254u);
    ASSERT_GE(p.band.currentBand, 0);
    ASSERT_LE(p.band.currentBand, 14);
    ASSERT_TRUE(p.fn.nrState == nr_state::kOff || p.fn.nrState == nr_state::kOn);
    // Whatever was read saves as a file of exactly 115 lines.
    const std::string saved = memoryFileText(p);
    std::size_t breaks = 0;
    for (std::size_t i = 0; i + 1 < saved.size(); ++i) breaks += saved.compare(i, 2, "\r\n") == 0;
    ASSERT_EQ(breaks, 115u);
  }
}

}  // namespace
}  // namespace korvel::testing
