// What differs between the radio models the program knows, in one table.
#pragma once

#include <string>
#include <vector>

namespace korvel {

struct RadioModel {
  int number = 0;
  int frequencyDigits = 9;            // 8 for the older models
  int menuNumberLength = 3;
  std::string widthPrefix = "SH0";
  std::string processorQuery = "PR0";  // empty: the processor is not asked (and not switched)
  std::string processorOn = "PR01";
  std::string processorOff = "PR00";
  int processorLevelLimit = 100;
  int noiseReductionLimit = 15;
  std::string tunerStartCommand = "AC002";
  bool skipRecordSwap = false;
  bool hasDigitalVoice = false;       // FM <-> C4FM switching
  bool unsupported = false;           // the program speaks "ftx" and ends
};

// The entry for a model number; unknown numbers get the defaults.
const RadioModel& radioModel(int number);
// The repeater offset menu commands this model needs for the given band 10..13 offset texts.
std::vector<std::string> offsetMenuCommands(int model, const std::string& o10, const std::string& o11,
                                            const std::string& o12, const std::string& o13);

}  // namespace korvel
