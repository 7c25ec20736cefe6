// Test-support code that the Wine tests rely on: the PNG writer and the template reader.
#include <gtest/gtest.h>

#include "tests/support/dialog_template.h"
#include "tests/support/png_writer.h"

namespace {

TEST(PngWriter, KnownCrcAndWellFormedChunks) {
  const std::string check = "123456789";
  EXPECT_EQ(Crc32(reinterpret_cast<const uint8_t*>(check.data()), check.size()), 0xCBF43926u);
  const std::vector<uint8_t> rgb(2 * 2 * 3, 0x7F);
  const std::string png = EncodePng(2, 2, rgb);
  EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1A\n");
  EXPECT_EQ(png.substr(12, 4), "IHDR");
  EXPECT_EQ(png.substr(png.size() - 8, 4), "IEND");
  // Two rows of (filter byte + 6 pixel bytes) in one stored block inside the zlib stream.
  const size_t idat = png.find("IDAT");
  ASSERT_NE(idat, std::string::npos);
  EXPECT_EQ(png.substr(idat + 4, 3), std::string("\x78\x01\x01", 3));
  EXPECT_EQ(static_cast<uint8_t>(png[idat + 7]), 14);
}

std::string TemplateBytes() {
  std::string b;
  auto u16 = [&](uint16_t v) { b.push_back(char(v & 0xFF)), b.push_back(char(v >> 8)); };
  auto u32 = [&](uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };
  auto text = [&](const std::u16string& s) {
    for (char16_t c : s) u16(c);
    u16(0);
  };
  u16(1), u16(0xFFFF), u32(0), u32(0x40000), u32(0x800000C0), u16(1);
  u16(0), u16(0), u16(63), u16(28);
  u16(0), u16(0), text(u"T");
  u16(9), u16(400), b.push_back(0), b.push_back(char(0x80)), text(u"F");
  while (b.size() % 4) b.push_back(0);
  u32(0), u32(0), u32(0x50010001), u16(7), u16(7), u16(50), u16(14), u32(1);
  u16(0xFFFF), u16(0x80), text(u"OK"), u16(0);
  return b;
}

TEST(DialogTemplateReader, ReadsHeaderFontAndItems) {
  const auto t = ParseDialogTemplateEx(TemplateBytes());
  ASSERT_TRUE(t);
  EXPECT_EQ(t->style, 0x800000C0u);
  EXPECT_EQ(t->exStyle, 0x40000u);
  EXPECT_EQ(t->cx, 63);
  EXPECT_EQ(t->title, u"T");
  EXPECT_EQ(t->pointSize, 9);
  EXPECT_EQ(t->typeface, u"F");
  ASSERT_EQ(t->items.size(), 1u);
  EXPECT_EQ(t->items[0].classOrdinal, 0x80);
  EXPECT_EQ(t->items[0].text, u"OK");
  EXPECT_EQ(t->Item(1)->cx, 50);
}

TEST(DialogTemplateReader, RefusesCutBytes) {
  const std::string bytes = TemplateBytes();
  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    EXPECT_FALSE(ParseDialogTemplateEx(bytes.substr(0, cut))) << cut;
  }
}

}  // namespace
