// Screen-saver suppression of the running Tavolet seen from outside: the hook's answers in
// this process (which Lintrel's system-wide hook reaches too), the tray icon.
#include <windows.h>
#include <gtest/gtest.h>

#include <vector>

#include "tests/e2e/e2e_support.h"
#include "tests/support/cbt_observer.h"
#include "tests/support/screen_capture.h"
#include "tests/support/tavolet_process.h"
#include "tests/support/win_test_support.h"

namespace {

constexpr WPARAM kScreenSave = 0xF140, kMonitorPower = 0xF170;

// Red pixels in the notification area: icon 135 is a yellow figure on red, icon 128 has none.
int RedPixelsInTray() {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  return CountPixels(RECT{width - 200, height - 40, width, height}, RGB(255, 0, 0));
}

class LintrelE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateWindowExA(0, "STATIC", "suppression probe", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                              nullptr, nullptr, nullptr, nullptr);
  }
  void TearDown() override {
    if (tavolet_.MainWindow() && Suppressed()) Click();
    if (tavolet_.MainWindow()) {
      EXPECT_EQ(tavolet_.ExitFromMenu(), 0u);
    }
    DestroyWindow(window_);
  }
  void StartWith(const std::vector<KeyRecord>& entries) {
    ASSERT_TRUE(WriteBytes(folder_.File("key.cfg"), KeyFile(entries)));
    ASSERT_TRUE(tavolet_.Start(folder_.Path()));
    ASSERT_TRUE(tavolet_.WaitUntilReady());
  }
  // Whether the system hook refuses the screen saver here.
  bool Suppressed() {
    CbtObserver observer;
    return observer.AnswerTo(window_, kScreenSave) == 1;
  }
  void Click() {
    const bool before = Suppressed();
    PostMessageA(tavolet_.MainWindow(), kTrayNotify, 0, WM_LBUTTONDOWN);
    WaitFor([&] { return Suppressed() != before; }, 5000);
  }

  TempFolder folder_;
  TavoletProcess tavolet_;
  HWND window_ = nullptr;
};

TEST_F(LintrelE2E, IconClickAndHotKeySwitchSuppressionAndTheIcon) {
  KeyRecord toggle = Record(VK_F5, "");
  toggle.actionType = 14;
  StartWith({toggle});
  CbtObserver observer;
  EXPECT_EQ(observer.AnswerTo(window_, kScreenSave), 0);
  EXPECT_EQ(RedPixelsInTray(), 0) << "icon 128";

  Click();
  EXPECT_EQ(observer.AnswerTo(window_, kScreenSave), 1) << "refused in this process too";
  EXPECT_EQ(observer.AnswerTo(window_, kMonitorPower), 1);
  EXPECT_TRUE(WaitFor([] { return RedPixelsInTray() > 50; }, 3000)) << "icon 135";
  SaveScreenshot(ScreenshotPath("suppression_on"));

  PostMessageA(tavolet_.MainWindow(), WM_HOTKEY, 1, 0);
  EXPECT_TRUE(WaitFor([&] { return !Suppressed(); }, 5000)) << "the hot key";
  EXPECT_TRUE(WaitFor([] { return RedPixelsInTray() == 0; }, 3000)) << "icon 128 again";
}

TEST_F(LintrelE2E, ASecondStartLeavesSuppressionAndHookAlone) {
  StartWith({});
  Click();
  ASSERT_TRUE(Suppressed());
  TavoletProcess second;
  ASSERT_TRUE(second.Start(folder_.Path()));
  EXPECT_EQ(second.WaitForExit(5000), 1u);
  EXPECT_TRUE(Suppressed()) << "the hook still works, still on";
  EXPECT_GT(RedPixelsInTray(), 50) << "icon 135 stays";
}

// The state stays while some process keeps the library (the shell does): the next start
// takes suppression up again, and is switched off here so later tests begin without it.
TEST_F(LintrelE2E, ExitReleasesTheHookAndTheNextStartKeepsTheState) {
  StartWith({});
  Click();
  ASSERT_TRUE(Suppressed());
  EXPECT_EQ(tavolet_.ExitFromMenu(), 0u);
  EXPECT_FALSE(Suppressed()) << "no hook, though the state stays on";
  TavoletProcess next;
  ASSERT_TRUE(next.Start(folder_.Path()));
  ASSERT_TRUE(next.WaitUntilReady());
  EXPECT_TRUE(Suppressed()) << "taken up again";
  EXPECT_TRUE(WaitFor([] { return RedPixelsInTray() > 50; }, 3000)) << "with icon 135";
  PostMessageA(next.MainWindow(), kTrayNotify, 0, WM_LBUTTONDOWN);
  EXPECT_TRUE(WaitFor([&] { return !Suppressed(); }, 5000));
  EXPECT_EQ(next.ExitFromMenu(), 0u);
}

}  // namespace
