// The simulated transceiver's command set: answer forms, settings that stick, model differences.
#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

#include "transceiver.h"

namespace korvel::sim {
namespace {

// A radio whose meters read fixed values, so answers can be compared exactly.
Transceiver pinnedRadio(int model = 761) {
  Transceiver radio(model);
  radio.setMeter(Meter::SMeter, 123);
  radio.setMeter(Meter::Swr, 45);
  radio.setMeter(Meter::Alc, 77);
  return radio;
}

TEST(SimTransceiver, AnswersEveryQueryInItsFixedForm) {
  struct Case {
    const char* query;
    const char* answer;
  } cases[] = {
      {"FA;", "FA014074000;"}, {"FB;", "FB007100000;"}, {"ID;", "ID0761;"},    {"SM0;", "SM0123;"},
      {"RM6;", "RM6045;"},     {"RM4;", "RM4077;"},     {"GT0;", "GT02;"},       {"AG0;", "AG0100;"},
      {"ML0;", "ML0000;"},     {"ML1;", "ML1050;"},     {"PR0;", "PR00;"},       {"NR0;", "NR00;"},
      {"VX;", "VX0;"},         {"BI;", "BI0;"},         {"NL0;", "NL0005;"},     {"RL0;", "RL008;"},
      {"PL;", "PL050;"},       {"KS;", "KS020;"},       {"MG;", "MG050;"},       {"SQ0;", "SQ0000;"},
      {"EX010317;", "EX010317000;"}, {"MD0;", "MD02;"}, {"PC;", "PC100;"},       {"RG0;", "RG0255;"},
      {"TX;", "TX0;"},         {"PS;", "PS1;"},         {"AC;", "AC000;"},       {"FT;", "FT0;"},
      {"SH00;", "SH0014;"},    {"NA;", "NA0;"},         {"VS;", "VS0;"},
  };
  Transceiver radio = pinnedRadio();
  for (const auto& c : cases) EXPECT_EQ(radio.receive(c.query), c.answer) << c.query;
}

TEST(SimTransceiver, SettingsStickAndComeBackInTheQueryForm) {
  struct Case {
    const char* set;
    const char* query;
    const char* answer;
  } cases[] = {
      {"FA007100000;", "FA;", "FA007100000;"}, {"FB014250000;", "FB;", "FB014250000;"},
      {"MD0B;", "MD0;", "MD0B;"},             {"MD0E;", "MD0;", "MD0E;"},
      {"AG0080;", "AG0;", "AG0080;"},         {"RG0000;", "RG0;", "RG0000;"},
      {"PC005;", "PC;", "PC005;"},            {"ML0001;", "ML0;", "ML0001;"},
      {"ML1075;", "ML1;", "ML1075;"},         {"MG042;", "MG;", "MG042;"},
      {"KS015;", "KS;", "KS015;"},            {"BI1;", "BI;", "BI1;"},
      {"VX1;", "VX;", "VX1;"},                {"NR01;", "NR0;", "NR01;"},
      {"RL015;", "RL0;", "RL015;"},           {"NL0010;", "NL0;", "NL0010;"},
      {"PL100;", "PL;", "PL100;"},            {"PR01;", "PR0;", "PR01;"},
      {"SQ0009;", "SQ0;", "SQ0009;"},         {"GT03;", "GT0;", "GT03;"},
      {"PA02;", "PA0;", "PA02;"},             {"RA01;", "RA0;", "RA01;"},
      {"NB01;", "NB0;", "NB01;"},             {"BC01;", "BC0;", "BC01;"},
      {"CO011300;", "CO01;", "CO011300;"},    {"CO030010;", "CO03;", "CO030010;"},
      {"CT02;", "CT0;", "CT02;"},             {"CN00012;", "CN00;", "CN00012;"},
      {"CN01103;", "CN01;", "CN01103;"},      {"OS02;", "OS0;", "OS02;"},
      {"NA01;", "NA;", "NA1;"},                {"VS1;", "VS;", "VS1;"},
      {"TX1;", "TX;", "TX1;"},                {"AC001;", "AC;", "AC001;"},
      {"FT3;", "FT;", "FT1;"},                {"FT2;", "FT;", "FT0;"},
      {"SH0009;", "SH00;", "SH0009;"},        {"LM03;", "LM0;", "LM03;"},
      {"PB05;", "PB0;", "PB05;"},             {"EX0103170100;", "EX010317;", "EX0103170100;"},
      {"EX0103180-05;", "EX010318;", "EX0103180-05;"},
  };
  for (const auto& c : cases) {
    Transceiver radio(761);
    EXPECT_EQ(radio.receive(c.set), "") << c.set;
    EXPECT_EQ(radio.receive(c.query), c.answer) << c.set;
  }
}

TEST(SimTransceiver, RefusesUnknownAndMalformedCommands) {
  const char* refused[] = {
      "XX;",   "ag0;",      "A;",        "ID1;",      "SM1;",      "RM9;",    "FA12;",   "FA0140740000;",
      "FAabcdefghi;", "AG0999;", "AG05;", "PA03;",  "MD0Z;",     "GT07;",   "SV1;",    "AC010;",
      "FT4;",  "SH014;",    "EX0103;",   "EX01031A;", "NR1;",      "PR;",     "PR2;",    "CN0008;",
      "F\x01;",
  };
  for (const char* command : refused) {
    Transceiver radio(761);
    EXPECT_EQ(radio.receive(command), "?;") << command;
    EXPECT_EQ(radio.frequencyA(), 14'074'000) << command;
  }
}

TEST(SimTransceiver, ReportsTheModelItIsConfiguredAs) {
  EXPECT_EQ(Transceiver(310).receive("ID;"), "ID0310;");
  EXPECT_EQ(Transceiver(570).receive("ID;"), "ID0570;");
  EXPECT_EQ(Transceiver(0).receive("ID;"), "ID0000;");
  EXPECT_THROW(Transceiver(10000), std::invalid_argument);
  EXPECT_THROW(Transceiver(-1), std::invalid_argument);
}

// Any ID in either frequency width, and the families a radio lacks answered as it answers them.
TEST(SimTransceiver, AnyIdTakesEitherWidthAndRefusesWhatItsRadioLacks) {
  struct Case {
    int model;
    int digits;
    const char* sent;
    const char* answer;
  } cases[] = {
      {583, Transceiver::kRowDigits, "ID;FA;FA014200000;FA14200000;FA;", "ID0583;FA14074000;?;FA14200000;"},
      {251, 8, "FA;IF;", "FA14074000;IF00114074000+000000200000;"},
      {362, 9, "FA;FA14200000;", "FA014074000;?;"},
      {4321, 8, "ID;FA;", "ID4321;FA14074000;"},
      {583, Transceiver::kRowDigits, "ZI;ST1;SV;PR0;", "?;?;PR00;"},
      {101, Transceiver::kRowDigits, "NA01;BA;PR;", "?;?;PR0;"},
      {244, Transceiver::kRowDigits, "PR0;AB;RF0;SH0;", "?;?;?;SH014;"},
      {252, 8, "ZI;AB;", "?;"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Transceiver(c.model, c.digits).receive(c.sent), c.answer) << c.model << " " << c.sent;
  }
  EXPECT_THROW(Transceiver(761, 7), std::invalid_argument);
}

TEST(SimTransceiver, OlderModelsUseEightFrequencyDigitsBothWays) {
  for (const int model : {241, 310, 362, 462}) {
    Transceiver radio(model);
    EXPECT_EQ(radio.receive("FA;"), "FA14074000;") << model;
    EXPECT_EQ(radio.receive("FA21200000;"), "") << model;
    EXPECT_EQ(radio.receive("FA;"), "FA21200000;") << model;
    EXPECT_EQ(radio.receive("FB07050000;FB;"), "FB07050000;") << model;
    EXPECT_EQ(radio.receive("FA014074000;"), "?;") << model;  // nine digits are not its form
    EXPECT_EQ(radio.frequencyA(), 21'200'000) << model;
  }
  Transceiver modern(761);
  EXPECT_EQ(modern.receive("FA14074000;"), "?;");
  EXPECT_EQ(modern.receive("FA145500000;FA;"), "FA145500000;");
}

TEST(SimTransceiver, MenuNumbersHaveTheModelsLength) {
  struct Case {
    int model;
    const char* set;
    const char* query;
    const char* answer;
  } cases[] = {
      {761, "EX0103170100;", "EX010317;", "EX0103170100;"},
      {840, "EX010319000500;", "EX010319;", "EX010319000500;"},
      {650, "EX09040600;", "EX0904;", "EX09040600;"},
      {362, "EX0810500;", "EX081;", "EX0810500;"},
      {570, "EX0830100;", "EX083;", "EX0830100;"},
      {241, "EX050001;", "EX050;", "EX050001;"},
  };
  for (const auto& c : cases) {
    Transceiver radio(c.model);
    EXPECT_EQ(radio.receive(c.query), std::string(c.query).substr(0, std::string(c.query).size() - 1) + "000;");
    EXPECT_EQ(radio.receive(c.set), "") << c.model;
    EXPECT_EQ(radio.receive(c.query), c.answer) << c.model;
  }
  EXPECT_EQ(Transceiver(362).receive("EX08;"), "?;");  // shorter than a menu number
}

TEST(SimTransceiver, ProcessorAndWidthCommandsFollowTheModel) {
  Transceiver older(362);  // "PR" asks, "PR0"/"PR1" switch
  EXPECT_EQ(older.receive("PR;"), "PR0;");
  EXPECT_EQ(older.receive("PR1;PR;"), "PR1;");
  EXPECT_EQ(older.receive("PR0;PR;"), "PR0;");
  EXPECT_EQ(older.receive("SH014;SH0;"), "SH014;");

  Transceiver ftdx3000(462);  // asked with "PR", switched with the two-digit form
  EXPECT_EQ(ftdx3000.receive("PR01;PR;"), "PR1;");

  Transceiver newer(761);  // "PR0" asks; "PR1" is the microphone equaliser
  EXPECT_EQ(newer.receive("PR01;PR0;PR1;"), "PR01;PR10;");
  EXPECT_EQ(newer.receive("SH0012;SH00;"), "SH0012;");
  EXPECT_EQ(newer.filterWidth(), 12);

  EXPECT_EQ(Transceiver(650).receive("SH0121;SH01;"), "SH0121;");
}

TEST(SimTransceiver, ActionsChangeTheState) {
  Transceiver radio(761);
  radio.receive("MD03;FB021074000;SV;");
  EXPECT_EQ(radio.frequencyA(), 21'074'000);
  EXPECT_EQ(radio.frequencyB(), 14'074'000);
  EXPECT_EQ(radio.mode(), '1');
  EXPECT_EQ(radio.modeB(), '3');
  EXPECT_EQ(radio.swapCount(), 1);

  radio.receive("TX1;");
  EXPECT_TRUE(radio.transmitting());
  radio.receive("TX0;AC002;ZI;FT3;");
  EXPECT_FALSE(radio.transmitting());
  EXPECT_EQ(radio.tuneCount(), 1);
  EXPECT_EQ(radio.tuner(), 1);
  EXPECT_EQ(radio.zeroInCount(), 1);
  EXPECT_TRUE(radio.transmitOnB());
}

TEST(SimTransceiver, SwitchedOffItHearsOnlyThePowerSwitch) {
  Transceiver radio(761);
  radio.receive("TX1;");
  EXPECT_EQ(radio.receive("PS0;"), "");
  EXPECT_FALSE(radio.poweredOn());
  EXPECT_FALSE(radio.transmitting());
  EXPECT_EQ(radio.receive("ID;FA;XX;FA007000000;"), "");
  EXPECT_EQ(radio.frequencyA(), 14'074'000);
  EXPECT_EQ(radio.receive("Power on;PS1;ID;"), "ID0761;");
  EXPECT_EQ(radio.receive("Power on;"), "");  // also harmless while on
}

TEST(SimTransceiver, MetersMoveDeterministicallyUntilPinned) {
  Transceiver a(761), b(761);
  std::string first, second;
  for (int i = 0; i < 8; ++i) {
    first += a.receive("SM0;");
    second += b.receive("SM0;");
  }
  EXPECT_EQ(first, second);
  std::string still;
  for (int i = 0; i < 8; ++i) still += "SM0100;";
  EXPECT_NE(first, still);
  for (int i = 0; i < 16; ++i) {
    const int reading = std::stoi(a.receive("RM6;").substr(3, 3));
    EXPECT_LE(std::abs(reading - a.meterValue(Meter::Swr)), 4);
  }
  a.setMeter(Meter::SMeter, 300);
  EXPECT_EQ(a.receive("SM0;SM0;RM1;"), "SM0255;SM0255;RM1255;");
  a.setMeterMoving(Meter::SMeter, true);
  a.setMeter(Meter::Alc, 0);
  EXPECT_EQ(a.receive("RM4;RM4;"), "RM4000;RM4000;");
}

TEST(SimTransceiver, TestHooksSetAndReadState) {
  Transceiver radio(761);
  EXPECT_TRUE(radio.setSetting("AG0", "030"));
  EXPECT_FALSE(radio.setSetting("AG0", "30"));
  EXPECT_FALSE(radio.setSetting("ZZ", "1"));
  EXPECT_EQ(radio.receive("AG0;"), "AG0030;");
  EXPECT_EQ(radio.setting("AG0"), "030");
  EXPECT_EQ(radio.setting("ZZ"), "");
  radio.setMenuValue("010317", "0600");
  EXPECT_EQ(radio.receive("EX010317;"), "EX0103170600;");
  EXPECT_EQ(radio.menuValue("999999"), "000");
}

}  // namespace
}  // namespace korvel::sim

