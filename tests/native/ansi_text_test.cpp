#include "framework/ansi_text.h"

#include <gtest/gtest.h>

namespace {

TEST(AnsiText, TruncationNeverSplitsADoubleByteCharacter) {
  const std::string text =
      "ab\x95\x5C"
      "c";  // "ab表c"; 表 ends in 0x5C
  EXPECT_EQ(TruncateAnsi(text, 10), text);
  EXPECT_EQ(TruncateAnsi(text, 4), "ab\x95\x5C");
  EXPECT_EQ(TruncateAnsi(text, 3), "ab");
  EXPECT_EQ(TruncateAnsi(text, 0), "");
  EXPECT_EQ(TruncateAnsi(std::string(100, 'x'), 63).size(), 63u);
}

TEST(AnsiText, TrailingLoneLeadByteIsDropped) { EXPECT_EQ(TruncateAnsi("ab\x82", 10), "ab"); }

TEST(AnsiText, LeadByteRanges) {
  EXPECT_FALSE(IsShiftJisLeadByte(0x80));
  EXPECT_TRUE(IsShiftJisLeadByte(0x81));
  EXPECT_TRUE(IsShiftJisLeadByte(0x9F));
  EXPECT_FALSE(IsShiftJisLeadByte(0xA0));
  EXPECT_FALSE(IsShiftJisLeadByte(0xB1)) << "half-width katakana";
  EXPECT_TRUE(IsShiftJisLeadByte(0xE0));
  EXPECT_TRUE(IsShiftJisLeadByte(0xFC));
  EXPECT_FALSE(IsShiftJisLeadByte(0xFD));
}

}  // namespace
