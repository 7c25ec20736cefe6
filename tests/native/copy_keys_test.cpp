#include "actions/copy_keys.h"

#include <gtest/gtest.h>

namespace {

constexpr uint16_t kLShift = 0xA0, kLCtrl = 0xA2, kRCtrl = 0xA3, kLAlt = 0xA4, kLWin = 0x5B;

KeyEvent Down(uint16_t key, bool extended = false) { return {key, false, extended}; }
KeyEvent Up(uint16_t key, bool extended = false) { return {key, true, extended}; }

const std::vector<KeyEvent> kCtrlC = {Down(kLCtrl), Down('C'), Up('C'), Up(kLCtrl)};

TEST(CopyKeys, NothingHeldIsAPlainCtrlC) { EXPECT_EQ(CopyKeyEvents(0), kCtrlC); }

// Ctrl is let go first and a masking key goes between Alt's down and up, so no menu opens.
TEST(CopyKeys, HeldModifiersAreReleasedBeforeCtrlC) {
  const ModifierSet held = ModifierBit(LeftShift) | ModifierBit(RightCtrl) | ModifierBit(LeftAlt);
  std::vector<KeyEvent> expected = {Up(kRCtrl, true), Down(kMaskVirtualKey), Up(kMaskVirtualKey),
                                    Up(kLShift), Up(kLAlt)};
  expected.insert(expected.end(), kCtrlC.begin(), kCtrlC.end());
  EXPECT_EQ(CopyKeyEvents(held), expected);
}

TEST(CopyKeys, RestorePressesCtrlFirstAndMasksWindowsAndAlt) {
  EXPECT_TRUE(RestoreKeyEvents(0).empty());
  EXPECT_EQ(RestoreKeyEvents(ModifierBit(LeftWin) | ModifierBit(LeftCtrl)),
            (std::vector<KeyEvent>{Down(kLCtrl), Down(kLWin, true), Down(kMaskVirtualKey),
                                   Up(kMaskVirtualKey)}));
  EXPECT_EQ(RestoreKeyEvents(ModifierBit(LeftShift)), std::vector<KeyEvent>{Down(kLShift)});
}

TEST(CopyKeys, VirtualKeysNameOneOrBothSides) {
  EXPECT_EQ(ModifiersOfVirtualKey(kLAlt), ModifierBit(LeftAlt));
  EXPECT_EQ(ModifiersOfVirtualKey(0x11), ModifierBit(LeftCtrl) | ModifierBit(RightCtrl));
  EXPECT_EQ(ModifiersOfVirtualKey(0x5C), ModifierBit(RightWin));
  EXPECT_EQ(ModifiersOfVirtualKey('C'), 0);
}

TEST(CopyKeys, NeverIntoThisProgramTheDesktopOrTheTaskbar) {
  ForegroundFacts facts;
  EXPECT_FALSE(MayPressCopyKeys(facts)) << "no foreground window";
  facts.exists = true;
  facts.className = "Chrome_WidgetWin_1";
  EXPECT_TRUE(MayPressCopyKeys(facts));
  for (const char* shell : {"Progman", "WorkerW", "Shell_TrayWnd", "Shell_SecondaryTrayWnd"}) {
    ForegroundFacts other = facts;
    other.className = shell;
    EXPECT_FALSE(MayPressCopyKeys(other)) << shell;
  }
  ForegroundFacts own = facts;
  own.ownProcess = true;
  EXPECT_FALSE(MayPressCopyKeys(own));
  ForegroundFacts shellWindow = facts;
  shellWindow.shellWindow = true;
  EXPECT_FALSE(MayPressCopyKeys(shellWindow));
}

TEST(CopyKeys, TheCopyWaitKeepsTheCaptureWithinItsBudget) {
  EXPECT_EQ(CopyWaitMs(0), kCopyWaitMs);
  EXPECT_EQ(CopyWaitMs(kModifierReleaseWaitMs), kCaptureBudgetMs - kModifierReleaseWaitMs);
  EXPECT_EQ(CopyWaitMs(kCaptureBudgetMs - 50), kMinCopyWaitMs) << "a slow answer still gets a wait";
  EXPECT_EQ(CopyWaitMs(ElapsedMs(0xFFFFFFF0u, 0x10u)), kCopyWaitMs) << "the tick count wrapped";
}

}  // namespace
