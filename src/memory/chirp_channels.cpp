#include "memory/chirp_channels.h"

#include <array>
#include <charconv>

#include "functions/band_table.h"
#include "memory/channel_ops.h"
#include "state/channel_record.h"
#include "state/radio_numbers.h"
#include "state/modes.h"
#include "state/text.h"

namespace korvel {

namespace {

// CHIRP's generic CSV columns, as CHIRP writes them.
constexpr std::array<std::string_view, 21> kChirpColumnNames = {
    "Location", "Name",        "Frequency",  "Duplex",    "Offset", "Tone",  "rToneFreq",
    "cToneFreq", "DtcsCode",   "DtcsPolarity", "RxDtcsCode", "CrossMode", "Mode", "TStep",
    "Skip",     "Power",       "Comment",    "URCALL",    "RPT1CALL", "RPT2CALL", "DVCODE"};
constexpr std::string_view kPreampColumn = "Preamp";
constexpr std::string_view kPreampOn = "On";
constexpr std::string_view kPreampOff = "Off";

// CHIRP's values for a column a list does not have, and for what a Korvel channel does not keep.
constexpr std::string_view kDefaultOffset = "0.600000";
constexpr std::string_view kDefaultToneHz = "88.5";
constexpr std::string_view kDefaultDcsCode = "023";
constexpr std::string_view kNormalPolarity = "NN";
constexpr std::string_view kDefaultMode = "FM";
constexpr std::string_view kDefaultCrossMode = "Tone->Tone";
constexpr std::string_view kDefaultTuningStep = "5.00";
constexpr std::string_view kDefaultPower = "50W";
constexpr std::string_view kSimplexOffset = "0.000000";


constexpr long kLastLocation = 99;
constexpr long long kHzPerMhz = 1000000;
constexpr long long kHzPerKhz = 1000;
constexpr int kFrequencyDigits = 9;
constexpr int kOffsetDigits = 8;
constexpr int kMhzFractionDigits = 6;
// Korvel tunes from the frequency entry's lowest megahertz to the top of 70 cm as the radio reports it.
constexpr long long kLowestChannelHz = 1 * kHzPerMhz;
constexpr long long kHighestChannelHz = (kTop70cmReportedMegahertz + 1) * kHzPerMhz - 1;
// The offset a repeater record keeps: three kilohertz digits, four on 70 cm.
constexpr long kLargestOffsetKhz = 999;
constexpr long kLargest70cmOffsetKhz = 9999;
// More digits than this is no number Korvel could use (and would overflow).
constexpr std::size_t kMostDigits = 12;

std::string trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

std::optional<long long> digitsValue(std::string_view digits) {
  if (digits.empty() || digits.size() > kMostDigits || !isDigits(digits)) return std::nullopt;
  long long value = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return value;
}

// A whole number with an optional sign, as CHIRP's Location and DtcsCode are.
std::optional<long> wholeNumber(std::string_view text) {
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) text.remove_prefix(1);
  const auto value = digitsValue(text);
  if (!value) return std::nullopt;
  return static_cast<long>(negative ? -*value : *value);
}

// CHIRP's frequency text in hertz: MHz with up to six decimals, or a number followed by " MHz" or
// " kHz"; an empty text is 0.
std::optional<long long> chirpFrequency(std::string_view text) {
  if (text.empty()) return 0;
  const auto ends = [&](std::string_view unit) {
    return text.size() > unit.size() && text.substr(text.size() - unit.size()) == unit;
  };
  if (ends(" MHz")) return chirpFrequency(text.substr(0, text.find(' ')));
  if (ends(" kHz")) {
    const auto khz = digitsValue(text.substr(0, text.find(' ')));
    return khz ? std::optional<long long>(*khz * kHzPerKhz) : std::nullopt;
  }
  const auto point = text.find('.');
  std::string_view mhz = text.substr(0, point);
  std::string fraction = point == std::string_view::npos ? "" : std::string(text.substr(point + 1));
  if (fraction.size() > kMhzFractionDigits) return std::nullopt;
  fraction.append(kMhzFractionDigits - fraction.size(), '0');
  const auto whole = mhz.empty() ? std::optional<long long>(0) : digitsValue(mhz);
  const auto part = digitsValue(fraction);
  if (!whole || !part) return std::nullopt;
  return *whole * kHzPerMhz + *part;
}

std::string megahertzText(long long hz) {
  return std::to_string(hz / kHzPerMhz) + "." + zeroPad(hz % kHzPerMhz, kMhzFractionDigits);
}

bool isChannelFrequency(long long hz) { return hz >= kLowestChannelHz && hz <= kHighestChannelHz; }

std::string outsideBands(long long hz) {
  return megahertzText(hz) + " MHz is outside Korvel's bands (" + megahertzText(kLowestChannelHz) + " to " +
         megahertzText(kHighestChannelHz) + " MHz)";
}

std::string toneHzText(int tenths) { return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10); }

