#include "actions/desktop_icons/monitor_set.h"

#include <algorithm>
#include <limits>
#include <tuple>

namespace {

constexpr size_t kMaxDigits = 10;
constexpr std::string_view kSeparator = "; ";

auto Identity(const Monitor& monitor) {
  const ScreenRect& area = monitor.area;
  return std::make_tuple(area.left, area.top, area.right, area.bottom, monitor.dpi);
}

bool IsUsableMonitor(const Monitor& monitor) {
  constexpr int64_t kLargest = std::numeric_limits<int32_t>::max();
  const ScreenRect& area = monitor.area;
  const int64_t width = int64_t{area.right} - area.left, height = int64_t{area.bottom} - area.top;
  return width > 0 && width <= kLargest && height > 0 && height <= kLargest && monitor.dpi > 0 &&
         monitor.dpi <= kLargest;
}

// "X,Y WxH Ndpi"
bool ParseMonitor(std::string_view text, Monitor& monitor) {
  const size_t comma = text.find(',');
  const size_t space = text.find(' ');
  const size_t cross = text.find('x', space == std::string_view::npos ? 0 : space);
  const size_t lastSpace = text.rfind(' ');
  if (comma == std::string_view::npos || space == std::string_view::npos || comma > space ||
      cross == std::string_view::npos || lastSpace <= cross || text.size() < lastSpace + 4 ||
      text.substr(text.size() - 3) != "dpi") {
    return false;
  }
  int32_t left = 0, top = 0, width = 0, height = 0, dpi = 0;
  if (!ParseInt32(text.substr(0, comma), true, left) ||
      !ParseInt32(text.substr(comma + 1, space - comma - 1), true, top) ||
      !ParseInt32(text.substr(space + 1, cross - space - 1), false, width) ||
      !ParseInt32(text.substr(cross + 1, lastSpace - cross - 1), false, height) ||
      !ParseInt32(text.substr(lastSpace + 1, text.size() - lastSpace - 4), false, dpi)) {
    return false;
  }
  const int64_t right = int64_t{left} + width, bottom = int64_t{top} + height;
  if (right > std::numeric_limits<int32_t>::max() || bottom > std::numeric_limits<int32_t>::max()) {
    return false;
  }
  monitor = Monitor();
  monitor.area = {left, top, static_cast<int32_t>(right), static_cast<int32_t>(bottom)};
  monitor.dpi = static_cast<uint32_t>(dpi);
  return IsUsableMonitor(monitor);
}

}  // namespace

bool IsUsableMonitorSet(const Monitors& monitors) {
  return !monitors.empty() && monitors.size() <= kMaxMonitors &&
         std::all_of(monitors.begin(), monitors.end(), IsUsableMonitor);
}

Monitors CanonicalMonitorSet(Monitors monitors) {
  for (Monitor& monitor : monitors) monitor.work = ScreenRect();
  std::sort(monitors.begin(), monitors.end(),
            [](const Monitor& a, const Monitor& b) { return Identity(a) < Identity(b); });
  return monitors;
}

bool SameMonitorSet(const Monitors& a, const Monitors& b) {
  if (a.size() != b.size()) return false;
  const Monitors first = CanonicalMonitorSet(a), second = CanonicalMonitorSet(b);
  for (size_t i = 0; i < first.size(); ++i) {
    if (Identity(first[i]) != Identity(second[i])) return false;
  }
  return true;
}

void BoundingSize(const Monitors& monitors, int64_t& width, int64_t& height) {
  width = height = 0;
  if (monitors.empty()) return;
  ScreenRect box = monitors.front().area;
  for (const Monitor& monitor : monitors) {
    box.left = std::min(box.left, monitor.area.left);
    box.top = std::min(box.top, monitor.area.top);
    box.right = std::max(box.right, monitor.area.right);
    box.bottom = std::max(box.bottom, monitor.area.bottom);
  }
  width = int64_t{box.right} - box.left;
  height = int64_t{box.bottom} - box.top;
}

std::string FormatMonitorSet(const Monitors& monitors) {
  std::string text;
  for (const Monitor& monitor : CanonicalMonitorSet(monitors)) {
    const ScreenRect& area = monitor.area;
    if (!text.empty()) text += kSeparator;
    text += std::to_string(area.left) + "," + std::to_string(area.top) + " " +
            std::to_string(int64_t{area.right} - area.left) + "x" +
            std::to_string(int64_t{area.bottom} - area.top) + " " + std::to_string(monitor.dpi) +
            "dpi";
  }
  return text;
}

bool ParseMonitorSet(std::string_view text, Monitors& monitors) {
  Monitors read;
  while (read.size() <= kMaxMonitors) {
    const size_t end = text.find(kSeparator);
    Monitor monitor;
    if (!ParseMonitor(text.substr(0, end), monitor)) return false;
    read.push_back(monitor);
    if (end == std::string_view::npos) {
      if (!IsUsableMonitorSet(read)) return false;
      monitors = CanonicalMonitorSet(std::move(read));
      return true;
    }
    text.remove_prefix(end + kSeparator.size());
  }
  return false;
}

bool ParseInt32(std::string_view text, bool allowSign, int32_t& value) {
  bool negative = false;
  if (allowSign && !text.empty() && text[0] == '-') {
    negative = true;
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > kMaxDigits) return false;
  int64_t number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + (c - '0');
  }
  if (negative) number = -number;
  if (number < std::numeric_limits<int32_t>::min() ||
      number > std::numeric_limits<int32_t>::max()) {
    return false;
  }
  value = static_cast<int32_t>(number);
  return true;
}
