// Shift-JIS (code page 932) byte-string helpers.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

bool IsShiftJisLeadByte(unsigned char byte);

// At most maxBytes bytes of text, never ending in the first half of a double-byte character.
std::string TruncateAnsi(std::string_view text, size_t maxBytes);