// The tone code of a CTCSS frequency in hertz ("88.5", "100", "100.0"); nothing unless the radio has it.
std::optional<std::string> ctcssCode(std::string_view hz) {
  const auto point = hz.find('.');
  const auto whole = digitsValue(hz.substr(0, point));
  const std::string fraction = point == std::string_view::npos ? "0" : std::string(hz.substr(point + 1));
  if (!whole || !isDigits(fraction) || fraction.find_first_not_of('0', 1) != std::string::npos) return std::nullopt;
  const long long tenths = *whole * 10 + (fraction[0] - '0');
  for (std::size_t n = 0; n < kCtcssTenthsHz.size(); ++n) {
    if (kCtcssTenthsHz[n] == tenths) return zeroPad(static_cast<long long>(n), 3);
  }
  return std::nullopt;
}

// The tone code of a DCS code as CHIRP writes it ("023"): the code number after the DCS mark.
std::optional<std::string> dcsCode(std::string_view code) {
  const auto value = wholeNumber(code);
  for (std::size_t n = 0; value && n < kDcsCodes.size(); ++n) {
    if (kDcsCodes[n] == *value) return std::to_string(kLowestDcsNumber + static_cast<long>(n));
  }
  return std::nullopt;
}

struct ToneColumns {
  std::string_view tone;
  std::string toneHz = std::string(kDefaultToneHz);
  std::string dcs = std::string(kDefaultDcsCode);
};

// The tone columns of a record's tone code; nothing for a code that names no tone the radio has.
std::optional<ToneColumns> toneColumns(std::string_view code) {
  if (code == kNoTone) return ToneColumns{};
  const long n = wholeValueOf(code);
  if (!isDcsNumber(n)) {
    if (n >= static_cast<long>(kCtcssTenthsHz.size())) return std::nullopt;
    return ToneColumns{"Tone", toneHzText(kCtcssTenthsHz[static_cast<std::size_t>(n)]), std::string(kDefaultDcsCode)};
  }
  const long index = n - kLowestDcsNumber;
  if (index >= static_cast<long>(kDcsCodes.size())) return std::nullopt;
  return ToneColumns{"DTCS", std::string(kDefaultToneHz), zeroPad(kDcsCodes[static_cast<std::size_t>(index)], 3)};
}

}  // namespace

std::string chirpHeaderLine() {
  std::string line;
  for (const auto name : kChirpColumnNames) line.append(name).append(",");
  return line.append(kPreampColumn);
}

