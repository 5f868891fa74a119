// A simulated Yaesu transceiver: a CAT state machine that keeps what set commands change and
// answers queries the way the real radios do. Used in-process by tests and by korvel-sim.
// Besides what Korvel sends, it answers what Hamlib's Yaesu ("newcat") backend sends at open and
// for frequency, mode, width, PTT, VFO and split ("AI", "IF"/"OI", "NA0", "SH0", "ST", "RF0", "BS",
// "AB"/"BA"), so rigctl and the programs built on Hamlib can drive it directly.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "models.h"
#include "settings_table.h"

namespace korvel::sim {

// The meters the radio can be asked for. SMeter answers "SM0" (and "RM1"); the others answer
// "RM3", "RM4", "RM5" and "RM6".
enum class Meter { SMeter, Compression, Alc, PowerOut, Swr };
inline constexpr std::size_t kMeterCount = 5;

// How the radio treats one command family (see setCommandBehaviour).
enum class CommandBehaviour {
  Normal,   // handled as usual
  Silent,   // swallowed: no state change, no answer
  Refused,  // answered with "?;" as if the radio did not know it
};

class Transceiver {
 public:
  // Called once per complete command with the command as it arrived (";" included) and the answer
  // the radio sent for it (empty for settings, or when the radio is not answering).
  using ExchangeObserver = std::function<void(std::string_view command, std::string_view reply)>;

  // A command longer than this without its ";" is dropped; its terminator then earns a "?;".
  static constexpr std::size_t kMaxCommandLength = 128;
  // Answer bytes held back by a reply limit beyond this are lost, as in a full output buffer.
  static constexpr std::size_t kMaxHeldReply = 4096;
  // Distinct menu numbers the radio remembers; a set of a further one is refused.
  static constexpr std::size_t kMaxMenus = 4096;
  static constexpr std::size_t kNoReplyLimit = 0;
  // The largest number a radio can report to "ID" (four digits).
  static constexpr int kMaxModel = 9999;
  // Meter readings run from 0 to this.
  static constexpr int kMeterFullScale = 255;

  // The frequency width of the model's own row.
  static constexpr int kRowDigits = 0;

  // model is the number the radio reports to "ID" (0..kMaxModel); its row in the model table
  // (models.h) decides the command forms. frequencyDigits 8 or 9 replaces the row's frequency
  // width, so that any ID can answer in either. Throws std::invalid_argument for anything else.
  explicit Transceiver(int model = 761, int frequencyDigits = kRowDigits);

  // Bytes from the computer in; the bytes the radio answers with out (empty for settings).
  // Commands may arrive split across calls or several in one call; each ends at ";".
  // An unknown or malformed command is answered with "?;".
  std::string receive(std::string_view bytes);

  // --- identity -------------------------------------------------------------------------------
  int model() const { return id_; }
  // Digits in "FA"/"FB" commands and answers: 8 for the older models (241, 310, 362, 462, ...),
  // else 9, unless the constructor was given a width.
  int frequencyDigits() const { return model_.frequencyDigits; }
  // Digits of a menu number in "EX" commands: 6, 4 (model 650) or 3.
  int menuDigits() const { return model_.menuDigits; }

  // --- state the set commands change ----------------------------------------------------------
  long long frequencyA() const { return frequencyA_; }
  long long frequencyB() const { return frequencyB_; }
  void setFrequencyA(long long hz) { frequencyA_ = hz; }
  void setFrequencyB(long long hz) { frequencyB_ = hz; }
  // The mode character of VFO A as in "MD0<c>" ('1' LSB, '2' USB, '3' CW, '5' AM, '4' FM,
  // 'B' FM narrow, 'E' C4FM, ...), and of VFO B ("MD1<c>").
  char mode() const;
  char modeB() const;
  bool transmitting() const;
  bool poweredOn() const;
  void setPoweredOn(bool on);
  // True after "FT1" or "FT3": the transmitter works on VFO B.
  bool transmitOnB() const { return transmitOnB_; }
  // Tuner state as in "AC00<d>": 0 off, 1 on.
  int tuner() const { return tuner_; }
  // Filter width index of the last "SH" setting.
  int filterWidth() const { return filterWidth_; }
  // The narrow filter ("NA0" answers it): true when on.
  bool narrow() const { return setting("NA") == "1"; }

  // The value of a plain setting by its command prefix, exactly as the radio answers it after the
  // prefix: setting("AG0") == "100", setting("KS") == "020", setting("CN00") == "012". Empty for
  // a prefix the radio does not have.
  std::string setting(std::string_view prefix) const;
  // Sets a plain setting under the same rules as the CAT set command; false if refused.
  bool setSetting(std::string_view prefix, std::string_view value);

