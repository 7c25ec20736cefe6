#include "app/color_math.h"

#include "corvane/label_colors.h"

uint32_t ButtonDark(uint32_t color) { return DarkShade(color); }

uint32_t ButtonLight(uint32_t color) {
  return MapColorChannels(color, [](uint32_t b) { return b < 0x60 ? b + 0x60 : 0xFF; });
}

uint32_t ButtonDark60(uint32_t color) {
  return MapColorChannels(color, [](uint32_t b) { return b <= 0x60 ? 0 : b - 0x60; });
}