std::optional<std::string> chirpChannelLine(int location, std::string_view record) {
  if (!channel_record::isOccupied(record) || !isWellFormedChannelRecord(record)) return std::nullopt;
  const ModeRow* mode = modeOfProgram(channel_record::mode(record));
  const auto tone = toneColumns(channel_record::toneCode(record));
  if (mode == nullptr || !tone) return std::nullopt;

  std::string duplex;
  std::string offset(kSimplexOffset);
  const char kind = channel_record::kind(record);
  if (kind == '1') {
    duplex = "split";
    offset = megahertzText(wholeValueOf(channel_record::vfoBDigits(record)));
  } else if (kind == '5') {
    duplex = std::string(1, channel_record::shiftSign(record));
    offset = megahertzText(wholeValueOf(channel_record::shiftDigits(record)) * kHzPerKhz);
  }
  // Every value is a number, a name or one of CHIRP's words: none needs quoting.
  const std::string frequency = megahertzText(wholeValueOf(channel_record::vfoADigits(record)));
  const std::string number = std::to_string(location);
  const std::string_view columns[] = {number,
                                      "",
                                      frequency,
                                      duplex,
                                      offset,
                                      tone->tone,
                                      tone->toneHz,
                                      tone->toneHz,
                                      tone->dcs,
                                      kNormalPolarity,
                                      tone->dcs,
                                      kDefaultCrossMode,
                                      mode->chirpName,
                                      kDefaultTuningStep,
                                      "",
                                      kDefaultPower,
                                      "",
                                      "",
                                      "",
                                      "",
                                      "",
                                      channel_record::preampDigit(record) == '1' ? kPreampOn : kPreampOff};
  std::string line;
  for (const auto column : columns) line.append(column).append(",");
  line.pop_back();
  return line;
}

std::optional<std::size_t> ChirpColumns::find(std::string_view name) const {
  for (std::size_t i = 0; i < names_.size(); ++i)
    if (trimmed(names_[i]) == name) return i;
  return std::nullopt;
}

namespace {

// A data row's values by column name; a column the list does not have gives CHIRP's default.
class RowValues {
 public:
  RowValues(const ChirpColumns& columns, const std::vector<std::string>& fields) : columns_(columns), fields_(fields) {}
  std::string operator()(std::string_view name, std::string_view fallback) const {
    const auto at = columns_.find(name);
    if (!at) return std::string(fallback);
    return *at < fields_.size() ? trimmed(fields_[*at]) : std::string();
  }

 private:
  const ChirpColumns& columns_;
  const std::vector<std::string>& fields_;
};

// A part of the record made from the row, or why the row cannot give it.
struct Part {
  std::string text;
  std::string problem;
};

Part refused(std::string why) { return {{}, std::move(why)}; }

// The record's kind digit and its VFO B field ("B" and nine digits, or the repeater shift).
struct Transmit {
  char kind = '0';
  Part field;
};

Transmit refusedTransmit(std::string why) { return {'0', refused(std::move(why))}; }

Transmit transmitPart(const RowValues& row, long long hz, int band) {
  const std::string duplex = row("Duplex", "");
  const std::string offsetText = row("Offset", kDefaultOffset);
  const auto offset = chirpFrequency(offsetText);
  if (duplex.empty()) return {'0', {"B" + zeroPad(hz, kFrequencyDigits), {}}};
  if (duplex == "split") {
    if (!offset) return refusedTransmit("transmit frequency \"" + offsetText + "\" is not a number of MHz");
    if (!isChannelFrequency(*offset)) return refusedTransmit("transmit frequency " + outsideBands(*offset));
    return {'1', {"B" + zeroPad(*offset, kFrequencyDigits), {}}};
  }
  if (duplex == "+" || duplex == "-") {
    if (!isRepeaterBand(band)) return refusedTransmit("Korvel keeps a repeater shift on 10 m, 6 m, 2 m and 70 cm only");
    if (band == band_number::k10m && duplex == "+") {
      return refusedTransmit("Korvel's 10 m repeater shift is always down (-)");
    }
    if (!offset) return refusedTransmit("offset \"" + offsetText + "\" is not a number of MHz");
    const long long largest = (band == band_number::k70cm ? kLargest70cmOffsetKhz : kLargestOffsetKhz) * kHzPerKhz;
    if (*offset % kHzPerKhz != 0 || *offset > largest) {
      return refusedTransmit("offset " + megahertzText(*offset) + " MHz: a repeater channel keeps whole kHz up to " +
                             std::to_string(largest / kHzPerKhz) + " kHz on this band");
    }
    return {'5', {"B" + duplex + zeroPad(*offset / kHzPerKhz, kOffsetDigits), {}}};
  }
  if (duplex == "off") return refusedTransmit("Duplex off (receive only): Korvel's channels all transmit");
  return refusedTransmit("Duplex \"" + duplex + "\" is not one of CHIRP's");
}

// The tone code from Tone and its columns. With only one of the two tone columns, CHIRP takes it
// for both.
Part tonePart(const RowValues& row) {
  const std::string tone = row("Tone", "");
  if (tone.empty()) return {std::string(kNoTone), {}};
  if (tone == "Tone" || tone == "TSQL") {
    const std::string hz = tone == "Tone" ? row("rToneFreq", row("cToneFreq", kDefaultToneHz))
                                          : row("cToneFreq", row("rToneFreq", kDefaultToneHz));
    const auto code = ctcssCode(hz);
    return code ? Part{*code, {}} : refused("tone " + hz + " Hz is not a standard CTCSS tone");
  }
  if (tone == "DTCS") {
    const std::string polarity = row("DtcsPolarity", kNormalPolarity);
    if (polarity != kNormalPolarity) return refused("DCS polarity " + polarity + ": Korvel sends DCS codes as they are (NN)");
    const std::string dcs = row("DtcsCode", kDefaultDcsCode);
    const auto code = dcsCode(dcs);
    return code ? Part{*code, {}} : refused("DCS code " + dcs + " is not one of the 104 standard codes");
  }
  return refused("tone mode \"" + tone + "\": Korvel sends one CTCSS tone (Tone, TSQL) or DCS code (DTCS)");
}

}  // namespace

