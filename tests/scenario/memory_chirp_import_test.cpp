// Channel lists from CHIRP imported into a station, then recalled with G: what goes to the radio.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "memory/channel_exchange.h"
#include "session.h"

namespace korvel::testing {
namespace {

// A repeater list as a club publishes it: both shifts, CTCSS by Tone and by TSQL, a DCS code.
const std::string kRepeaters =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,Mode,TStep,Skip,Comment\r\n"
    "10,\"Hill, North\",146.940000,-,0.600000,Tone,100.0,88.5,023,NN,FM,5.00,,\r\n"
    "11,Valley,147.120000,+,0.600000,TSQL,88.5,141.3,023,NN,NFM,5.00,,\r\n"
    "12,UHF,438.500000,-,7.600000,DTCS,88.5,88.5,047,NN,FM,5.00,,\"DCS 047\"\r\n";

// Keeps the commands of the given ones that were sent, in the order sent.
Commands only(const Commands& sent, const Commands& wanted) {
  Commands out;
  for (const auto& c : sent)
    if (has(wanted, c)) out.push_back(c);
  return out;
}

TEST(ChirpImport, StockSixtyMetreChannelsAndARepeaterListRecallWithTheirCommands) {
  Session st({.ready = Ready::kNothing});
  const std::filesystem::path stock = std::string(KORVEL_SOURCE_DIR) + "/tests/data/US 60 meter channels (Dial).csv";
  std::ofstream(st.folder / "repeaters.csv", std::ios::binary) << kRepeaters;
  std::ostringstream out, err;
  ASSERT_EQ(importChannels(st.p, stock, false, out, err), 0) << err.str();
  ASSERT_EQ(importChannels(st.p, st.folder / "repeaters.csv", false, out, err), 0) << err.str();
  EXPECT_EQ(st.p.memory.memorySlots[1], "0203A005330500B0053305009990");
  EXPECT_EQ(st.p.memory.memorySlots[5], "0203A005403500B0054035009990");
  EXPECT_EQ(st.p.memory.memorySlots[10], "5712A146940000B-000006000120");
  EXPECT_EQ(st.p.memory.memorySlots[11], "5512A147120000B+000006000220");
  EXPECT_EQ(st.p.memory.memorySlots[12], "5713A438500000B-000076005070");

  ASSERT_TRUE(st.settle());
  const Commands tuning = {"FT2", "MD02", "MD04", "MD0B", "OS00", "OS01", "OS02", "EX0860", "CT00", "CT02", "CT04", "PA00"};
  const struct {
    std::string keys;
    Commands commands;
  } recalls[] = {
      // The mode's own frequency re-send, then the channel's.
      {"G1", {"FT2;", "MD02;", "FA005330500;", "FA005330500;", "CT00;", "PA00;"}},
      {"G5", {"FT2;", "MD02;", "FA005403500;", "FA005403500;", "CT00;", "PA00;"}},
      {"GB10", {"MD04;", "FA146940000;", "OS02;", "CN00012;", "CT02;", "PA00;"}},
      // The mode change first switches the last channel's shift and tone off.
      {"GB11", {"OS00;", "CT00;", "MD0B;", "FA147120000;", "OS01;", "CN00022;", "CT02;", "PA00;"}},
      {"GB12", {"OS00;", "CT00;", "MD04;", "FA438500000;", "OS02;", "EX0860;", "CN01007;", "CT04;", "PA00;"}},
  };
  for (const auto& r : recalls) {
    st.type(r.keys);
    Commands wanted = tuning;
    for (auto& w : wanted) w += ";";
    for (const auto& c : r.commands) wanted.push_back(c);
    EXPECT_EQ(only(st.commands(), wanted), r.commands) << r.keys;
    st.forget();
  }
}

}  // namespace
}  // namespace korvel::testing