namespace korvel::sim {
namespace {

// What Hamlib's Yaesu backend sends at open and for frequency, mode, width, PTT, VFO and split,
// answered in the radios' own forms (one row: commands sent together, everything answered).
TEST(SimTransceiver, AnswersWhatHamlibAsksInTheRadiosForms) {
  struct Case {
    int model;
    const char* sent;
    const char* answer;
  } cases[] = {
      {761, "AI;AI0;AI;", "AI0;AI0;"},
      {761, "IF;", "IF001014074000+000000200000;"},
      {362, "IF;", "IF00114074000+000000200000;"},  // eight frequency digits: 27 characters
      {761, "FA007074000;MD03;OS02;CT02;IF;", "IF001007074000+000000302002;"},
      {761, "MD14;OI;", "OI001007100000+000000400000;"},
      {761, "SH0;SH0009;SH0;", "SH0014;SH0009;"},
      {681, "SH0;", "SH0014;"},
      {650, "SH0;", "SH0114;"},
      {570, "SH0;", "SH014;"},
      {761, "NA0;NA01;NA0;NA;", "NA00;NA01;NA1;"},
      {761, "NA1;NA0;NA01;NA11;NA00;NA;", "NA10;NA00;NA0;"},
      {761, "ST;ST1;ST;FT;ST0;FT;", "ST0;ST1;FT1;FT0;"},
      {761, "RF0;RF02;RF0;RF05;RF0;", "RF06;RF07;RF0A;"},
      {761, "BS03;FA;", "FA007074000;"},
      {362, "BS10;FA;", "FA50313000;"},
      {761, "MD03;AB;FB;MD1;", "FB014074000;MD13;"},
      {761, "BA;FA;MD0;", "FA007100000;MD01;"},
      {761, "TX1;TX;VS1;VS;PC;", "TX1;VS1;PC100;"},
      {570, "EX0321;EX032;", "EX0321;"},
      {650, "EX05071;EX0507;", "EX05071;"},
      {761, "IF1;OI0;NA02;NA12;SH00;SH0;", "?;?;?;?;SH0014;SH0014;"},
      {761, "BS11;BS3;RF06;RF1;ST3;AB1;BA0;AI2;", "?;?;?;?;?;?;?;?;"},
  };
  for (const auto& c : cases) EXPECT_EQ(Transceiver(c.model).receive(c.sent), c.answer) << c.model << " " << c.sent;
}

}  // namespace
}  // namespace korvel::sim
