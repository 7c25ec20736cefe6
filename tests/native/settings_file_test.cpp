#include "app/settings_file.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {

SettingsValues Example() {
  SettingsValues v;
  v.labelState = 1;
  v.textColor = 0x00FFFFFF;
  v.outlineColor = 0x00000000;
  v.backgroundColor = 0x80000000;
  v.selectionColor = 0x00FF0000;
  return v;
}

TEST(SettingsFile, TheTwentyEightByteExample) {
  const std::string expected =
      "\x00\x00\x00\x00\x01\x00\x00\x00\xFF\xFF\xFF\x00\x00\x00\x00\x00"
      "\x00\x00\x00\x80\x00\x00\xFF\x00\x00\x00\x00\x00"s;
  EXPECT_EQ(ToTextMode(EncodeSettings(Example())), expected);
  SettingsValues back;
  ASSERT_TRUE(DecodeSettings(FromTextMode(expected), back));
  EXPECT_EQ(back.labelState, 1);
  EXPECT_EQ(back.selectionColor, 0x00FF0000u);
  EXPECT_EQ(back.backgroundColor, 0x80000000u);
}

TEST(SettingsFile, LineFeedBytesAreStoredAsPairsWhereverTheyStand) {
  SettingsValues v = Example();
  v.textColor = 0x000A0B0C;
  const std::string stored = ToTextMode(EncodeSettings(v));
  EXPECT_EQ(stored.size(), 29u);
  EXPECT_EQ(stored.substr(8, 5), "\x0C\x0B\x0D\x0A\x00"s);
  SettingsValues back;
  ASSERT_TRUE(DecodeSettings(FromTextMode(stored), back));
  EXPECT_EQ(back.textColor, 0x000A0B0Cu);
  // A length of 10 and a text holding a lone CR, a CR LF and a LF.
  v.excludedPaths = {"ab\rc\r\nd\ne\x0A!"};
  v.stringValues = {{"\n", 0x0D0A0D0A}};
  ASSERT_TRUE(DecodeSettings(FromTextMode(ToTextMode(EncodeSettings(v))), back));
  EXPECT_EQ(back.excludedPaths, v.excludedPaths);
  EXPECT_EQ(back.stringValues, v.stringValues);
}

TEST(SettingsFile, ALogicalCarriageReturnLineFeedPairSurvives) {
  EXPECT_EQ(ToTextMode("\r\n"), "\r\r\n");
  EXPECT_EQ(FromTextMode("\r\r\n"), "\r\n");
  EXPECT_EQ(FromTextMode("\r"), "\r") << "a lone CR is an ordinary byte";
  EXPECT_EQ(FromTextMode("a\rb"), "a\rb");
}

TEST(SettingsFile, LongPathUsesTheThreeBytePrefix) {
  SettingsValues v;
  v.excludedPaths = {std::string(300, 'p')};
  const std::string stream = EncodeSettings(v);
  EXPECT_EQ(stream.substr(0, 7), "\x01\x00\x00\x00\xFF\x2C\x01"s);
}

TEST(SettingsFile, PairsAndPathsComeBackInOrder) {
  SettingsValues v = Example();
  v.excludedPaths = {"C:\\a.exe", "notepad.exe", ""};
  v.stringValues = {{"second", 2}, {"first", 1}, {"", 0xFFFFFFFF}};
  SettingsValues back;
  ASSERT_TRUE(DecodeSettings(FromTextMode(ToTextMode(EncodeSettings(v))), back));
  EXPECT_EQ(back.excludedPaths, v.excludedPaths);
  EXPECT_EQ(back.stringValues, v.stringValues);
  EXPECT_EQ(EncodeSettings(back), EncodeSettings(v));
}

TEST(SettingsFile, ATruncatedFileKeepsWhatWasReadAndTheRest) {
  SettingsValues v = Example();
  v.excludedPaths = {"one", "two"};
  v.textColor = 0x123456;
  v.stringValues = {{"k", 7}};
  const std::string whole = EncodeSettings(v);
  for (size_t cut = 0; cut < whole.size(); ++cut) {
    SettingsValues back;  // the defaults
    back.stringValues = {{"old", 1}};
    EXPECT_FALSE(DecodeSettings(whole.substr(0, cut), back)) << cut;
    if (cut >= 4 + 4) {
      EXPECT_EQ(back.excludedPaths.front(), "one") << cut;
    }
    if (cut < 4 + 4 + 4 + 4 + 4) {
      EXPECT_EQ(back.textColor, 0x00FFFFFFu) << cut;
    }
    if (cut < whole.size() - 10) {
      EXPECT_EQ(back.stringValues.front().first, "old") << cut;
    }
  }
}

TEST(SettingsFile, CountsLargerThanTheContentsAllocateNothing) {
  SettingsValues back;
  EXPECT_FALSE(DecodeSettings("\xFF\xFF\xFF\x7F\x01x"s, back));
  EXPECT_EQ(back.excludedPaths.size(), 1u);
  EXPECT_FALSE(DecodeSettings(
      "\x00\x00\x00\x00\x00\x00\x00\x00"s + std::string(16, '\0') + "\xFF\xFF\xFF\x7F"s, back));
  EXPECT_TRUE(back.stringValues.empty());
  EXPECT_FALSE(DecodeSettings("\x01\x00\x00\x00\xFF\xFF\xFF\xF0\xFF\xFF\xFF"s, back))
      << "a 4 GiB path length";
}

}  // namespace

namespace {

TEST(SettingsFile, NamedAfterTheProgramDoubleByteAware) {
  EXPECT_EQ(SettingsFileNameFor("C:\\Tools\\Tavolet.exe"), "Tavolet.cfg");
  EXPECT_EQ(SettingsFileNameFor("Tavolet"), "Tavolet.cfg");
  EXPECT_EQ(SettingsFileNameFor("C:\\a.b\\my.tool.exe"), "my.tool.cfg");
  // "ソフト.exe": the first character's second byte is 0x5C.
  EXPECT_EQ(SettingsFileNameFor("C:\\\x83\x5C\x83t\x83g\\\x83\x5C\x83t\x83g.exe"),
            "\x83\x5C\x83t\x83g.cfg");
}

}  // namespace
