#include "framework/dpi_scale.h"

#include <algorithm>
#include <cstdint>
#include <limits>

int ScaleForDpi(int value, unsigned toDpi, unsigned fromDpi) {
  if (toDpi == 0 || fromDpi == 0 || toDpi == fromDpi) return value;
  const int64_t magnitude = value < 0 ? -static_cast<int64_t>(value) : value;
  const int64_t rounded = (magnitude * toDpi + fromDpi / 2) / fromDpi;
  const int64_t scaled = value < 0 ? -rounded : rounded;
  return static_cast<int>(std::clamp<int64_t>(scaled, std::numeric_limits<int>::min(),
                                              std::numeric_limits<int>::max()));
}