ChirpChannel channelFromChirpRow(const ChirpColumns& columns, const std::vector<std::string>& fields) {
  ChirpChannel c;
  const RowValues row(columns, fields);
  const auto refuse = [&](std::string why) {
    c.problem = std::move(why);
    return c;
  };

  const std::string location = row("Location", "");
  c.location = wholeNumber(location);
  if (!c.location) return refuse(location.empty() ? "no Location" : "Location \"" + location + "\" is not a number");
  if (fields.size() < columns.count()) {
    return refuse("it has " + std::to_string(fields.size()) + " fields, the header " + std::to_string(columns.count()));
  }
  if (*c.location < 0 || *c.location > kLastLocation) {
    return refuse("Korvel's channels are 0 to " + std::to_string(kLastLocation));
  }

  const std::string modeText = row("Mode", kDefaultMode);
  const ModeRow* mode = modeByChirpName(modeText);
  if (mode == nullptr) return refuse("mode \"" + modeText + "\" is not one of Korvel's: LSB, USB, CW, AM, NFM, DN, FM");

  const std::string frequency = row("Frequency", "");
  const auto hz = chirpFrequency(frequency);
  if (!hz) return refuse("frequency \"" + frequency + "\" is not a number of MHz");
  if (!isChannelFrequency(*hz)) return refuse(outsideBands(*hz));
  const int band = bandOfMegahertz(static_cast<long>(*hz / kHzPerMhz), kTop70cmReportedMegahertz);

  const Transmit transmit = transmitPart(row, *hz, band);
  if (!transmit.field.problem.empty()) return refuse(transmit.field.problem);
  const Part tone = tonePart(row);
  if (!tone.problem.empty()) return refuse(tone.problem);

  char preamp = '0';
  if (const std::string said = row(kPreampColumn, ""); !said.empty()) {
    if (said != kPreampOn && said != kPreampOff) return refuse("Preamp \"" + said + "\" is neither On nor Off");
    c.preampGiven = true;
    preamp = said == kPreampOn ? '1' : '0';
  }
  c.record = std::string{transmit.kind, static_cast<char>('0' + mode->programMode)} + zeroPad(band, 2) + "A" +
             zeroPad(*hz, kFrequencyDigits) + transmit.field.text + tone.text + preamp;
  return c;
}

}  // namespace korvel
