#include "actions/copy_keys.h"

#include <gtest/gtest.h>

namespace {

constexpr uint16_t kLShift = 0xA0, kLCtrl = 0xA2, kRCtrl = 0xA3, kLAlt = 0xA4, kLWin = 0x5B;
constexpr KeyEvent kMaskDown{kMaskVirtualKey, false, false}, kMaskUp{kMaskVirtualKey, true, false};

using Keys = std::vector<KeyEvent>;
const Keys kCtrlC = {
    {kLCtrl, false, false}, {'C', false, false}, {'C', true, false}, {kLCtrl, true, false}};

// Ctrl is let go first and a masking key goes between Alt's down and up, so no menu opens.
TEST(CopyKeys, HeldModifiersAreReleasedBeforeAPlainCtrlC) {
  EXPECT_EQ(CopyKeyEvents(0), kCtrlC);
  Keys expected = {
      {kRCtrl, true, true}, kMaskDown, kMaskUp, {kLShift, true, false}, {kLAlt, true, false}};
  expected.insert(expected.end(), kCtrlC.begin(), kCtrlC.end());
  EXPECT_EQ(CopyKeyEvents(ModifierBit(LeftShift) | ModifierBit(RightCtrl) | ModifierBit(LeftAlt)),
            expected);
}

TEST(CopyKeys, RestorePressesCtrlFirstAndMasksWindowsAndAlt) {
  EXPECT_TRUE(RestoreKeyEvents(0).empty());
  EXPECT_EQ(RestoreKeyEvents(ModifierBit(LeftWin) | ModifierBit(LeftCtrl)),
            (Keys{{kLCtrl, false, false}, {kLWin, false, true}, kMaskDown, kMaskUp}));
  EXPECT_EQ(RestoreKeyEvents(ModifierBit(LeftShift)), (Keys{{kLShift, false, false}}));
}

TEST(CopyKeys, VirtualKeysNameOneOrBothSides) {
  EXPECT_EQ(ModifiersOfVirtualKey(kLAlt), ModifierBit(LeftAlt));
  EXPECT_EQ(ModifiersOfVirtualKey(0x11), ModifierBit(LeftCtrl) | ModifierBit(RightCtrl));
  EXPECT_EQ(ModifiersOfVirtualKey('C'), 0);
}

TEST(CopyKeys, NeverIntoThisProgramTheDesktopOrTheTaskbar) {
  EXPECT_FALSE(MayPressCopyKeys({})) << "no foreground window";
  const ForegroundFacts browser{true, false, false, "Chrome_WidgetWin_1"};
  EXPECT_TRUE(MayPressCopyKeys(browser));
  EXPECT_FALSE(MayPressCopyKeys({true, true, false, "Chrome_WidgetWin_1"})) << "this program";
  EXPECT_FALSE(MayPressCopyKeys({true, false, true, "Chrome_WidgetWin_1"})) << "shell window";
  for (const char* shell : {"Progman", "WorkerW", "Shell_TrayWnd", "Shell_SecondaryTrayWnd"}) {
    EXPECT_FALSE(MayPressCopyKeys({true, false, false, shell})) << shell;
  }
}

TEST(CopyKeys, TheCopyWaitKeepsTheCaptureWithinItsBudget) {
  EXPECT_EQ(CopyWaitMs(0), kCopyWaitMs);
  EXPECT_EQ(CopyWaitMs(kModifierReleaseWaitMs), kCaptureBudgetMs - kModifierReleaseWaitMs);
  EXPECT_EQ(CopyWaitMs(kCaptureBudgetMs - 50), kMinCopyWaitMs) << "a slow answer still gets a wait";
  EXPECT_EQ(CopyWaitMs(ElapsedMs(0xFFFFFFF0u, 0x10u)), kCopyWaitMs) << "the tick count wrapped";
}

}  // namespace
