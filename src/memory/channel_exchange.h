// Korvel's memory channels out to a CHIRP CSV channel list and in from one, for the command line:
// savmem.dat is read, changed and written here as a channel store from the keys does.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "memory/chirp_channels.h"

namespace korvel {
struct Panel;

// What a channel list would import: its channels in file order, the rows skipped and why, or why
// the file cannot be imported at all (then nothing of it is).
struct ChannelImportPlan {
  std::vector<ChirpChannel> channels;
  std::vector<std::string> skipped;  // "line 7: Location 12 skipped: ..."
  std::string error;                 // not empty: nothing is imported
};

ChannelImportPlan planChannelImport(std::string_view csvText);

// Writes the occupied channels of the station's savmem.dat (the panel's folder) to csvFile and says
// so on out; nothing of the station changes. Returns the exit code: 0 written, 1 not (why on err).
int exportChannels(Panel& p, const std::filesystem::path& csvFile, std::ostream& out, std::ostream& err);
// Stores the channels of csvFile into savmem.dat at their Locations and rewrites memory.txt, keeping
// the band table, the current band and every channel the list does not name; a dry run only reports.
// Refused while a running Korvel holds the station folder. Returns the exit code: 0 stored (or, dry,
// storable), 1 nothing stored (why on err); skipped rows and the outcome go to out.
int importChannels(Panel& p, const std::filesystem::path& csvFile, bool dryRun, std::ostream& out,
                   std::ostream& err);

}  // namespace korvel
