// The CAT module: how commands look on each radio, and what is read out of replies, bad ones too.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

#include "radio_link/cat.h"

namespace korvel::testing {
namespace {

TEST(Cat, CommandsFollowTheRadiosRow) {
  struct Case {
    int model;
    std::string width, processorOn, processorOff, tunerStart, wireFrequency;
  };
  for (const Case& c : {Case{761, "SH0014", "PR01", "PR00", "AC002", "FA014200000;"},
                        Case{650, "SH0114", "PR01", "PR00", "AC002", "FA014200000;"},
                        Case{800, "SH0014", "PR01", "PR00", "AC003", "FA014200000;"},
                        Case{462, "SH014", "PR01", "PR00", "AC002", "FA14200000;"},
                        Case{362, "SH014", "PR1", "PR0", "AC002", "FA14200000;"},
                        Case{0, "SH014", "PR01", "PR00", "AC002", "FA014200000;"}}) {
    const RadioModel& m = radioModel(c.model);
    EXPECT_EQ(cat::width(m, 14), c.width) << c.model;
    EXPECT_EQ(cat::processor(m, true), c.processorOn) << c.model;
    EXPECT_EQ(cat::processor(m, false), c.processorOff) << c.model;
    EXPECT_EQ(cat::tunerStart(m), c.tunerStart) << c.model;
    EXPECT_EQ(cat::toWire(m.frequencyDigits, cat::tune(Vfo::A, 14200000) + ";"), c.wireFrequency) << c.model;
    EXPECT_EQ(cat::toWire(m.frequencyDigits, "FA;"), "FA;") << "a bare query is never shortened, " << c.model;
  }
  EXPECT_FALSE(cat::hasProcessorQuery(radioModel(241)));
}

TEST(Cat, ModesMapBothWays) {
  for (int mode = 1; mode <= 7; ++mode) EXPECT_EQ(cat::modeOfCommand(cat::mode(mode) + ";"), mode);
  EXPECT_EQ(cat::mode(4), "MD05");
  EXPECT_EQ(cat::mode(7), "MD04");
  EXPECT_EQ(cat::mode(9), "");
  EXPECT_EQ(cat::modeOfCommand("MD0C;"), 0) << "a data mode the program has no number for";
}

TEST(Cat, FrequencyRepliesAreWholeOrNothing) {
  const auto good = cat::frequencyReply("FB007100000;");
  ASSERT_TRUE(good);
  EXPECT_EQ(good->vfo, Vfo::B);
  EXPECT_EQ(good->hz, 7100000);
  EXPECT_EQ(cat::frequencyReplyText(*good), "FB007100000");
  for (const char* bad : {"", "FA;", "FA01407400;", "FA0140740001;", "FA014074000", "FA014074000SM0;",
                          "FA01407a000;", "FA -14074000;", "XX014074000;", "FA14074000;"}) {
    EXPECT_FALSE(cat::frequencyReply(bad)) << bad;
  }
  // An eight-digit radio's answer is widened, with what came behind it kept for the meter.
  EXPECT_EQ(cat::fromWire(8, "FA14200000;SM0100;"), "FA014200000;SM0100;");
  EXPECT_EQ(cat::fromWire(9, "FA14200000;"), "FA14200000;");
  // The width a radio uses is read off its own answer.
  for (const auto& [reply, digits] : std::initializer_list<std::pair<const char*, int>>{
           {"FA07100000;", 8}, {"FB007100000;", 9}, {"FA0710000;", 0}, {"FA0710000x0;", 0}, {"?;", 0}, {"ID0583;", 0}}) {
    EXPECT_EQ(cat::frequencyDigitsOf(reply), digits) << reply;
  }
}

TEST(Cat, ReadingsComeOutOfTheirReplies) {
  struct Case {
    cat::Reading reading;
    int model;
    const char* reply;
    std::optional<std::string> text;
  };
  using R = cat::Reading;
  for (const Case& c : {Case{R::AfGain, 761, "AG0123;", "123"}, Case{R::AgcStep, 761, "GT03;", "3"},
                        Case{R::ProcessorState, 761, "PR01;", "1"}, Case{R::ProcessorState, 362, "PR1;", "1"},
                        Case{R::NoiseReductionState, 761, "NR01;", "1;"}, Case{R::NoiseBlankerLevel, 761, "NL0005;", "005"},
                        Case{R::Squelch, 761, "SQ0040;", "040"}, Case{R::MicGain, 761, "XX050;", "X05"},
                        Case{R::Identity, 761, "ID0583;", "583"}, Case{R::AfGain, 761, "?;", std::nullopt},
                        Case{R::Vox, 761, "", std::nullopt}}) {
    EXPECT_EQ(cat::readingText(c.reading, radioModel(c.model), c.reply), c.text) << c.reply;
  }
  for (const auto& [reply, id] : std::initializer_list<std::pair<const char*, std::optional<int>>>{
           {"ID0583;", 583}, {"ID00761;", 761}, {"ID241;", 241}, {"ID;", std::nullopt}, {"IDx;", std::nullopt}}) {
    EXPECT_EQ(cat::identity(reply), id) << reply;
  }
  EXPECT_EQ(cat::sMeter("SM0120;"), 120);
  EXPECT_FALSE(cat::sMeter("S;"));
  EXPECT_EQ(cat::micMeter("xRM4080;"), 80);
  EXPECT_EQ(cat::menuValue(radioModel(761), "EX010317+0600;"), "+0600");
  EXPECT_EQ(cat::menuValue(radioModel(650), "EX090405;"), "05");
}

}  // namespace
}  // namespace korvel::testing
