#include "memory/memory_store.h"

#include <exception>
#include <fstream>
#include <iostream>
#include <system_error>

#include "state/panel.h"
#include "state/band_record.h"
#include "state/channel_record.h"
#include "state/text.h"
#include "memory/atomic_file.h"
#include "memory/memory_report.h"
#include "state/radio_numbers.h"

namespace korvel {

namespace {

constexpr std::string_view kCurrentTag = "KORVEL v3.2a";
constexpr std::string_view kPreviousTag = "KORVEL v2.3c";
constexpr int kFirstBand = band_number::kFirst;
constexpr int kLastBand = band_number::kLast;
// The previous format keeps 13 lines between its header and the channels that are not used any more.
constexpr int kPreviousUnusedLines = 13;

// Reads text lines as the store has always been written and read: characters up to a carriage return
// or a line feed; CR LF, a lone CR and a lone LF each end one line. Past the end every line is empty.
// A line is cut to the stored-text cap where it enters; the rest of it is skipped, never carried over
// into the next line.
class LineReader {
 public:
  explicit LineReader(std::istream& in) : in_(in) {}

  std::string next() {
    std::string line;
    std::streambuf* buf = in_.rdbuf();
    if (buf == nullptr || failed_) return line;
    // The file buffer throws on a read error (a disk error, a file that vanished); what was read up
    // to there counts, and the file ends at that point.
    try {
      for (;;) {
        const int c = buf->sbumpc();
        if (c == std::char_traits<char>::eof()) break;
        if (c == '\n') break;
        if (c == '\r') {
          if (buf->sgetc() == '\n') buf->sbumpc();
          break;
        }
        if (line.size() < kStoredTextCap) line.push_back(static_cast<char>(c));
      }
    } catch (const std::exception&) {
      failed_ = true;
    }
    return line;
  }

