// Desktop icon arrangements: one per screen size, matched to the icons by label, kept in
// icons.cfg, and the decision when a changed screen size has settled.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "corvane/icon_wire.h"

struct IconPlace {
  std::u16string label;
  int32_t x = 0, y = 0;
};

struct IconLayout {
  int32_t width = 0, height = 0;
  std::vector<IconPlace> places;
};

using IconLayouts = std::vector<IconLayout>;

// The desktop as the shell's copy of Corvane reported it.
struct DesktopIcons {
  int32_t width = 0, height = 0;
  bool autoArrange = false;
  std::vector<IconPlace> icons;  // in the list view's order: the index is the item's
};

// False for bytes that are not a whole, well-formed list (`icons` is then left empty).
bool ParseIconList(std::string_view bytes, DesktopIcons& icons);

// The arrangement of `icons` becomes the one for their screen size, replacing an older one.
void RememberLayout(IconLayouts& layouts, const DesktopIcons& icons);
const IconLayout* LayoutFor(const IconLayouts& layouts, int32_t width, int32_t height);

// Where the icons must go to stand as in `layout`. Each remembered label is used once, in the
// order of the list, so icons of the same label keep their order; an icon the layout does not
// hold, and one already in place, is not moved.
std::vector<IconMove> PlanIconMoves(const IconLayout& layout, const std::vector<IconPlace>& icons);
std::string EncodeIconMoves(uint32_t itemCount, const std::vector<IconMove>& moves);

// icons.cfg: UTF-8 lines, CRLF. "[1920x1080]" opens the layout of a size; each of its lines
// is "x<TAB>y<TAB>label", the label with "\\" for a backslash and "\uXXXX" for a control
// character or a lone surrogate.
std::string EncodeIconLayouts(const IconLayouts& layouts);
// False for a file that is not wholly of that form; `layouts` is then empty.
bool DecodeIconLayouts(std::string_view bytes, IconLayouts& layouts);

// Fed the list view's size every second: true once, when a size other than the settled one has
// stayed the same for `settleTicks` ticks (the shell re-arranges for a while after a change).
class ScreenSizeWatch {
 public:
  explicit ScreenSizeWatch(int settleTicks = 2) : settleTicks_(settleTicks) {}
  bool Tick(int32_t width, int32_t height);

 private:
  int settleTicks_;
  bool started_ = false;
  int32_t settledWidth_ = 0, settledHeight_ = 0;
  int32_t seenWidth_ = 0, seenHeight_ = 0;
  int stableTicks_ = 0;
};
