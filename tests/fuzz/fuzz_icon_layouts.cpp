// icons.cfg and the shell's icon list take any bytes: what the file reader accepts writes back
// to bytes it reads the same again, and a plan never points outside the list.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "actions/icon_layouts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  IconLayouts first;
  if (DecodeIconLayouts(bytes, first)) {
    const std::string written = EncodeIconLayouts(first);
    IconLayouts second;
    if (!DecodeIconLayouts(written, second) || EncodeIconLayouts(second) != written) std::abort();
  } else if (!first.empty()) {
    std::abort();
  }
  auto checkPlan = [](const IconLayout& layout, const std::vector<IconPlace>& icons) {
    for (const IconMove& move : PlanIconMoves(layout, icons)) {
      if (move.index < 0 || static_cast<size_t>(move.index) >= icons.size()) std::abort();
    }
  };
  for (const IconLayout& layout : first) checkPlan(first.front(), layout.places);
  DesktopIcons icons;
  if (ParseIconList(bytes, icons)) {
    IconLayout reversed;
    reversed.places.assign(icons.icons.rbegin(), icons.icons.rend());
    checkPlan(reversed, icons.icons);
  }
  return 0;
}
