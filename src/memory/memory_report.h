// The memory report memory.txt: every occupied channel, bank by bank, in words a person can read.
// Written after every save of the memory store; nothing reads it back.
#pragma once

#include <string>
#include <string_view>

namespace korvel {
struct Panel;

inline constexpr const char* kMemoryReportFileName = "memory.txt";

// Rewrites memory.txt in the station folder from the channels; a file that cannot be written is skipped.
void writeMemoryReport(Panel& p);
// The text of the report, each line ended by CR LF.
std::string memoryReportText(const Panel& p);
// The report line of one occupied channel record in slot 0..9.
std::string channelReportLine(int slot, std::string_view record);

}  // namespace korvel
