// Arbitrary bytes as a CHIRP channel list. Whatever they hold, reading them must not crash, every
// channel taken must be a record Korvel can recall at a Location of its own, named once, and that
// record written out as a row must read back as itself.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "fuzz_checks.h"
#include "memory/channel_exchange.h"
#include "memory/channel_ops.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using korvel::fuzz::check;
  const auto plan = korvel::planChannelImport({reinterpret_cast<const char*>(data), size});
  if (!plan.error.empty()) return 0;  // nothing of the file is imported
  std::set<long> locations;
  for (const auto& c : plan.channels) {
    check(c.location && *c.location >= 0 && *c.location <= 99 && locations.insert(*c.location).second);
    check(korvel::isWellFormedChannelRecord(c.record));
    const auto line = korvel::chirpChannelLine(static_cast<int>(*c.location), c.record);
    check(line.has_value());
    const auto again = korvel::planChannelImport(korvel::chirpHeaderLine() + "\r\n" + *line + "\r\n");
    check(again.channels.size() == 1 && again.channels[0].record == c.record);
  }
  return 0;
}
