// The monitors a desktop icon layout was made for: where each lies on the virtual screen and
// its scaling. Two sets are the same when they hold the same monitors, in whatever order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct ScreenRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct Monitor {
  ScreenRect area;  // physical pixels of the virtual screen
  uint32_t dpi = 0;
  ScreenRect work;  // the area less the taskbar and docked bars; not part of the set's identity
};

using Monitors = std::vector<Monitor>;

// No desktop has more; a longer list is not taken as a set.
constexpr size_t kMaxMonitors = 64;

// At least one monitor, none empty, none with an unknown scaling, none reaching past int32.
bool IsUsableMonitorSet(const Monitors& monitors);
// The areas and scalings in a fixed order (work areas cleared), for comparing and writing.
Monitors CanonicalMonitorSet(Monitors monitors);
bool SameMonitorSet(const Monitors& a, const Monitors& b);
// The width and height of the rectangle that holds every monitor.
void BoundingSize(const Monitors& monitors, int64_t& width, int64_t& height);

// "0,0 1920x1080 96dpi; 1920,-200 1280x1024 120dpi", canonical order.
std::string FormatMonitorSet(const Monitors& monitors);
// False unless `text` is wholly of that form (any order) and describes a usable set.
bool ParseMonitorSet(std::string_view text, Monitors& monitors);
// Decimal digits, with a leading '-' where `allowSign`, fitting int32.
bool ParseInt32(std::string_view text, bool allowSign, int32_t& value);
