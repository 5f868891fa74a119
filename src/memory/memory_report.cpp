#include "memory/memory_report.h"

#include "state/panel.h"
#include "state/frequency_text.h"
#include "state/text.h"
#include "memory/atomic_file.h"

namespace korvel {

namespace {

std::string withoutLeadingZeros(std::string_view s) {
  const auto first = s.find_first_not_of('0');
  return first == std::string_view::npos ? std::string() : std::string(s.substr(first));
}

bool isOccupied(std::string_view record) { return left(record, 1) != "9"; }

const char* modeName(std::string_view digit) {
  static constexpr const char* kNames[] = {"LSB", "USB", "CW", "AM", "FMN", "C4FM", "FMW"};
  if (digit.size() != 1 || digit[0] < '1' || digit[0] > '7') return nullptr;
  return kNames[digit[0] - '1'];
}

}  // namespace

std::string channelReportLine(int slot, std::string_view record) {
  const std::string kind = mid(record, 1, 1);
  std::string line = "Slot " + std::to_string(slot) + " ";
  line += "A=" + megahertzText(mid(record, 6, 9));
  if (kind != "5") line += "  B=" + megahertzText(mid(record, 16, 9));
  if (const char* mode = modeName(mid(record, 2, 1))) line += std::string("  ") + mode;
  if (kind == "5") {
    line += "  Repeater";
    line += mid(record, 16, 1) == "+" ? "  +" : "  -";
    line += withoutLeadingZeros(mid(record, 17, 8));
    line += "Khz";
  }
  line += kind == "1" ? "  split" : "       ";
  const std::string tone = mid(record, 25, 3);
  if (tone != "999") {
    line += "   ";
    line += mid(record, 25, 1) > "4" ? "DCS=" : "CTCSS=";
    line += tone;
  }
  return line;
}

std::string memoryReportText(const Panel& p) {
  std::string out = "Memory Bank Information\r\n  \r\n";
  bool anyOccupied = false;
  for (int bank = 0; bank < 10; ++bank) {
    bool bankShown = false;
    for (int slot = 0; slot < 10; ++slot) {
      const std::string& record = p.memory.memorySlots[static_cast<std::size_t>(bank * 10 + slot)];
      if (!isOccupied(record)) continue;
      if (!bankShown) {
        out += "  \r\nBank" + std::to_string(bank) + "\r\n";
        bankShown = true;
      }
      out += channelReportLine(slot, record) + "\r\n";
      anyOccupied = true;
    }
  }
  if (!anyOccupied) out += "Empty\r\n";
  return out;
}

void writeMemoryReport(Panel& p) {
  // Nothing depends on the report: a folder or file that cannot be written just goes without it.
  replaceFileContents(p.folder / kMemoryReportFileName, memoryReportText(p));
}

}  // namespace korvel
