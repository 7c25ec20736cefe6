#include "actions/launch/url_encoding.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include "actions/launch/text_option.h"

namespace {

const std::string kA = "\x82\xA0";       // あ
const std::string kAji = "\x88\x9F";     // 亜
const std::string kOddRow = "\x89\x9E";  // second byte 0x9E
const std::string kHalfA = "\xB1";       // ｱ

TEST(UrlEncoding, DoubleByteExamples) {
  EXPECT_EQ(UrlEncodeSjis(kA), "%82%A0");
  EXPECT_EQ(UrlEncodeJis(kA), "%24%22");
  EXPECT_EQ(UrlEncodeEuc(kA), "%A4%A2");
  EXPECT_EQ(UrlEncodeJis(kAji), "%30%21");
  EXPECT_EQ(UrlEncodeEuc(kAji), "%B0%A1");
  EXPECT_EQ(UrlEncodeJis(kOddRow), "%31%7E");
  EXPECT_EQ(UrlEncodeEuc(kOddRow), "%B1%FE");
}

TEST(UrlEncoding, SingleBytesPassUnchangedInTheDoubleByteEncodings) {
  const std::string plain = "a b%&+=?";
  for (auto encode : {&UrlEncodeSjis, &UrlEncodeJis, &UrlEncodeEuc}) {
    EXPECT_EQ(encode(plain, IsCp932LeadByte), plain);
    EXPECT_EQ(encode(kHalfA, IsCp932LeadByte), kHalfA);
    EXPECT_EQ(encode("x" + kA + "y", IsCp932LeadByte).front(), 'x');
  }
}

TEST(UrlEncoding, TextEndsAtZeroAndAtALoneLeadByte) {
  EXPECT_EQ(UrlEncodeSjis(std::string("ab\0cd", 5)), "ab");
  EXPECT_EQ(UrlEncodeSjis("ab\x82"), "ab");
  EXPECT_EQ(UrlEncodeJis(std::string("a\x82\0b", 4)), "a");
  EXPECT_EQ(UrlEncodeEuc(""), "");
}

TEST(UrlEncoding, Utf8Bytes) {
  EXPECT_EQ(Utf16UnitsToUtf8({0x3042}), "\xE3\x81\x82");
  EXPECT_EQ(Utf16UnitsToUtf8({0xFF71}), "\xEF\xBD\xB1");
  EXPECT_EQ(Utf16UnitsToUtf8({0x41, 0xE9, 0x7FF, 0x800}), "A\xC3\xA9\xDF\xBF\xE0\xA0\x80");
  EXPECT_EQ(PercentEncodeUtf8Bytes("\xE3\x81\x82"), "%E3%81%82");
  EXPECT_EQ(PercentEncodeUtf8Bytes("a b"), "a%20b");
  EXPECT_EQ(PercentEncodeUtf8Bytes("A_1-x"), "A_1%2Dx");
  EXPECT_EQ(PercentEncodeUtf8Bytes(".~zZ09"), "%2E%7EzZ09");
  EXPECT_EQ(PercentEncodeUtf8Bytes(Utf16UnitsToUtf8({0xFF71})), "%EF%BD%B1");
}

TEST(TextOption, SourceAndEncodingHalves) {
  EXPECT_EQ(TextSourceOf(0x41), ClipboardText);
  EXPECT_EQ(TextEncodingOf(0x41), Utf8Url);
  EXPECT_EQ(TextSourceOf(0x12), SelectedText);
  EXPECT_EQ(TextEncodingOf(0x12), SjisUrl);
  EXPECT_EQ(TextEncodingOf(-16), -1) << "truncating toward zero: not a known encoding";
  EXPECT_EQ(TextEncodingOf(-1), 0);
}

TEST(UrlEncoding, WideTextKeepsEveryCharacter) {
  EXPECT_EQ(UrlEncodeUtf8Wide(u"caf\u00E9 \uD55C\uAD6D\uC5B4 \U0001F600"),
            "caf%C3%A9%20%ED%95%9C%EA%B5%AD%EC%96%B4%20%F0%9F%98%80");
  EXPECT_EQ(UrlEncodeUtf8Wide(u"A_1-x"), "A_1%2Dx") << "the same rule for what stays";
  EXPECT_EQ(UrlEncodeUtf8Wide(std::u16string(u"ab\0cd", 5)), "ab") << "ends at a zero unit";
  EXPECT_EQ(UrlEncodeUtf8Wide(u"\xD83D"), "%ED%A0%BD") << "a lone surrogate, as the unit rule";
  EXPECT_EQ(UrlEncodeUtf8Wide(u""), "");
}

// Every JIS X 0208 character: its Shift-JIS form, converted by our arithmetic, must give the
// bytes glibc's converters give.
TEST(UrlEncoding, SjisToJisAndEucAgreeWithIconvOverJisX0208) {
  iconv_t toEuc = iconv_open("EUC-JP", "SHIFT_JIS");
  ASSERT_NE(toEuc, reinterpret_cast<iconv_t>(-1));
  int checked = 0;
  for (int row = 0x21; row <= 0x7E; ++row) {
    for (int cell = 0x21; cell <= 0x7E; ++cell) {
      // JIS to Shift-JIS, the inverse arithmetic.
      int first = (row + 1) / 2 + (row <= 0x5E ? 0x70 : 0xB0);
      int second = row % 2 ? cell + (cell >= 0x60 ? 0x20 : 0x1F) : cell + 0x7E;
      char in[2] = {static_cast<char>(first), static_cast<char>(second)};
      char out[8];
      char* inPointer = in;
      char* outPointer = out;
      size_t inLeft = 2, outLeft = sizeof out;
      iconv(toEuc, nullptr, nullptr, nullptr, nullptr);
      if (iconv(toEuc, &inPointer, &inLeft, &outPointer, &outLeft) == static_cast<size_t>(-1)) {
        continue;  // not an assigned character
      }
      ASSERT_EQ(sizeof out - outLeft, 2u);
      int jisFirst = first, jisSecond = second;
      SjisToJis(jisFirst, jisSecond);
      EXPECT_EQ(jisFirst, row) << std::hex << first << " " << second;
      EXPECT_EQ(jisSecond, cell) << std::hex << first << " " << second;
      int eucFirst = first, eucSecond = second;
      SjisToEuc(eucFirst, eucSecond);
      EXPECT_EQ(eucFirst, static_cast<unsigned char>(out[0]));
      EXPECT_EQ(eucSecond, static_cast<unsigned char>(out[1]));
      ++checked;
    }
  }
  iconv_close(toEuc);
  EXPECT_GT(checked, 6800) << "JIS X 0208 holds 6879 characters";
}

}  // namespace
