// Shades of the colour button's caption passes.
#pragma once

#include <cstdint>

// Each of red, green, blue: 0 up to 0x80, else b - 0x80. Top byte kept.
uint32_t ButtonDark(uint32_t color);
// Each of red, green, blue: b + 0x60 below 0x60, else 0xFF. Top byte kept.
uint32_t ButtonLight(uint32_t color);
// Each of red, green, blue: 0 up to 0x60, else b - 0x60. Top byte kept.
uint32_t ButtonDark60(uint32_t color);
