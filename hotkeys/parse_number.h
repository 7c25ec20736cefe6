// Numbers typed into the edit dialog: hexadecimal when the text contains "0x", else decimal.
#pragma once

#include <cstdint>
#include <string_view>

// With "0x" anywhere: read as "0x%x" from the first character (0 unless the text starts with
// "0x"). Otherwise the decimal rule.
int32_t ParseNumber(std::string_view text);
// Leading blanks, an optional sign, digits up to the first non-digit; no digits give 0.
int32_t ParseDecimal(std::string_view text);