  // Menu values set with "EX<number><value>"; an unset menu reads kDefaultMenuValue.
  static constexpr std::string_view kDefaultMenuValue = "000";
  std::string menuValue(std::string_view number) const;
  void setMenuValue(std::string_view number, std::string_view value);

  // Counters of the commands that act rather than set: "SV", "ZI", tuner starts ("AC002"/"AC003").
  int swapCount() const { return swapCount_; }
  int zeroInCount() const { return zeroInCount_; }
  int tuneCount() const { return tuneCount_; }

  // --- meters ---------------------------------------------------------------------------------
  // Pins a meter at value (clamped to 0..255): every query reads exactly that.
  void setMeter(Meter meter, int value);
  // A moving meter wobbles a few units around its value, one step per query, always in the same
  // sequence. All meters move from power-up until they are pinned.
  void setMeterMoving(Meter meter, bool moving);
  int meterValue(Meter meter) const;

  // --- answering behaviour --------------------------------------------------------------------
  // A radio that is not answering still takes settings but sends nothing back, not even "?;".
  void setAnswering(bool answering) { answering_ = answering; }
  bool answering() const { return answering_; }
  // At most maxBytes answer bytes leave per receive() call; the rest is held and goes out first on
  // the next call (a radio that has only half-answered when the computer reads). kNoReplyLimit
  // lifts the limit (the held bytes still go out first).
  void setReplyLimit(std::size_t maxBytes) { replyLimit_ = maxBytes; }
  // Hands over the held answer bytes at once.
  std::string takeHeldReply();
  // Makes every command that begins with prefix ("AG0", "PR", "EX010317") silent or refused;
  // Normal restores it. The longest matching prefix decides.
  void setCommandBehaviour(std::string_view prefix, CommandBehaviour behaviour);
  void setExchangeObserver(ExchangeObserver observer) { observer_ = std::move(observer); }

 private:
  struct MeterState {
    int value = 0;
    bool moving = true;
    unsigned queries = 0;
  };

  // Answers one command family; parameter is what follows its two letters.
  using Handler = std::string (Transceiver::*)(std::string_view parameter);
  static Handler handlerFor(std::string_view letters);

  std::string answer(std::string_view command);
  std::string answerFrequencyA(std::string_view parameter) { return answerFrequency('A', parameter); }
  std::string answerFrequencyB(std::string_view parameter) { return answerFrequency('B', parameter); }
  std::string answerFrequency(char vfo, std::string_view parameter);
  std::string answerId(std::string_view parameter);
  std::string answerSMeter(std::string_view parameter);
  std::string answerMeterReading(std::string_view parameter);
  std::string answerMeter(Meter meter, std::string_view letters);
  std::string answerMenu(std::string_view parameter);
  std::string answerProcessor(std::string_view parameter);
  std::string answerWidth(std::string_view parameter);
  std::string answerTuner(std::string_view parameter);
  std::string answerSplit(std::string_view parameter);
  std::string answerSplitSwitch(std::string_view parameter);
  std::string answerSwap(std::string_view parameter);
  std::string answerCopyAToB(std::string_view parameter);
  std::string answerCopyBToA(std::string_view parameter);
  std::string answerZeroIn(std::string_view parameter);
  std::string answerPowerSwitch(std::string_view parameter);
  std::string answerInformation(std::string_view parameter);
  std::string answerOppositeInformation(std::string_view parameter);
  std::string informationFor(std::string_view letters, long long frequency, char mode) const;
  std::string answerNarrow(std::string_view parameter);
  std::string answerRoofing(std::string_view parameter);
  std::string answerBandSelect(std::string_view parameter);
  std::string answerSetting(std::string_view command);
  std::string& stored(std::string_view prefix) { return settings_.find(prefix)->second; }
  int readMeter(Meter meter);
  CommandBehaviour behaviourOf(std::string_view command) const;
  void finishCommand(std::string& out);

  int id_;
  SimModel model_;
  long long frequencyA_ = 14'074'000;
  long long frequencyB_ = 7'100'000;
  bool transmitOnB_ = false;
  int tuner_ = 0;
  int filterWidth_ = 14;
  char roofing_ = '6';  // the roofing filter as "RF0" answers it: '6' 12 kHz .. 'A' 300 Hz
  int swapCount_ = 0;
  int zeroInCount_ = 0;
  int tuneCount_ = 0;
  std::map<std::string, std::string, std::less<>> settings_;
  std::map<std::string, std::string, std::less<>> menus_;
  std::array<MeterState, kMeterCount> meters_{};

  bool answering_ = true;
  std::size_t replyLimit_ = kNoReplyLimit;
  std::string held_;
  std::map<std::string, CommandBehaviour, std::less<>> behaviours_;
  ExchangeObserver observer_;

  std::string pending_;
  bool overlong_ = false;
};

}  // namespace korvel::sim