 private:
  std::istream& in_;
  bool failed_ = false;
};

// The header character that carries a small number: "0" + n. A value that would give a line break
// or an unprintable byte (the noise-reduction state can hold values other than 0 and 1) is written
// as "0", so the header always stays one line.
char headerDigit(int n) {
  const int code = 48 + n;
  return code > 32 && code < 127 ? static_cast<char>(code) : '0';
}

void readCurrentBody(Panel& p, const std::string& header, LineReader& lines) {
  p.fn.nrState = mid(header, 20, 1) == "1" ? nr_state::kOn : nr_state::kOff;
  const std::string bandChar = mid(header, 19, 1);
  const int band = bandChar.empty() ? 0 : static_cast<unsigned char>(bandChar[0]) - 48;
  // Only a band that has a record is taken; start-up turns 0 into its start band.
  p.band.currentBand = band >= kFirstBand && band <= kLastBand ? band : 0;

  for (int band = kFirstBand; band <= kLastBand; ++band) {
    std::string line = lines.next();
    if (isWellFormedBandRecord(line)) p.band.bandTable[static_cast<std::size_t>(band)] = std::move(line);
  }
  for (auto& slot : p.memory.memorySlots) slot = lines.next();
}

void readPreviousBody(Panel& p, LineReader& lines) {
  for (int i = 0; i < kPreviousUnusedLines; ++i) lines.next();
  for (auto& slot : p.memory.memorySlots) {
    std::string line = lines.next();
    // Channels of the previous format end before the preamplifier digit: it starts off.
    if (channel_record::isOccupied(line)) line += "0";
    slot = capStored(std::move(line));
  }
}

// One entry, one line: a line break inside an entry would shift every later line of the file.
void appendLine(std::string& out, std::string_view entry) {
  for (char c : entry)
    if (c != '\r' && c != '\n') out.push_back(c);
  out += "\r\n";
}

// A damaged file may still hold the operator's channels: it is copied aside before the defaults are
// written over it. When the copy cannot be made the file is not replaced either.
bool keepUnrecognisedFile(Panel& p) {
  std::error_code ec;
  const auto kept = p.folder / kUnrecognisedMemoryFileName;
  // The older kept file goes first: not every library's copy can overwrite (mingw's cannot).
  std::filesystem::remove(kept, ec);
  std::filesystem::copy_file(p.folder / kMemoryFileName, kept, ec);
  if (ec) {
    std::cerr << "korvel: " << kMemoryFileName << " is not a memory file Korvel knows, and it cannot be kept as "
              << kUnrecognisedMemoryFileName << " (" << ec.message() << "): it is left as it is\n";
    return false;
  }
  std::cerr << "korvel: " << kMemoryFileName << " is not a memory file Korvel knows: kept as "
            << kUnrecognisedMemoryFileName << ", a new one is made\n";
  return true;
}

}  // namespace

bool isWellFormedBandRecord(std::string_view r) {
  namespace band = band_record;
  if (r.size() != band::kLength) return false;
  const char kind = band::kind(r);
  if (kind != '0' && kind != '1' && kind != '5') return false;
  if (band::modeDigit(r) < '1' || band::modeDigit(r) > '7') return false;
  if (band::vfoAField(r)[0] != 'A' || !isDigits(band::vfoADigits(r)) || band::vfoBField(r)[0] != 'B') return false;
  const std::string vfoB = band::vfoBDigits(r);
  const bool shift = (vfoB[0] == '+' || vfoB[0] == '-') && isDigits(std::string_view(vfoB).substr(1));
  if (kind == '5' ? !shift : !isDigits(vfoB)) return false;
  const char preamp = band::preampDigit(r);
  return isDigits(band::toneCode(r)) && (preamp == '0' || preamp == '1');
}

void initMemorySlots(Panel& p) {
  for (auto& slot : p.memory.memorySlots) slot.assign(1, channel_record::kEmptyKind);
}

MemoryFileFormat readMemoryFile(Panel& p, std::istream& in) {
  LineReader lines(in);
  const std::string header = lines.next();
  const std::string tag = left(header, 12);
  if (tag == kCurrentTag) {
    readCurrentBody(p, header, lines);
    return MemoryFileFormat::current;
  }
  if (tag == kPreviousTag) {
    readPreviousBody(p, lines);
    return MemoryFileFormat::previous;
  }
  return MemoryFileFormat::unknown;
}

std::string memoryFileText(const Panel& p) {
  std::string header = std::string(kCurrentTag) + " " + p.core.versionText;
  const int band = p.band.currentBand;
  if (band >= kFirstBand && band <= kLastBand) {
    header += ' ';
    header += headerDigit(band);
    header += headerDigit(p.fn.nrState);
  }
  std::string out;
  out.reserve(4096);
  appendLine(out, header);
  for (int b = kFirstBand; b <= kLastBand; ++b) appendLine(out, p.band.bandTable[static_cast<std::size_t>(b)]);
  for (const auto& slot : p.memory.memorySlots) appendLine(out, slot);
  return out;
}

void saveMemoryBanks(Panel& p) {
  // A store that cannot be written stays in memory for this run; the old file is left as it was.
  replaceFileContents(p.folder / kMemoryFileName, memoryFileText(p));
  writeMemoryReport(p);
}

void loadMemoryBanks(Panel& p) {
  const auto path = p.folder / kMemoryFileName;
  // A file of another format is rewritten in the current one and read again. When the rewrite does
  // not take (a read-only file or folder), the second reading gives up and the store keeps what it
  // holds: the defaults, or the channels converted from the previous format.
  constexpr int kReadings = 2;
  for (int reading = 1; reading <= kReadings; ++reading) {
    std::error_code ec;
    const auto type = std::filesystem::status(path, ec).type();
    if (type == std::filesystem::file_type::not_found) {
      std::filesystem::remove(p.folder / kOldMemoryFileName, ec);
      saveMemoryBanks(p);
      return;
    }
    // Something that exists but is no file to read (a folder, a pipe that would block, a file without
    // read permission) is not replaced by the defaults: it may be somebody's data.
    if (type != std::filesystem::file_type::regular) return;
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) return;
    const MemoryFileFormat format = readMemoryFile(p, in);
    in.close();
    if (format == MemoryFileFormat::current) return;
    if (reading == kReadings) return;
    if (format == MemoryFileFormat::unknown && !keepUnrecognisedFile(p)) return;
    saveMemoryBanks(p);
  }
}

}  // namespace korvel
