#include "radio_link/radio_search.h"

#include <algorithm>

#include "state/panel.h"

namespace korvel {

namespace {

// The speeds a Yaesu CAT port can be set to (its CAT RATE menu).
constexpr int kSpeeds[] = {4800, 9600, 19200, 38400, 115200};
// The slot the search opens devices in: above any port a station's korvel.cfg can name (99).
constexpr int kSearchPort = platform::SerialPorts::kLastPort;
// An answer is waited for this long per byte asked for: 40 bytes, 0.4 s, twice the CAT pause the
// program gives a radio at 4800 baud. A read also ends as soon as that many bytes are in.
constexpr int kMsPerAnswerByte = 10;
// A radio that answered only at a speed where a second question went unanswered is slow: its answer
// came late, to the question asked at an earlier speed. The speeds are tried again, waiting longer.
constexpr int kPatientMsPerAnswerByte = 50;
constexpr int kAnswerBytes = 40;
constexpr int kReadsReturnAtOnce = -1;
// Reads of one answer: a device that keeps talking (a GPS, a radio set to report by itself) is
// listened to this many times at most before its turn at this speed ends.
constexpr int kAnswerReads = 3;
// "?;" says a radio at this speed heard something it did not take (the rest of the bytes sent at
// another speed, as likely as not): it is asked once more.
constexpr int kAsks = 2;
constexpr std::string_view kQuestion = "ID;";
constexpr std::string_view kRefusal = "?;";
// The most digits an ID may have and still be read as a number (more cannot name a model).
constexpr std::size_t kMaxIdDigits = 9;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string listen(Panel& p) {
  std::string heard;
  char buffer[kAnswerBytes];
  for (int i = 0; i < kAnswerReads; ++i) {
    const int got = p.ports.readPort(kSearchPort, buffer, kAnswerBytes);
    if (got <= 0) break;
    heard.append(buffer, static_cast<std::size_t>(got));
    if (idAnswer(heard) || heard.find(kRefusal) != std::string::npos) break;
  }
  return heard;
}

// What arrived before the question belongs to an earlier one: it is read and dropped.
void dropEarlierInput(Panel& p, int msPerByte) {
  p.ports.setPortReadTimeouts(kSearchPort, kReadsReturnAtOnce);
  char buffer[kAnswerBytes];
  while (p.ports.portBytesWaiting(kSearchPort) > 0 && p.ports.readPort(kSearchPort, buffer, kAnswerBytes) > 0) {
  }
  p.ports.setPortReadTimeouts(kSearchPort, msPerByte);
}

std::optional<std::string> askForId(Panel& p, int msPerByte) {
  for (int ask = 0; ask < kAsks; ++ask) {
    dropEarlierInput(p, msPerByte);
    p.ports.writePort(kSearchPort, kQuestion.data(), static_cast<int>(kQuestion.size()));
    const std::string heard = listen(p);
    if (auto digits = idAnswer(heard)) return digits;
    if (heard.find(kRefusal) == std::string::npos) break;
  }
  return std::nullopt;
}

FoundRadio foundRadio(const std::string& device, int baud, const std::string& digits) {
  FoundRadio radio{device, baud, digits, 0};
  const auto significant = digits.find_first_not_of('0');
  const std::string value = significant == std::string::npos ? "0" : digits.substr(significant);
  if (value.size() <= kMaxIdDigits) radio.id = std::stoi(value);
  return radio;
}

// One device's turn: every speed in order until it answers. An answer is the speed's only when a
// second question at that speed is answered too: a late answer to the question asked at the speed
// before would otherwise be taken for this one's.
DeviceReport tryDevice(Panel& p, const std::string& device, const std::vector<int>& speeds,
                       std::optional<FoundRadio>& found) {
  for (const int msPerByte : {kMsPerAnswerByte, kPatientMsPerAnswerByte}) {
    bool lateAnswer = false;
    for (const int baud : speeds) {
      std::string why;
      if (p.ports.openNamedPort(kSearchPort, device, baud, why) == 0) {
        return {device, why.empty() ? DeviceOutcome::Absent : DeviceOutcome::Unusable, why};
      }
      // The frame the program itself will talk in: 8 data bits, no parity, two stop bits.
      p.ports.setPortFrame(kSearchPort, 8, 0, 2);
      auto digits = askForId(p, msPerByte);
      const bool confirmed = digits && askForId(p, msPerByte);
      p.ports.closePort(kSearchPort);
      if (confirmed) {
        found = foundRadio(device, baud, *digits);
        return {device, DeviceOutcome::Answered, ""};
      }
      lateAnswer = lateAnswer || digits.has_value();
    }
    if (!lateAnswer) break;
  }
  return {device, DeviceOutcome::Silent, ""};
}

}  // namespace

std::vector<int> searchSpeeds(int configuredBaud) {
  std::vector<int> speeds;
  if (std::find(std::begin(kSpeeds), std::end(kSpeeds), configuredBaud) != std::end(kSpeeds)) {
    speeds.push_back(configuredBaud);
  }
  for (const int baud : kSpeeds) {
    if (baud != configuredBaud) speeds.push_back(baud);
  }
  return speeds;
}

std::optional<std::string> idAnswer(std::string_view text) {
  for (auto at = text.find("ID"); at != std::string_view::npos; at = text.find("ID", at + 1)) {
    std::size_t end = at + 2;
    while (end < text.size() && isDigit(text[end])) ++end;
    if (end > at + 2 && end < text.size() && text[end] == ';') return std::string(text.substr(at + 2, end - at - 2));
  }
  return std::nullopt;
}

std::optional<FoundRadio> searchForRadio(Panel& p, const std::vector<std::string>& devices,
                                         const std::vector<int>& speeds,
                                         const std::function<void(const DeviceReport&)>& report) {
  std::optional<FoundRadio> found;
  for (const auto& device : devices) {
    const DeviceReport outcome = tryDevice(p, device, speeds, found);
    if (report) report(outcome);
    if (found) break;
  }
  return found;
}

}  // namespace korvel
