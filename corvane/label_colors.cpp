#include "corvane/label_colors.h"

uint32_t LightShade(uint32_t color) {
  return MapColorChannels(color, [](uint32_t b) { return b < 0x80 ? b + 0x80 : 0xFF; });
}

uint32_t DarkShade(uint32_t color) {
  return MapColorChannels(color, [](uint32_t b) { return b <= 0x80 ? 0 : b - 0x80; });
}

LabelColors ResolveLabelColors(uint32_t text, uint32_t outline, uint32_t background,
                               uint32_t selection, uint32_t listText, uint32_t listBackground,
                               uint32_t highlight) {
  LabelColors c;
  c.text = text == kColorAuto ? listText : text;
  c.outline = outline == kColorAuto ? (c.text ^ 0x00FFFFFFu) : outline;
  c.background = background == kColorAuto ? listBackground : background;
  c.selection = selection == kColorAuto ? highlight : selection;
  c.light = LightShade(c.selection);
  c.dark = DarkShade(c.selection);
  return c;
}
