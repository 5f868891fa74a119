// The memory store file savmem.dat: band table, current band and the 100 channels.
// Loaded once at start-up, saved after every channel store and at the end of the run.
#pragma once

#include <istream>
#include <string>
#include <string_view>

namespace korvel {
struct Panel;

inline constexpr const char* kMemoryFileName = "savmem.dat";
inline constexpr const char* kOldMemoryFileName = "memory.dat";
// Where an unrecognised savmem.dat is kept before the defaults replace it (the newest one only).
inline constexpr const char* kUnrecognisedMemoryFileName = "savmem.dat.bad";

// Every channel empty ("9").
void initMemorySlots(Panel& p);
// Reads savmem.dat from the station folder into the store, converting or replacing a file of another
// format; a missing file is created from the store as it stands.
void loadMemoryBanks(Panel& p);
// Writes the store to savmem.dat (atomically) and then the memory report.
void saveMemoryBanks(Panel& p);

// What the first line of a memory file says the file is.
enum class MemoryFileFormat { current, previous, unknown };

// Reads the text of a memory file into the panel. Current format: header band and noise-reduction
// flag, band records (a line that is not a well-formed band record keeps the record in memory) and the
// 100 channels. Previous format: only the channels, each occupied one given the preamplifier digit
// "0". Unknown: nothing changes. Never fails on any input.
MemoryFileFormat readMemoryFile(Panel& p, std::istream& in);
// The text saveMemoryBanks writes: header, 14 band records, 100 channels, each line ended by CR LF.
std::string memoryFileText(const Panel& p);
// A 26-character band record: kind 0, 1 or 5, mode 1..7, "A", nine digits, "B", nine digits (kind 5:
// "+" or "-" and eight digits), three tone digits, preamplifier 0 or 1.
bool isWellFormedBandRecord(std::string_view record);

}  // namespace korvel
