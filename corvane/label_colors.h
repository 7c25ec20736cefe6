// The colours a label paint uses, resolved from the stored values and the list view's own.
#pragma once

#include <cstdint>

constexpr uint32_t kColorAuto = 0xFFFFFFFF;
constexpr uint32_t kColorNone = 0x80000000;

struct LabelColors {
  uint32_t text, outline, background, selection, light, dark;
};

// Each of red, green and blue replaced by channel(b); the top byte is kept.
template <typename Channel>
uint32_t MapColorChannels(uint32_t color, Channel channel) {
  uint32_t result = color & 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    result |= static_cast<uint32_t>(channel((color >> shift) & 0xFF)) << shift;
  }
  return result;
}

// Each of red, green, blue: b + 0x80 below 0x80, else 0xFF. The top byte is kept.
uint32_t LightShade(uint32_t color);
// Each of red, green, blue: 0 up to 0x80, else b - 0x80. The top byte is kept.
uint32_t DarkShade(uint32_t color);

// Automatic text and background take the list view's own (`listText`, `listBackground`), an
// automatic outline the inverse of the text, an automatic selection the highlight colour.
LabelColors ResolveLabelColors(uint32_t text, uint32_t outline, uint32_t background,
                               uint32_t selection, uint32_t listText, uint32_t listBackground,
                               uint32_t highlight);

// Where the eight outline passes draw, relative to the label moved one pixel down.
struct Offset {
  int dx, dy;
};
constexpr Offset kOutlineOffsets[8] = {{0, -1}, {1, -1}, {1, 0},  {1, 1},
                                       {0, 1},  {-1, 1}, {-1, 0}, {-1, -1}};
