// Desktop icon arrangements: one per set of monitors, matched to the icons by label, kept in
// icons.cfg, and the decision when a changed set of monitors has settled.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "actions/desktop_icons/monitor_set.h"
#include "corvane/icon_wire.h"

struct IconPlace {
  std::u16string label;
  int32_t x = 0, y = 0;
};

// A line of icons.cfg that could not be read, written back as it was.
struct KeptLine {
  size_t before = 0;  // the number of places its section read before it
  std::string text;
};

enum class LayoutKey {
  Monitors,          // the layout of a set of monitors
  PreviousMonitors,  // the one it replaced, kept a step back
  ScreenSize,        // an older file's: the desktop's size, for the sets that size holds
  Unreadable,        // a section that could not be read, kept whole
};

struct IconLayout {
  LayoutKey key = LayoutKey::Monitors;
  Monitors monitors;              // Monitors, PreviousMonitors
  int32_t width = 0, height = 0;  // ScreenSize
  std::vector<IconPlace> places;
  std::string header;  // Unreadable: its first line; empty for lines before any section
  std::vector<KeptLine> keptLines;
};

using IconLayouts = std::vector<IconLayout>;

// The desktop as the shell's copy of Corvane reported it.
struct DesktopIcons {
  int32_t width = 0, height = 0;
  bool autoArrange = false;
  std::vector<IconPlace> icons;  // in the list view's order: the index is the item's
};

// The same labels at the same positions, in the same order.
bool SamePlaces(const std::vector<IconPlace>& a, const std::vector<IconPlace>& b);

// False for bytes that are not a whole, well-formed list (`icons` is then left empty).
bool ParseIconList(std::string_view bytes, DesktopIcons& icons);

// The arrangement of `icons` becomes the one for `monitors`; the one it replaces is kept a step
// back, and an older step is dropped. Refused (false, nothing changed) for a desktop with no
// size or no icons and for a list of monitors that is not a usable set.
bool RememberLayout(IconLayouts& layouts, const Monitors& monitors, const DesktopIcons& icons);
// The layout of that set; else an older file's for a desktop of the set's bounding size.
const IconLayout* LayoutFor(const IconLayouts& layouts, const Monitors& monitors);

// Where the icons must go to stand as in `layout`. Each remembered label is used once, in the
// order of the list, so icons of the same label keep their order; an icon the layout does not
// hold, one already in place, and one whose place lies in none of `workAreas` (the list view's
// coordinates) is not moved.
std::vector<IconMove> PlanIconMoves(const IconLayout& layout, const std::vector<IconPlace>& icons,
                                    const std::vector<ScreenRect>& workAreas);
std::string EncodeIconMoves(uint32_t itemCount, const std::vector<IconMove>& moves);

// icons.cfg: UTF-8 lines, CRLF. "[monitors 0,0 1920x1080 96dpi; ...]" opens the layout of a
// set of monitors, "[previous monitors ...]" the one it replaced, and an older file's
// "[1920x1080]" the layout of a desktop size; each of their lines is "x<TAB>y<TAB>label", the
// label with "\\" for a backslash and "\uXXXX" for a control character or a lone surrogate.
std::string EncodeIconLayouts(const IconLayouts& layouts);
// Reads every section and line it can; the others are kept where they stood, to be written back
// as they were. False when anything had to be kept so.
bool DecodeIconLayouts(std::string_view bytes, IconLayouts& layouts);

// Fed the monitors every second. Once a set other than the settled one has stayed for
// `settleTicks` ticks (the shell re-arranges for a while after a change), a tick asks for a
// restore, and every later one asks again, at most `tries` times in all, until Restored() or
// the set changes.
class MonitorWatch {
 public:
  explicit MonitorWatch(int settleTicks = 2, int tries = 20)
      : settleTicks_(settleTicks), tries_(tries) {}
  bool Tick(const Monitors& monitors);
  void Restored() { triesLeft_ = 0; }

 private:
  int settleTicks_;
  int tries_;
  bool started_ = false;
  Monitors settled_, seen_;
  int stableTicks_ = 0;
  int triesLeft_ = 0;
};
