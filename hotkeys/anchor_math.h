// How an anchored control's rectangle follows a change of its dialog's client size.
#pragma once

#include <cstdint>

constexpr uint32_t kAnchorLeft = 0x1;
constexpr uint32_t kAnchorRight = 0x2;
constexpr uint32_t kAnchorTop = 0x4;
constexpr uint32_t kAnchorBottom = 0x8;

struct AnchorRect {
  int32_t left, top, right, bottom;
  bool operator==(const AnchorRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

// 0x2 moves the right edge by dx (and the left edge too unless 0x1); 0x8 likewise for the
// bottom with dy (and the top unless 0x4).
AnchorRect AnchoredRect(AnchorRect rect, uint32_t flags, int32_t dx, int32_t dy);
