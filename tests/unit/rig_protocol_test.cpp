// The rig server's reader, writer and CAT translation: what clients write in rigctld's protocol,
// what they read back, and the radio's terms for it.
#include <gtest/gtest.h>

#include "core/rig_commands.h"
#include "radio_link/rig_cat.h"
#include "radio_link/rig_protocol.h"

namespace korvel::rig {
namespace {

std::vector<RigCommand> parseLine(std::string_view line) {
  bool vfoMode = false;
  return rig::parseLine(rigCommands(), line, vfoMode);
}

std::string described(const std::vector<RigCommand>& commands) {
  std::string out;
  for (const auto& c : commands) {
    out += (c.extended ? "+" : "") + std::string(c.separator != '\n' ? std::string(1, c.separator) : "") + c.name;
    for (const auto& a : c.args) out += " " + a;
    if (c.refusal != 0) out += " !" + std::to_string(c.refusal);
    out += "|";
  }
  return out;
}

TEST(RigProtocol, ABrowsersLinesAreKnownAndAProgramsAreNot) {
  for (const char* web : {"POST / HTTP/1.1\r", "GET /index.html HTTP/1.0", "OPTIONS * HTTP/1.1", "Host: 127.0.0.1:4532\r",
                          "Content-Type: text/plain", "sec-fetch-mode: no-cors", "Connection:"}) {
    EXPECT_TRUE(rig::isWebLine(web)) << web;
  }
  for (const char* program : {"f", "F 14074000", "\\dump_state", "+\\get_freq", ";\\get_vfo_info VFOA", "T 1", "M USB 2400",
                              "L RFPOWER 0.5", "\\set_level RFPOWER 0.5", "W FA; 0", "q", "", ": x", "1x: y"}) {
    EXPECT_FALSE(rig::isWebLine(program)) << program;
  }
}

TEST(RigProtocol, LinesBecomeTheCommandsRigctldWouldTake) {
  const std::pair<const char*, const char*> cases[] = {
      {"fmv", "get_freq|get_mode|get_vfo|"},
      {"+f +m", "+get_freq|+get_mode|"},
      {";\\get_freq", "+;get_freq|"},
      {"F 14074000", "set_freq 14074000|"},
      {"\\set_mode USB 2400 t", "set_mode USB 2400|get_ptt|"},
      {"M USB", "set_mode USB !-1|"},
      {"\\no_such f", " !-11|"},
      {"y f", " !-11|"},
      {"# a comment f", ""},
      {"l STRENGTH\r", "get_level STRENGTH|"},
      {"q", "quit|"},
  };
  for (const auto& [line, expected] : cases) EXPECT_EQ(described(parseLine(line)), expected) << line;
}

TEST(RigProtocol, ReadsAreJoinedIntoLinesAndBadLinesRefusedWhole) {
  RigClient client;
  const std::string& pending = client.input;
  const auto takeInput = [&client](std::string_view bytes) { return rig::takeInput(rigCommands(), client, bytes); };
  EXPECT_TRUE(takeInput("F 1407").empty());
  EXPECT_EQ(described(takeInput("4000\nf\n")), "set_freq 14074000|get_freq|");
  EXPECT_EQ(described(takeInput("f\x01\x02\n")), " !-1|");
  // An overlong line is refused once; its rest, up to its end, is not read as commands.
  EXPECT_EQ(described(takeInput(std::string(kMaxLineLength + 1, 'f'))), " !-1|");
  EXPECT_TRUE(takeInput("ffff").empty());
  EXPECT_EQ(described(takeInput("ff\nv\n")), "get_vfo|");
  EXPECT_TRUE(pending.empty());
}

RigCommand parsed(const char* line) { return parseLine(line).front(); }

TEST(RigProtocol, AnswersAreWrittenAsRigctldWritesThem) {
  const struct {
    const char* line;
    Answer answer;
    const char* text;
  } cases[] = {
      {"f", {0, {"14074000"}}, "14074000\n"},
      {"+f", {0, {"14074000"}}, "get_freq:\nFrequency: 14074000\nRPRT 0\n"},
      {";m", {0, {"USB", "2400"}}, "get_mode:;Mode: USB;Passband: 2400;RPRT 0\n"},
      {"F 7100000", {}, "RPRT 0\n"},
      {"+F 7100000", {}, "set_freq: 7100000\nRPRT 0\n"},
      {"f", {-6, {}}, "RPRT -6\n"},
      {"+l SWR", {-5, {}}, "get_level: SWR\nRPRT -5\n"},
      {"+l SWR", {0, {"1.500000"}}, "get_level: SWR\n1.500000\nRPRT 0\n"},
      {"\\chk_vfo", {0, {"0"}}, "0\n"},
      {"+\\chk_vfo", {0, {"0"}}, "ChkVFO: 0\n"},
      {"\\dump_state", {0, {"1\ndone\n"}}, "1\ndone\n"},
      // A block that did not end its line is ended, so a client never waits for the rest of it.
      {"\\dump_state", {0, {"1\n", "done"}}, "1\ndone\n"},
      {"\\dump_caps", {0, {"Can get VFO:\tY\n"}}, "Can get VFO:\tY\nRPRT 0\n"},
      {"\\get_vfo_info VFOA", {0, {"7100000", "LSB", "2400", "0", "0"}}, "7100000\nLSB\n2400\n0\n0\n"},
      {"\\nope", {}, "RPRT -11\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(formatAnswer(parsed(c.line), c.answer), c.text) << c.line;
}

TEST(RigCat, ModesMapBothWaysWithTheRadiosCharacters) {
  const struct {
    const char* name;
    char character;
    int programMode;
    const char* label;
  } cases[] = {
      {"LSB", '1', 1, ""},      {"USB", '2', 2, ""},       {"CW", '3', 3, ""},        {"AM", '5', 4, ""},
      {"FMN", 'B', 5, ""},      {"FM", '4', 7, ""},        {"C4FM", 'E', 6, ""},      {"PKTUSB", 'C', 2, "DATA-U"},
      {"PKTLSB", '8', 1, "DATA-L"}, {"PKTFM", 'A', 7, "DATA-FM"}, {"CWR", '7', 3, "CW-R"}, {"RTTY", '6', 1, "RTTY-L"},
  };
  for (const auto& c : cases) {
    const ModeRow* row = offeredMode(radioModel(570), c.name);
    ASSERT_NE(row, nullptr) << c.name;
    EXPECT_EQ(cat::modeSetting(cat::Receiver::Main, row->radioCharacter), std::string("MD0") + c.character);
    EXPECT_EQ(row->programMode, c.programMode) << c.name;
    EXPECT_EQ(row->own ? "" : row->windowLabel, std::string(c.label));
    EXPECT_EQ(offeredMode(radioModel(570), c.character), row);
  }
  // C4FM only on radios with digital voice, narrow AM not on the older ones.
  EXPECT_EQ(offeredMode(radioModel(761), "C4FM"), nullptr);
  EXPECT_EQ(offeredMode(radioModel(650), "AMN"), nullptr);
  EXPECT_NE(offeredMode(radioModel(761), "AMN"), nullptr);
  EXPECT_EQ(offeredMode(radioModel(570), "WFM"), nullptr);
}

TEST(RigCat, PassbandsAndWidthStepsMeetAsHamlibReadsThem) {
  const ModeRow& usb = *offeredMode(radioModel(761), "USB");
  const ModeRow& cw = *offeredMode(radioModel(761), "CW");
  const struct {
    const ModeRow* mode;
    long hertz;
    int index;
    long shown;
  } cases[] = {{&usb, 2400, 14, 2400}, {&usb, 2350, 14, 2400}, {&usb, 9000, 23, 4000}, {&cw, 500, 10, 500},
               {&cw, 1, 1, 50},       {offeredMode(radioModel(761), "AM"), 6000, 0, 9000}, {offeredMode(radioModel(761), "FMN"), 0, 0, 9000}};
  for (const auto& c : cases) {
    EXPECT_EQ(widthIndexFor(*c.mode, c.hertz), c.index) << c.mode->hamlibName << " " << c.hertz;
    EXPECT_EQ(passbandOf(*c.mode, c.index), c.shown) << c.mode->hamlibName << " " << c.index;
  }
}

TEST(RigCat, LevelsReadAndSetInTheRadiosNumbers) {
  const struct {
    const char* level;
    const char* answer;
    const char* value;
  } readings[] = {{"RFPOWER", "PC050;", "0.500000"}, {"STRENGTH", "SM0130;", "0"}, {"STRENGTH", "SM0000;", "-54"},
                  {"SWR", "RM6000;", "1.000000"},   {"ALC", "RM4255;", "1.000000"}, {"KEYSPD", "KS020;", "20"},
                  {"AF", "AG0255;", "1.000000"}};
  for (const auto& r : readings) EXPECT_EQ(levelOfAnswer(radioModel(761), *levelByName(r.level), r.answer), r.value) << r.level;
  EXPECT_FALSE(levelOfAnswer(radioModel(761), *levelByName("SWR"), "?;"));
  EXPECT_FALSE(levelOfAnswer(radioModel(761), *levelByName("RFPOWER"), "PC;"));

  const struct {
    const char* level;
    const char* value;
    const char* command;  // "" when refused
    int number;
  } settings[] = {{"RFPOWER", "0.5", "PC050", 50}, {"AF", "1", "AG0255", 255}, {"KEYSPD", "25", "KS025", 25},
                  {"RFPOWER", "7", "PC100", 100},  {"RFPOWER", "x", "", 0},    {"SWR", "1", "", 0}};
  for (const auto& s : settings) {
    int number = 0;
    const auto text = levelCommand(*levelByName(s.level), s.value, number);
    EXPECT_EQ(text.value_or(""), s.command) << s.level << " " << s.value;
    if (text) {
      EXPECT_EQ(number, s.number);
    }
  }
}

}  // namespace
}  // namespace korvel::rig
