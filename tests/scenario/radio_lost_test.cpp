// The radio goes away (cable out, switched off) and comes back: said once, refused while gone,
// connected again on its return; a short silence is not a loss.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "session.h"

namespace korvel {
namespace {

using testing::Session;
using testing::Words;

TEST(RadioLost, SaidOnceRefusedWhileGoneAndConnectedAgainOnReturn) {
  Session s;
  s.type("B6");
  s.poll();
  s.ports.setRadio(nullptr);
  s.tick(30);  // one and a half seconds of silence: not yet lost
  EXPECT_EQ(s.p.link.connected, 1);
  EXPECT_TRUE(s.said().empty());
  s.tick(15);  // twenty questions unanswered, the last past its deadline
  EXPECT_EQ(s.said(), Words{"nc"});
  EXPECT_EQ(s.p.link.radioLost, 1);
  EXPECT_EQ(s.canvas.at(285, 150).rfind("not answering", 0), 0u) << s.canvas.at(285, 150);
  s.tick(100);
  EXPECT_TRUE(s.said().empty()) << "the loss is said once";
  s.type("B4");
  EXPECT_EQ(s.said(), (Words{"nc", "nc"}));

  // The radio comes back on another frequency and mode: it is set up again on 20 m.
  s.radio->receive("FA007050000;MD03;");
  s.ports.setRadio(s.radio.get());
  s.forget();
  s.tick(6);
  // "connected" first, then where the radio stands.
  EXPECT_EQ(s.said(), (Words{"connected", "1", "4", "point", "2", "mhz", "usb", "preamp", "on"}));
  EXPECT_EQ(s.p.link.radioLost, 0);
  const auto sent = s.commands();
  EXPECT_TRUE(testing::has(sent, "ID;"));
  EXPECT_TRUE(testing::has(sent, "FA014200000;"));
  EXPECT_TRUE(testing::has(sent, "MD02;"));
  s.poll();
  EXPECT_EQ(s.p.link.frequencyHz, 14200000);
  s.type("B4");
  EXPECT_EQ(s.said(), (Words{"band", "20", "metres", "40", "metres", "preamp", "off"}));
}

TEST(RadioLost, QuitWhileTheRadioIsGoneEndsAtOnceWithTheMemorySaved) {
  Session s;
  s.ports.setRadio(nullptr);
  s.type("Q");
  s.tick(60);
  EXPECT_EQ(s.p.core.running, 0);
  EXPECT_FALSE(s.file("savmem.dat").empty());
}

}  // namespace
}  // namespace korvel

namespace korvel {
namespace {

TEST(UnrecognisedMemoryFile, IsKeptBesideTheNewOneNewestOnly) {
  for (const std::string& bytes : {std::string(5000, '\x07'), std::string("not a memory file\r\n")}) {
    testing::Session st({.ready = testing::Ready::kNothing});
    { std::ofstream(st.folder / "savmem.dat.bad", std::ios::binary) << "an older damaged file"; }
    { std::ofstream(st.folder / "savmem.dat", std::ios::binary) << bytes; }
    ASSERT_TRUE(st.startUp());
    EXPECT_EQ(st.file("savmem.dat.bad"), bytes);
    const std::string fresh = st.file("savmem.dat");
    EXPECT_EQ(fresh.rfind("KORVEL v3.2a", 0), 0u);
    EXPECT_EQ(std::count(fresh.begin(), fresh.end(), '\n'), 115);
  }
}

}  // namespace
}  // namespace korvel
