// The radio's CAT language in one place: the text of every command the program sends and the
// reading of every reply it takes. Above this file the program speaks of radio actions and values;
// how a command looks on a given radio comes from that radio's row in the model table, here only.
#pragma once

#include <optional>
#include <string>
#include <vector>
#include <string_view>

#include "radio_link/radio_models.h"
#include "state/radio_values.h"

namespace korvel::cat {

using korvel::FrequencyReply;
using korvel::Vfo;

// Settings that are switched on and off with one digit.
enum class Switch { Attenuator, NoiseBlanker, NoiseReduction, Notch, BreakIn, Vox, Transmit, Power };

// The tone the radio's encoder and decoder work with.
enum class ToneMode { Off, Ctcss, Dcs };

enum class Shift { Simplex, Plus, Minus };

// Adjustable levels, each a number in the radio's own range.
enum class Level {
  RfGain, AfGain, TransmitPower, KeyerSpeed, MicGain, NoiseBlanker, NoiseReduction, Processor, Squelch
};

// Contour: off, a dip or a peak at a frequency in hertz.
enum class Contour { Off, Dip, Peak };

// What the radio is asked to report.
enum class Reading {
  Frequency, FrequencyB, MainMode, SubMode, SMeter, Swr, MicMeter, Identity, AgcStep, AfGain, MonitorSwitch, MonitorLevel,
  ProcessorState, NoiseReductionState, Vox, BreakIn, NoiseBlankerLevel, NoiseReductionLevel,
  ProcessorLevel, Squelch, KeyerSpeed, MicGain, TransmitPower, RfGain, PowerMeter
};

// The main receiver (VFO A's) or the sub receiver (VFO B's), as mode commands address them.
enum class Receiver { Main, Sub };

// Frequency digits on the wire: the program keeps nine, older radios take and answer eight.
inline constexpr std::size_t kFrequencyDigits = 9;
// The monitor switch as the radio reports it switched on.
inline constexpr std::string_view kMonitorOnState = "001";

// ---- Commands: the text of one command, without the closing ";" (the transport adds it). ----

std::string tune(Vfo vfo, long long hz);
// A frequency as a record keeps it: nine digits sent as they stand.
std::string tune(Vfo vfo, std::string_view digits);
// A record's VFO field: "A" or "B", then the digits.
std::string tuneField(std::string_view field);
// Program mode 1..7 (LSB USB CW AM FM-narrow C4FM FM); empty for a number the radio has no command for.
std::string mode(int programMode);
// Any of the radio's mode characters (data, reverse CW, RTTY included) on either receiver.
std::string modeSetting(Receiver receiver, char radioCharacter);
// Whether a command sets the main receiver's mode ("MD0" and a mode character), whatever the mode.
bool isModeSetting(std::string_view command);
// The program's mode for a mode command ("MD04" is FM, mode 7); 0 when it names no mode of the program.
int modeOfCommand(std::string_view command);
// The main receiver's narrow filter on or off: "NA0" and the switch ("NA0;" alone would ask for it);
// empty for a radio without one.
std::string narrowFilter(const RadioModel& model, bool on);
std::string width(const RadioModel& model, int index);
std::string preamp(int level);  // 0 off, 1 and 2 the two preamps
std::string set(Switch what, bool on);
// The noise reduction as the connection sends it, before it asks for the state.
std::string noiseReductionAtStart(bool on);
// Whether the program asks this radio about its processor at all (and so switches it).
bool hasProcessorQuery(const RadioModel& model);
std::string processor(const RadioModel& model, bool on);
std::string contour(Contour kind, int hz);
std::string level(Level what, int value);
std::string toneMode(ToneMode mode);
std::string ctcssTone(std::string_view code);  // the program's three-digit tone number
std::string dcsCode(std::string_view code);     // the three-digit DCS code
// The DCS code and its menu, as the tone entry sends them.
std::string dcsMenu(std::string_view code);
std::string dcsCodeOfEntry(std::string_view code);
std::string shift(Shift direction);
std::string split(bool on);
std::string agcStep(int step);
std::string monitor(bool on);
std::string monitorLevel(std::string_view level);  // three digits as the radio answered them
std::string tuner(bool engaged);
std::string tunerStart(const RadioModel& model);
std::string menu(std::string_view number, std::string_view value = {});  // empty value: the query
std::string recordVoiceMessage(int slot);  // 0 stops the recording
std::string playVoiceMessage(int slot);
std::string receiverToVfoB();  // VFO A to VFO B ("SV")
std::string zeroIn();
std::string vfoSelectA();
std::string vfoSelect(Vfo vfo);
std::string powerOnWakeUp();
std::string query(Reading what, const RadioModel& model);

// ---- The wire form: what the radio's row changes on the way out and in. ----

// While split is on a VFO A command addresses VFO B instead.
std::string addressVfoB(std::string command);
bool isFrequencyCommand(std::string_view command);
// A whole command as it goes out (";" included) to a radio that takes `digits` frequency digits:
// an eight-digit radio gets the frequency shortened.
std::string toWire(int digits, std::string command);
// A reply as the program reads it: eight-digit frequencies widened to nine; what follows stays.
std::string fromWire(int digits, std::string reply);
// The digits of a whole frequency reply as the radio sent it (8 or 9); 0 for anything else.
int frequencyDigitsOf(std::string_view reply);
// Commands after which an earlier frequency answer no longer tells where the radio is.
bool movesRadioState(std::string_view command);

// ---- Replies: each read once into a value. ----

bool looksLikeFrequencyReply(std::string_view reply);
// A read cut into whole replies, each through its ";"; what follows the last ";" (a reply cut off
// by the end of the read) is left in `rest`.
std::vector<std::string> wholeReplies(std::string_view read, std::string& rest);
// The reply as the debug log and the tests show it: letters and nine digits, without the ";".
std::string frequencyReplyText(const FrequencyReply& reply);
// A whole frequency reply: letters, nine digits and ";" at once, nothing torn or merged.
std::optional<FrequencyReply> frequencyReply(std::string_view reply);
// The number a radio reports to "ID", whatever its digit count.
std::optional<int> identity(std::string_view reply);
std::optional<int> sMeter(std::string_view reply);
std::optional<std::string> swr(std::string_view reply);
// The microphone meter's reading.
std::optional<int> micMeter(std::string_view reply);
// The value a reading's reply carries, as text (the number's digits, or everything to the end).
std::optional<std::string> readingText(Reading what, const RadioModel& model, std::string_view reply);
std::optional<long> readingValue(Reading what, const RadioModel& model, std::string_view reply);
// A menu's value: what follows the menu number, up to the ";".
std::string menuValue(const RadioModel& model, std::string_view reply);

}  // namespace korvel::cat
