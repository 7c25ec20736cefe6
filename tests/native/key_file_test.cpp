#include "hotkeys/key_file.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {

std::string Encode(const std::vector<KeyRecord>& records) {
  std::vector<const KeyRecord*> pointers;
  for (const KeyRecord& r : records) pointers.push_back(&r);
  return EncodeKeyFile(pointers);
}

KeyRecord CtrlAltN() {
  KeyRecord r;
  r.virtualKey = 0x4E;
  r.modifiers = 0x3;
  r.actionType = 1;
  r.target = "C:\\a\\b.exe1";
  return r;
}

TEST(KeyFile, ExampleRecordIsSixtyFiveBytes) {
  const std::string bytes = Encode({CtrlAltN()});
  const std::string expected =
      "\x01\x00\x00\x00"
      "\x4E\x00\x00\x00\x03\x00\x00\x00\x01\x00\x00\x00"
      "\x00\x00\x00\x00\x00\x00\x00\x00"
      "\x0B"
      "C:\\a\\b.exe1"s +
      std::string(28, '\0') + std::string(1, '\0');
  ASSERT_EQ(bytes.size(), 65u);
  EXPECT_EQ(bytes, expected);
}

TEST(KeyFile, FieldOrderPutsSingleInstanceBeforeTarget) {
  KeyRecord r;
  r.virtualKey = 1, r.modifiers = 2, r.actionType = 3, r.textOption = 4, r.singleInstance = 5;
  r.target = "T";
  r.message = 6, r.wParam = 7, r.lParam = 8, r.param1 = 9, r.param2 = 10;
  r.mixerDevice = 11, r.mixerLineType = 12;
  r.reserved = "R";
  const std::string bytes = Encode({r});
  const std::string expected =
      "\x01\x00\x00\x00"
      "\x01\x00\x00\x00\x02\x00\x00\x00\x03\x00\x00\x00\x04\x00\x00\x00"
      "\x05\x00\x00\x00\x01T"
      "\x06\x00\x00\x00\x07\x00\x00\x00\x08\x00\x00\x00\x09\x00\x00\x00"
      "\x0A\x00\x00\x00\x0B\x00\x00\x00\x0C\x00\x00\x00\x01R"s;
  EXPECT_EQ(bytes, expected);
  const KeyFileContents back = DecodeKeyFile(bytes);
  ASSERT_TRUE(back.complete);
  ASSERT_EQ(back.records.size(), 1u);
  EXPECT_EQ(back.records[0], r);
}

TEST(KeyFile, EmptyTableAndEmptyRecordSizes) {
  EXPECT_EQ(Encode({}), "\x00\x00\x00\x00"s);
  // Twelve integers and two one-byte empty strings: 50 bytes, a one-record file 54.
  EXPECT_EQ(Encode({KeyRecord()}).size(), 54u);
  const KeyFileContents empty = DecodeKeyFile("\x00\x00\x00\x00"s);
  EXPECT_TRUE(empty.complete);
  EXPECT_TRUE(empty.records.empty());
}

TEST(KeyFile, NegativeCountReadsNothing) {
  const KeyFileContents contents = DecodeKeyFile("\xFF\xFF\xFF\xFF" + Encode({CtrlAltN()}));
  EXPECT_TRUE(contents.complete);
  EXPECT_TRUE(contents.records.empty());
}

TEST(KeyFile, TruncatedFileKeepsTheCompleteRecords) {
  KeyRecord second = CtrlAltN();
  second.target = "second";
  const std::string whole = Encode({CtrlAltN(), second});
  for (size_t cut = 4; cut < whole.size(); ++cut) {
    const KeyFileContents contents = DecodeKeyFile(whole.substr(0, cut));
    EXPECT_FALSE(contents.complete) << cut;
    const size_t expected = cut >= 65 ? 1u : 0u;
    ASSERT_EQ(contents.records.size(), expected) << cut;
    if (expected) {
      EXPECT_EQ(contents.records[0], CtrlAltN());
    }
  }
  EXPECT_FALSE(DecodeKeyFile("\x01\x00"s).complete);
  EXPECT_TRUE(DecodeKeyFile(whole).complete);
}

TEST(KeyFile, CountLargerThanTheRecordsPresent) {
  std::string bytes = Encode({CtrlAltN()});
  bytes[0] = '\xFF', bytes[1] = '\xFF', bytes[2] = '\xFF', bytes[3] = '\x7F';  // 2^31 - 1
  const KeyFileContents contents = DecodeKeyFile(bytes);
  EXPECT_FALSE(contents.complete);
  ASSERT_EQ(contents.records.size(), 1u);
  EXPECT_LT(contents.records.capacity(), 16u) << "capacity must follow the bytes, not the count";
}

TEST(KeyFile, HugeStringLengthInsideARecordIsRefused) {
  std::string bytes = Encode({CtrlAltN()});
  // Replace the 1-byte target length with the 7-byte form claiming 0xFFFFFFF0 bytes.
  bytes.replace(24, 1, "\xFF\xFF\xFF\xF0\xFF\xFF\xFF"s);
  const KeyFileContents contents = DecodeKeyFile(bytes);
  EXPECT_FALSE(contents.complete);
  EXPECT_TRUE(contents.records.empty());
}

}  // namespace
