#include "radio_link/radio_models.h"

#include <array>

#include "state/text.h"

namespace korvel {

namespace {

RadioModel make(int number) {
  RadioModel m;
  m.number = number;
  return m;
}

std::array<RadioModel, 13> buildTable() {
  std::array<RadioModel, 13> t{make(0),   make(241), make(251), make(362), make(462), make(570), make(670),
                               make(650), make(681), make(682), make(761), make(800), make(840)};
  for (auto& m : t) {
    switch (m.number) {
      case 241:
        m.frequencyDigits = 8;
        m.processorQuery.clear();
        m.noiseReductionLimit = 11;
        break;
      case 251:
        m.processorQuery = "PR";
        m.processorOn = "PR1";
        m.processorOff = "PR0";
        m.processorLevelLimit = 250;
        break;
      case 362:
        m.frequencyDigits = 8;
        m.processorQuery = "PR";
        m.processorOn = "PR1";
        m.processorOff = "PR0";
        m.processorLevelLimit = 250;
        break;
      case 462:
        m.frequencyDigits = 8;
        m.processorQuery = "PR";
        break;
      case 570:
      case 670:
        m.hasDigitalVoice = true;
        break;
      case 650:
        m.widthPrefix = "SH01";
        m.menuNumberLength = 4;
        break;
      case 681:
      case 682:
        m.skipRecordSwap = true;
        m.widthPrefix = "SH00";
        m.menuNumberLength = 6;
        break;
      case 761:
        m.widthPrefix = "SH00";
        m.menuNumberLength = 6;
        break;
      case 800:
        m.widthPrefix = "SH00";
        m.menuNumberLength = 6;
        m.tunerStartCommand = "AC003";
        break;
      case 840:
        m.skipRecordSwap = true;
        m.menuNumberLength = 6;
        m.unsupported = true;
        break;
      default:
        break;
    }
  }
  return t;
}

}  // namespace

const RadioModel& radioModel(int number) {
  static const std::array<RadioModel, 13> table = buildTable();  // constant data, built once
  for (const auto& m : table) {
    if (m.number == number) return m;
  }
  return table[0];
}

std::vector<std::string> offsetMenuCommands(int model, const std::string& o10, const std::string& o11,
                                            const std::string& o12, const std::string& o13) {
  // The 70 cm offset may have four digits; the menus that take it are five digits wide.
  const std::string wide13 = o13.size() == 4 ? "0" + o13 : "00" + left(o13, 3);
  switch (model) {
    case 570:
    case 670:
      return {"EX0800" + left(o10, 3), "EX0810" + left(o11, 3), "EX0820" + left(o12, 3), "EX083" + wide13};
    case 840:
      return {"EX0103160" + left(o10, 3), "EX0103170" + left(o11, 3), "EX010318" + left(o12, 3),
              "EX010319" + wide13};
    case 800:
      return {"EX0103180" + o10, "EX0103190" + o11};
    case 761:
      return {"EX0103170" + o10, "EX0103180" + o11};
    case 681:
    case 682:
      return {"EX0103150" + o10, "EX103160" + o11};
    case 362:
      return {"EX810" + o10, "EX820" + o11};
    case 462:
      return {"EX0860" + o10, "EX0870" + o11};
    case 241:
      return {"EX05000" + left(o10, 1)};
    case 650:
      return {"EX0904" + std::string("0") + o10};
    default:
      return {};
  }
}

}  // namespace korvel
