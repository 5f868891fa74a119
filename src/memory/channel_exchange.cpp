#include "memory/channel_exchange.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <ostream>
#include <system_error>

#include "functions/band_table.h"
#include "memory/atomic_file.h"
#include "memory/csv_table.h"
#include "memory/memory_report.h"
#include "memory/memory_store.h"
#include "memory/station_lock.h"
#include "state/channel_record.h"
#include "state/panel.h"
#include "state/radio_numbers.h"
#include "state/text.h"

namespace korvel {

namespace {

// A channel list of a thousand channels is about a tenth of this; a larger file is something else.
constexpr std::size_t kLargestChannelList = 1 << 20;
constexpr unsigned char kDelete = 0x7f;

enum class StoreFile { read, missing, foreign, unreadable };

// The station's store as start-up would have it: savmem.dat read over the start values, or the start
// values alone when the station has no savmem.dat yet.
StoreFile readStore(Panel& p) {
  initBandTable(p);
  initMemorySlots(p);
  p.band.currentBand = band_number::kDefault;
  p.fn.nrState = nr_state::kOff;
  const auto path = p.folder / kMemoryFileName;
  std::error_code ec;
  const auto type = std::filesystem::status(path, ec).type();
  if (type == std::filesystem::file_type::not_found) return StoreFile::missing;
  if (type != std::filesystem::file_type::regular) return StoreFile::unreadable;
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) return StoreFile::unreadable;
  return readMemoryFile(p, in) == MemoryFileFormat::unknown ? StoreFile::foreign : StoreFile::read;
}

std::string storeProblem(const Panel& p, StoreFile state) {
  const std::string file = (p.folder / kMemoryFileName).string();
  if (state == StoreFile::foreign) return file + " is not a memory file Korvel knows (start Korvel once to renew it)";
  return file + " cannot be read";
}

// Why a file is not a channel list, read whole into text; nothing when it is text of a fitting size.
std::optional<std::string> readChannelList(const std::filesystem::path& file, std::string& text) {
  std::error_code ec;
  if (std::filesystem::is_directory(file, ec)) return "it is a folder";
  std::ifstream in(file, std::ios::binary);
  if (!in.is_open()) return "it cannot be read";
  text.resize(kLargestChannelList + 1);
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in.gcount()));
  if (text.size() > kLargestChannelList) {
    return "it is larger than " + std::to_string(kLargestChannelList) + " bytes, far more than any channel list";
  }
  return std::nullopt;
}

// Text has no control characters other than tab and the line ends; UTF-8 letters are welcome.
std::optional<std::string> binaryByte(std::string_view text) {
  int line = 1;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == '\n') ++line;
    if ((byte < ' ' && byte != '\t' && byte != '\r' && byte != '\n') || byte == kDelete) {
      char hex[3];
      std::snprintf(hex, sizeof hex, "%02X", byte);
      return "it is not a text file (byte 0x" + std::string(hex) + " on line " + std::to_string(line) + ")";
    }
  }
  return std::nullopt;
}

std::string skippedLine(const ChirpChannel& c) {
  std::string line = "line " + std::to_string(c.line) + ": ";
  if (c.location) line += "Location " + std::to_string(*c.location) + " ";
  return line + "skipped: " + c.problem;
}

std::string plural(std::size_t n, const std::string& word) {
  return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

// The channels go into their slots; a slot's preamplifier stays as it was unless the list says.
std::size_t storeChannels(Panel& p, const std::vector<ChirpChannel>& channels) {
  std::size_t replaced = 0;
  for (const auto& c : channels) {
    std::string& slot = p.memory.memorySlots[static_cast<std::size_t>(*c.location)];
    const bool occupied = channel_record::isOccupied(slot);
    if (occupied) ++replaced;
    std::string record = c.record;
    if (!c.preampGiven && occupied && channel_record::preampDigit(slot) == '1') record.back() = '1';
    slot = std::move(record);
  }
  return replaced;
}

}  // namespace

