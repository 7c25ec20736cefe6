// icons.cfg and the shell's icon list take any bytes: what the file reader makes of them writes
// back to bytes it reads the same again, every layout Remember accepts is read back whole, and a
// plan never points outside the list.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "actions/desktop_icons/icon_layouts.h"

namespace {

// The first byte counts monitors (up to 3) of 5 int32 each; the rest is the shell's icon list.
void RememberedIsReadBack(std::string_view bytes) {
  if (bytes.empty()) return;
  Monitors monitors(static_cast<unsigned char>(bytes[0]) % 4);
  bytes.remove_prefix(1);
  for (Monitor& monitor : monitors) {
    int32_t values[5];
    if (bytes.size() < sizeof values) return;
    std::memcpy(values, bytes.data(), sizeof values);
    bytes.remove_prefix(sizeof values);
    monitor.area = {values[0], values[1], values[2], values[3]};
    monitor.dpi = static_cast<uint32_t>(values[4]);
  }
  DesktopIcons icons;
  IconLayouts layouts;
  if (!ParseIconList(bytes, icons) || !RememberLayout(layouts, monitors, icons)) return;
  IconLayouts read;
  if (!DecodeIconLayouts(EncodeIconLayouts(layouts), read)) std::abort();
  const IconLayout* layout = LayoutFor(read, monitors);
  if (!layout || !SamePlaces(layout->places, icons.icons)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  IconLayouts first;
  const bool whole = DecodeIconLayouts(bytes, first);
  const std::string written = EncodeIconLayouts(first);
  IconLayouts second;
  if (DecodeIconLayouts(written, second) != whole || EncodeIconLayouts(second) != written) {
    std::abort();
  }
  const std::vector<ScreenRect> anywhere{{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}};
  auto checkPlan = [&](const IconLayout& layout, const std::vector<IconPlace>& icons) {
    for (const IconMove& move : PlanIconMoves(layout, icons, anywhere)) {
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
  RememberedIsReadBack(bytes);
  return 0;
}
