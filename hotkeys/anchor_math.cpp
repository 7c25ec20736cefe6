#include "hotkeys/anchor_math.h"

AnchorRect AnchoredRect(AnchorRect rect, uint32_t flags, int32_t dx, int32_t dy) {
  if (flags & kAnchorRight) {
    rect.right += dx;
    if (!(flags & kAnchorLeft)) rect.left += dx;
  }
  if (flags & kAnchorBottom) {
    rect.bottom += dy;
    if (!(flags & kAnchorTop)) rect.top += dy;
  }
  return rect;
}