ChannelImportPlan planChannelImport(std::string_view csvText) {
  ChannelImportPlan plan;
  if (const auto binary = binaryByte(csvText)) {
    plan.error = *binary;
    return plan;
  }
  CsvTable table = readCsvTable(csvText);
  if (!table.error.empty()) {
    plan.error = "line " + std::to_string(table.errorLine) + ": " + table.error;
    return plan;
  }
  if (table.rows.empty()) {
    plan.error = "it is empty: no header line, no channels";
    return plan;
  }
  const CsvRow& header = table.rows.front();
  const ChirpColumns columns(header.fields);
  if (!columns.isChirpHeader()) {
    const bool numbered = isDigits(header.fields.front());
    plan.error = numbered ? "it has no header line: a CHIRP list begins with the names of its columns, "
                            "Location,Name,Frequency,..."
                          : "line " + std::to_string(header.line) +
                                " is not CHIRP's header: it names no Location or no Frequency column";
    return plan;
  }

  std::map<long, int> lineOfLocation;
  for (auto row = table.rows.begin() + 1; row != table.rows.end(); ++row) {
    ChirpChannel c = channelFromChirpRow(columns, row->fields);
    c.line = row->line;
    if (c.location) {
      const auto [at, first] = lineOfLocation.emplace(*c.location, c.line);
      if (!first) {
        plan.error = "line " + std::to_string(c.line) + ": Location " + std::to_string(*c.location) +
                     " is also on line " + std::to_string(at->second) + "; a list names each Location once";
        return plan;
      }
    }
    if (c.problem.empty()) {
      plan.channels.push_back(std::move(c));
    } else {
      plan.skipped.push_back(skippedLine(c));
    }
  }
  if (plan.channels.empty()) plan.error = "it holds no channel Korvel can take";
  return plan;
}

int exportChannels(Panel& p, const std::filesystem::path& csvFile, std::ostream& out, std::ostream& err) {
  const StoreFile state = readStore(p);
  if (state == StoreFile::missing) {
    err << "korvel: " << (p.folder / kMemoryFileName).string() << " does not exist: no channels to export\n";
    return 1;
  }
  if (state != StoreFile::read) {
    err << "korvel: " << storeProblem(p, state) << ": nothing exported\n";
    return 1;
  }
  std::string text = chirpHeaderLine() + "\r\n";
  std::size_t exported = 0;
  for (std::size_t slot = 0; slot < p.memory.memorySlots.size(); ++slot) {
    const std::string& record = p.memory.memorySlots[slot];
    if (!channel_record::isOccupied(record)) continue;
    if (const auto line = chirpChannelLine(static_cast<int>(slot), record)) {
      text += *line + "\r\n";
      ++exported;
    } else {
      out << "channel " << slot << " not exported: \"" << record << "\" is not a channel record Korvel can read\n";
    }
  }
  if (!replaceFileContents(csvFile, text)) {
    err << "korvel: " << csvFile.string() << " cannot be written: nothing exported\n";
    return 1;
  }
  out << "Exported " << plural(exported, "channel") << " to " << csvFile.string() << ".\n";
  return 0;
}

int importChannels(Panel& p, const std::filesystem::path& csvFile, bool dryRun, std::ostream& out,
                   std::ostream& err) {
  const std::string name = csvFile.string();
  std::string text;
  ChannelImportPlan plan;
  if (const auto problem = readChannelList(csvFile, text)) {
    plan.error = *problem;
  } else {
    plan = planChannelImport(text);
  }
  for (const auto& line : plan.skipped) out << line << "\n";
  if (!plan.error.empty()) {
    err << "korvel: " << name << ": " << plan.error << ". Nothing imported.\n";
    return 1;
  }

  // The running program saves its own channels when it ends, over whatever was imported meanwhile.
  const bool korvelRunning = lockStation(p) == StationLock::heldElsewhere;
  if (korvelRunning && !dryRun) {
    err << "korvel: Korvel is running on the station folder " << p.folder.string()
        << ": quit it first, or it would write its channels over the imported ones. Nothing imported.\n";
    return 1;
  }
  const StoreFile state = readStore(p);
  if (state == StoreFile::foreign || state == StoreFile::unreadable) {
    unlockStation(p);
    err << "korvel: " << storeProblem(p, state) << ". Nothing imported.\n";
    return 1;
  }
  const std::size_t replaced = storeChannels(p, plan.channels);
  const std::string outcome = plural(plan.channels.size(), "channel") + " from " + name + " (" +
                              std::to_string(replaced) + " replacing stored ones), " +
                              plural(plan.skipped.size(), "line") + " skipped";
  if (dryRun) {
    unlockStation(p);
    out << "Dry run: " << outcome << "; nothing written.\n";
    if (korvelRunning) out << "Korvel is running on this station folder: quit it before the import.\n";
    return 0;
  }
  const bool written = replaceFileContents(p.folder / kMemoryFileName, memoryFileText(p));
  if (written) writeMemoryReport(p);
  unlockStation(p);
  if (!written) {
    err << "korvel: " << (p.folder / kMemoryFileName).string() << " cannot be written. Nothing imported.\n";
    return 1;
  }
  out << "Imported " << outcome << ".\n";
  return 0;
}

}  // namespace korvel
