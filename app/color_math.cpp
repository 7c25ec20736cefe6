#include "app/color_math.h"

namespace {

template <typename Channel>
uint32_t EachChannel(uint32_t color, Channel channel) {
  uint32_t result = color & 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    result |= static_cast<uint32_t>(channel((color >> shift) & 0xFF)) << shift;
  }
  return result;
}

}  // namespace

uint32_t ButtonDark(uint32_t color) {
  return EachChannel(color, [](uint32_t b) { return b <= 0x80 ? 0 : b - 0x80; });
}

uint32_t ButtonLight(uint32_t color) {
  return EachChannel(color, [](uint32_t b) { return b < 0x60 ? b + 0x60 : 0xFF; });
}

uint32_t ButtonDark60(uint32_t color) {
  return EachChannel(color, [](uint32_t b) { return b <= 0x60 ? 0 : b - 0x60; });
}
