// Percent-encodings of captured Shift-JIS text for URLs: Shift-JIS, JIS, EUC-JP and UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using LeadBytePredicate = bool (*)(unsigned char);

// First byte of a double-byte character in code page 932.
bool IsCp932LeadByte(unsigned char byte);

// Standard Shift-JIS to JIS X 0208 row/cell arithmetic, in place.
void SjisToJis(int& first, int& second);
// SjisToJis with bit 0x80 set on both bytes.
void SjisToEuc(int& first, int& second);

// Double-byte characters become "%XX%XX" (converted for JIS and EUC); single bytes pass as they
// are. Text ends at the first zero byte; a lead byte without its second byte ends it as well.
std::string UrlEncodeSjis(std::string_view text, LeadBytePredicate isLead = IsCp932LeadByte);
std::string UrlEncodeJis(std::string_view text, LeadBytePredicate isLead = IsCp932LeadByte);
std::string UrlEncodeEuc(std::string_view text, LeadBytePredicate isLead = IsCp932LeadByte);

// UTF-16 code units to UTF-8, three bytes at most per unit.
std::string Utf16UnitsToUtf8(const std::vector<uint16_t>& units);
// Letters, digits and "_" pass; every other byte becomes "%XX".
std::string PercentEncodeUtf8Bytes(std::string_view utf8);

// UTF-16 text (up to its first zero unit) to UTF-8 with surrogate pairs joined into one
// four-byte character, so nothing outside the basic plane is lost. A lone surrogate keeps the
// three bytes the unit rule gives it. Inside the basic plane it is Utf16UnitsToUtf8.
std::string Utf16ToUtf8(std::u16string_view text);
// The UTF-8 URL encoding of wide text (the clipboard's Unicode form): for text that Shift-JIS
// can hold, byte for byte what the Shift-JIS path gives.
std::string UrlEncodeUtf8Wide(std::u16string_view text);
