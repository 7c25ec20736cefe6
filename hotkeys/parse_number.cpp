#include "hotkeys/parse_number.h"

#include <cstdint>
#include <limits>

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// What "%x" reads: blanks, a sign, an optional 0x, hexadecimal digits (32 bits kept).
int32_t ScanHex(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
      i + 2 < text.size() && HexDigit(text[i + 2]) >= 0) {
    i += 2;
  }
  uint32_t value = 0;
  for (; i < text.size() && HexDigit(text[i]) >= 0; ++i) {
    value = (value << 4) | static_cast<uint32_t>(HexDigit(text[i]));
  }
  return static_cast<int32_t>(negative ? 0u - value : value);
}

}  // namespace

int32_t ParseDecimal(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > int64_t{1} << 32) value = int64_t{1} << 32;  // saturate, as strtol does
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

int32_t ParseNumber(std::string_view text) {
  if (text.find("0x") == std::string_view::npos) return ParseDecimal(text);
  if (text.substr(0, 2) != "0x") return 0;
  return ScanHex(text.substr(2));
}
