#include <gtest/gtest.h>

#include "functions/repeater_tail.h"
#include "session.h"

namespace korvel::testing {
namespace {

using RepeaterTail = SessionAt<Ready::kMemory>;

TEST_F(RepeaterTail, AppendsTheBandsSignAndOffset) {
  p.config.repeaterOffsetMinus[10] = 1;
  p.config.repeaterOffsetKhz[10] = "100";
  p.config.repeaterOffsetMinus[11] = 0;
  p.config.repeaterOffsetKhz[11] = "500";
  p.config.repeaterOffsetMinus[12] = 1;
  p.config.repeaterOffsetKhz[12] = "600";
  struct Case {
    int band;
    int minus13;
    std::string offset13, text, want;
  } cases[] = {
      {10, 1, "7600", "52A029600000B029600000", "52A029600000B-00000100"},
      {11, 1, "7600", "55A051000000B", "55A051000000B+00000500"},
      {12, 1, "7600", "55A145500000B1455000009990", "55A145500000B-00000600"},
      {13, 1, "7600", "55A433000000B4330000009990", "55A433000000B-00007600"},
      {13, 0, "600", "55A433000000B4330000009990", "55A433000000B+00000600"},
      // Outside bands 10..13 only the cut remains.
      {9, 1, "7600", "52A024890000B0248900009991", "52A024890000B"},
      {14, 1, "7600", "54A009670000B0096700009990", "54A009670000B"},
      {0, 1, "7600", "", ""},
  };
  for (const auto& c : cases) {
    p.band.currentBand = c.band;
    p.config.repeaterOffsetMinus[13] = c.minus13;
    p.config.repeaterOffsetKhz[13] = c.offset13;
    EXPECT_EQ(appendRepeaterTail(p, c.text), c.want) << c.band << " " << c.text;
  }
}

}  // namespace
}  // namespace korvel::testing
