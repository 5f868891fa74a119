#include <gtest/gtest.h>

#include "state/text.h"

namespace korvel {
namespace {

TEST(TextMid, IsOneBasedAndNeverThrows) {
  struct Case {
    std::string s;
    long pos, len;
    std::string want;
  } cases[] = {
      {"FA014074000;", 3, 9, "014074000"},
      {"FA014074000;", 1, 2, "FA"},
      {"FA014074000;", 12, 5, ";"},   // runs past the end: the part that exists
      {"FA014074000;", 13, 1, ""},    // starts past the end
      {"FA014074000;", 100, 3, ""},
      {"", 1, 1, ""},
      {"abc", 0, 2, "a"},             // position 0 does not exist; position 1 does
      {"abc", -5, 2, ""},
      {"abc", 2, 0, ""},
      {"abc", 2, -1, ""},
      {"abc", 1, 3, "abc"},
  };
  for (const auto& c : cases) EXPECT_EQ(mid(c.s, c.pos, c.len), c.want) << c.s << " " << c.pos << " " << c.len;
  EXPECT_EQ(mid("ID0761;", 3), "0761;");
  EXPECT_EQ(mid("ID0761;", 8), "");
}

TEST(TextLeftRight, ClampToTheText) {
  EXPECT_EQ(left("KORVEL v3.2a 3.6a", 12), "KORVEL v3.2a");
  EXPECT_EQ(left("ab", 5), "ab");
  EXPECT_EQ(left("ab", 0), "");
  EXPECT_EQ(left("ab", -1), "");
  EXPECT_EQ(right("COM=12", 2), "12");
  EXPECT_EQ(right("5", 2), "5");
  EXPECT_EQ(right("", 2), "");
  EXPECT_EQ(right("abc", 0), "");
  EXPECT_EQ(right("abc", -3), "");
}

TEST(TextValueOf, TakesTheLeadingNumber) {
  struct Case {
    std::string s;
    double want;
  } cases[] = {
      {"", 0},        {" ", 0},        {"-", 0},         {"abc", 0},        {"=5", 0},
      {"5", 5},       {"  42x", 42},   {"-7", -7},       {" -7", -7},       {"0761;", 761},
      {".5", 0.5},    {"3.25", 3.25},  {"3.", 3},        {"3.x", 3},        {"- 5", 0},
      {"12 34", 12},  {"007", 7},      {"1.2.3", 1.2},   {"\t5", 0},        {"38400 Baud", 38400},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(valueOf(c.s), c.want) << '"' << c.s << '"';
  EXPECT_EQ(wholeValueOf("3.9"), 3);
  EXPECT_EQ(wholeValueOf("-3.9"), -3);
  EXPECT_EQ(wholeValueOf("99999999999999999999"), 2000000000L);
}

TEST(TextNumbers, NumberTextAndZeroPad) {
  EXPECT_EQ(numberText(0), " 0");
  EXPECT_EQ(numberText(5), " 5");
  EXPECT_EQ(numberText(38400), " 38400");
  EXPECT_EQ(numberText(-5), "-5");
  EXPECT_EQ(zeroPad(5, 3), "005");
  EXPECT_EQ(zeroPad(14074000, 9), "014074000");
  EXPECT_EQ(zeroPad(1234, 2), "1234");  // never cut
  EXPECT_EQ(zeroPad(0, 2), "00");
  EXPECT_EQ(zeroPad(-5, 3), "-005");
}

TEST(TextFindAndCap, SearchIsOneBasedAndCapsAt254) {
  EXPECT_EQ(findText("xxFA014074000;", "FA"), 3);
  EXPECT_EQ(findText("SM0123;", "FA"), 0);
  EXPECT_EQ(findText("abc", ""), 0);
  EXPECT_EQ(capStored(std::string(300, 'x')).size(), 254u);
  EXPECT_EQ(capStored("short"), "short");
}

}  // namespace
}  // namespace korvel
