#include <clocale>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "actions/launch/url_encoding.h"
#include "actions/launch/utf8_encoding.h"

std::string SjisToUtf8(const std::string& text) {
  std::setlocale(LC_ALL, "Japanese");
  const char* zeroEnded = text.c_str();
  const size_t length = std::strlen(zeroEnded);
  // One unit per byte is always enough: no byte yields more than one character.
  std::vector<wchar_t> wide(length + 1, L'\0');
  const size_t converted = std::mbstowcs(wide.data(), zeroEnded, length);
  std::string utf8;
  if (converted != static_cast<size_t>(-1)) {
    std::vector<uint16_t> units(wide.begin(), wide.begin() + converted);
    utf8 = Utf16UnitsToUtf8(units);
  }
  std::setlocale(LC_ALL, "C");
  return utf8;
}

std::string UrlEncodeUtf8(const std::string& text) {
  return PercentEncodeUtf8Bytes(SjisToUtf8(text));
}
