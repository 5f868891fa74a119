#include "memory/memory_report.h"

#include "state/panel.h"
#include "state/modes.h"
#include "state/radio_numbers.h"
#include "state/channel_record.h"
#include "state/frequency_text.h"
#include "state/text.h"
#include "memory/atomic_file.h"

namespace korvel {

namespace {

std::string withoutLeadingZeros(std::string_view s) {
  const auto first = s.find_first_not_of('0');
  return first == std::string_view::npos ? std::string() : std::string(s.substr(first));
}

const char* modeName(char digit) {
  const ModeRow* mode = digit >= '0' && digit <= '9' ? modeOfProgram(digit - '0') : nullptr;
  return mode == nullptr ? nullptr : mode->reportName;
}

}  // namespace

std::string channelReportLine(int slot, std::string_view record) {
  namespace ch = channel_record;
  const char kind = ch::kind(record);
  std::string line = "Slot " + std::to_string(slot) + " ";
  line += "A=" + megahertzText(ch::vfoADigits(record));
  if (kind != '5') line += "  B=" + megahertzText(ch::vfoBDigits(record));
  if (const char* mode = modeName(ch::modeDigit(record))) line += std::string("  ") + mode;
  if (kind == '5') {
    line += "  Repeater";
    line += ch::shiftSign(record) == '+' ? "  +" : "  -";
    line += withoutLeadingZeros(ch::shiftDigits(record));
    line += "Khz";
  }
  line += kind == '1' ? "  split" : "       ";
  const std::string tone = ch::toneCode(record);
  if (tone != kNoTone) {
    line += "   ";
    line += left(tone, 1) > "4" ? "DCS=" : "CTCSS=";
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
      if (!channel_record::isOccupied(record)) continue;
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
