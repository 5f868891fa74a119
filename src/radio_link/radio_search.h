// Looking for the radio on the machine's serial devices: each device is asked "ID;" at each speed
// a Yaesu radio's CAT port offers, and the first to answer with its ID is the radio.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvel {
struct Panel;

struct FoundRadio {
  std::string device;    // as the search was given it
  int baud = 0;
  std::string idDigits;  // the ID as the radio sent it ("0761")
  int id = 0;            // its value; 0 when it has more digits than any model number
};

// How one device ended its turn.
enum class DeviceOutcome {
  Answered,  // a radio told its ID
  Silent,    // it opened, but no speed brought an ID answer
  Absent,    // there is no such device
  Unusable,  // it could not be opened (the reason is given)
};

struct DeviceReport {
  std::string device;
  DeviceOutcome outcome = DeviceOutcome::Absent;
  std::string why;
};

// The speeds the search tries, in order: the configured one first when it is one of them.
std::vector<int> searchSpeeds(int configuredBaud);

// The digits of the first "ID<digits>;" answer in text, whatever their number.
std::optional<std::string> idAnswer(std::string_view text);

// Asks the devices in turn, each at every speed, until one answers; report hears each device's
// outcome as soon as its turn ends. Every turn is bounded: a device that takes nothing or says
// nothing is left after its time at each speed.
std::optional<FoundRadio> searchForRadio(Panel& p, const std::vector<std::string>& devices,
                                         const std::vector<int>& speeds,
                                         const std::function<void(const DeviceReport&)>& report);

}  // namespace korvel
