// The two halves of an entry's textOption: the text source (low four bits) and the encoding
// (the value divided by 16, truncating toward zero).
#pragma once

#include <cstdint>

enum TextSource : int32_t { NoText = 0, ClipboardText = 1, SelectedText = 2 };
enum TextEncoding : int32_t { NoEncoding = 0, SjisUrl = 1, JisUrl = 2, EucUrl = 3, Utf8Url = 4 };

constexpr int32_t TextSourceOf(int32_t textOption) { return textOption & 0xF; }
constexpr int32_t TextEncodingOf(int32_t textOption) { return textOption / 16; }
