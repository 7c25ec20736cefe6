// The icon keeper through Corvane on a list view of its own thread, with the monitors handed in:
// Wine's desktop has one monitor, so two sets of one bounding box are made up here.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "actions/desktop_icons/desktop_icons.h"
#include "tests/support/desktop_thread.h"
#include "tests/support/win_test_support.h"

namespace {

Monitor Screen(int32_t left, int32_t width) {
  Monitor monitor;
  monitor.area = monitor.work = {left, 0, left + width, 200};
  monitor.dpi = 96;
  return monitor;
}

void MoveIcon(HWND list, int index, POINT at) {
  SendMessageW(list, LVM_SETITEMPOSITION, index, MAKELPARAM(at.x, at.y));
}

bool IconAt(HWND list, int index, POINT at) {
  POINT position{-1, -1};
  SendMessageW(list, LVM_GETITEMPOSITION, index, reinterpret_cast<LPARAM>(&position));
  return position.x == at.x && position.y == at.y;
}

// The second monitor moved from the right to the left: the bounding box stays 200 x 200.
TEST(IconKeeper, TwoSetsOfOneBoundingBoxKeepTheirOwnLayoutsAndComeBackByThemselves) {
  const Monitors wideLeft{Screen(0, 120), Screen(120, 80)};
  const Monitors wideRight{Screen(0, 80), Screen(80, 120)};
  DesktopThread desktop;
  const HWND list = desktop.list();
  AddLabel(list, L"a");
  AddLabel(list, L"b");
  CDesktopHook corvane;
  ASSERT_TRUE(corvane.Init());
  TempFolder folder;
  Monitors monitors = wideLeft;
  DesktopIconKeeper keeper([&] { return monitors; });
  keeper.Load(folder.File("icons.cfg"));
  auto settle = [&] {
    for (int tick = 0; tick < 3; ++tick) keeper.WatchMonitors(corvane);
  };
  settle();
  MoveIcon(list, 0, {10, 10});
  MoveIcon(list, 1, {130, 10});
  ASSERT_TRUE(keeper.Remember(corvane));
  monitors = wideRight;
  settle();
  MoveIcon(list, 0, {90, 50});
  MoveIcon(list, 1, {20, 50});
  ASSERT_TRUE(keeper.Remember(corvane));
  monitors = wideLeft;
  settle();
  EXPECT_TRUE(IconAt(list, 0, {10, 10}) && IconAt(list, 1, {130, 10}));
  monitors = wideRight;
  settle();
  EXPECT_TRUE(IconAt(list, 0, {90, 50}) && IconAt(list, 1, {20, 50}));
  const std::string file = ReadBytes(folder.File("icons.cfg"));
  EXPECT_NE(file.find("[monitors 0,0 80x200 96dpi; 80,0 120x200 96dpi]"), std::string::npos);
  EXPECT_NE(file.find("[monitors 0,0 120x200 96dpi; 120,0 80x200 96dpi]"), std::string::npos);
  EXPECT_TRUE(corvane.Release());
}

}  // namespace
