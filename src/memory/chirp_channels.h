// CHIRP's generic CSV channel list: a Korvel channel record written as one of its rows, and a row
// read back as a channel record, or the reason Korvel cannot hold it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvel {

// The header of the lists Korvel writes: CHIRP's columns in CHIRP's order, then Korvel's own
// column Preamp (CHIRP passes over columns it does not know).
std::string chirpHeaderLine();
// The row of an occupied channel record at its Location (bank x 10 + slot), without a line end.
// Nothing for a record the list cannot carry: one that is not well formed, or whose tone code names
// neither a CTCSS tone nor a DCS code.
std::optional<std::string> chirpChannelLine(int location, std::string_view record);

// The columns of a header row, by name; of two columns with one name the first counts.
class ChirpColumns {
 public:
  explicit ChirpColumns(std::vector<std::string> header) : names_(std::move(header)) {}
  // A CHIRP header names at least the Location and the Frequency.
  bool isChirpHeader() const { return find("Location") && find("Frequency"); }
  std::optional<std::size_t> find(std::string_view name) const;
  std::size_t count() const { return names_.size(); }

 private:
  std::vector<std::string> names_;
};

// One data row as a channel: the record and what the row said of the preamplifier, or why the row
// cannot be a Korvel channel.
struct ChirpChannel {
  int line = 0;
  std::optional<long> location;  // the row's Location when it is a whole number, taken or not
  std::string record;            // the 28-character record (its preamplifier digit "0" unless given)
  bool preampGiven = false;      // the Preamp column said On or Off
  std::string problem;           // not empty: the row is not taken, and this is why
};

// Missing columns take CHIRP's defaults; values are CHIRP's (frequencies in MHz, Duplex "", "+", "-"
// or "split", Tone "", "Tone", "TSQL" or "DTCS", CHIRP's mode names).
ChirpChannel channelFromChirpRow(const ChirpColumns& columns, const std::vector<std::string>& fields);

}  // namespace korvel
