// Lengths in pixels at a display's DPI. Sizes the program gives in pixels are the sizes at
// 96 DPI (100 % scaling).
#pragma once

constexpr unsigned kDefaultDpi = 96;

// `value` measured at `fromDpi`, at `toDpi`, rounded half away from zero. An unknown (zero)
// DPI on either side leaves the value as it is; results beyond int are clamped.
int ScaleForDpi(int value, unsigned toDpi, unsigned fromDpi = kDefaultDpi);
