#include "framework/archive.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {

std::string Prefix(const std::string& bytes, size_t count) { return bytes.substr(0, count); }

TEST(ArchiveString, PrefixFormAtEachBoundary) {
  struct Case {
    size_t length;
    std::string prefix;
  };
  const Case cases[] = {
      {0, std::string("\x00", 1)},
      {254, "\xFE"},
      {255, "\xFF\xFF\x00"s},
      {65533, "\xFF\xFD\xFF"},
      {65534, "\xFF\xFF\xFF\xFE\xFF\x00\x00"s},
      {70000, "\xFF\xFF\xFF\x70\x11\x01\x00"s},
  };
  for (const Case& c : cases) {
    ArchiveWriter out;
    out.WriteString(std::string(c.length, 'x'));
    const std::string& bytes = out.Bytes();
    ASSERT_EQ(bytes.size(), c.prefix.size() + c.length) << c.length;
    EXPECT_EQ(Prefix(bytes, c.prefix.size()), c.prefix) << c.length;

    ArchiveReader in(bytes);
    std::string back;
    ASSERT_TRUE(in.ReadString(back)) << c.length;
    EXPECT_EQ(back, std::string(c.length, 'x'));
    EXPECT_EQ(in.Remaining(), 0u);
  }
}

TEST(ArchiveString, ReaderAcceptsLongFormsForShortTexts) {
  const std::string mediumBytes =
      "\xFF\x03\x00"
      "abc"s;
  ArchiveReader medium(mediumBytes);
  std::string text;
  ASSERT_TRUE(medium.ReadString(text));
  EXPECT_EQ(text, "abc");
  const std::string longBytes =
      "\xFF\xFF\xFF\x02\x00\x00\x00"
      "ab"s;
  ArchiveReader longForm(longBytes);
  ASSERT_TRUE(longForm.ReadString(text));
  EXPECT_EQ(text, "ab");
}

TEST(ArchiveString, LengthBeyondTheDataFailsWithoutReading) {
  // A 4 GiB length over three bytes of data must fail, not allocate.
  const std::string bytes =
      "\xFF\xFF\xFF\xFF\xFF\xFF\xFF"
      "abc"s;
  ArchiveReader in(bytes);
  std::string text = "kept";
  EXPECT_FALSE(in.ReadString(text));
  EXPECT_EQ(text, "kept");
  EXPECT_TRUE(in.Failed());
  uint32_t value = 0;
  EXPECT_FALSE(in.ReadU32(value)) << "a failed reader stays failed";
}

TEST(ArchiveString, WideStringMarkerIsRefused) {
  const std::string bytes =
      "\xFF\xFE\xFF\x01"
      "a"s;
  ArchiveReader in(bytes);
  std::string text;
  EXPECT_FALSE(in.ReadString(text));
}

TEST(ArchiveString, PrefixCutShortFails) {
  for (const std::string& bytes : {""s, "\xFF"s, "\xFF\x10"s, "\xFF\xFF\xFF\x01\x00"s}) {
    ArchiveReader in(bytes);
    std::string text;
    EXPECT_FALSE(in.ReadString(text)) << bytes.size();
  }
}

TEST(ArchiveIntegers, LittleEndianBothWays) {
  ArchiveWriter out;
  out.WriteU32(0x0A0B0C0D);
  out.WriteI32(-2);
  EXPECT_EQ(out.Bytes(), "\x0D\x0C\x0B\x0A\xFE\xFF\xFF\xFF"s);
  ArchiveReader in(out.Bytes());
  uint32_t u = 0;
  int32_t i = 0;
  ASSERT_TRUE(in.ReadU32(u));
  ASSERT_TRUE(in.ReadI32(i));
  EXPECT_EQ(u, 0x0A0B0C0Du);
  EXPECT_EQ(i, -2);
  EXPECT_FALSE(in.ReadU32(u));
}

}  // namespace
