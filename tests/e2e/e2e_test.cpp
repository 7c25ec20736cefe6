// Tavolet.exe started in a fresh folder and driven from outside: its files, its icon, its
// menu and its answers to the messages the shell and the system send it.
#include <windows.h>
#include <shellapi.h>
#include <gtest/gtest.h>

#include "tests/e2e/e2e_support.h"
#include "tests/support/screen_capture.h"
#include "tests/support/tavolet_process.h"
#include "tests/support/win_test_support.h"

namespace {

const std::vector<KeyRecord> kThree = {Record(VK_F5, "first"), Record(VK_F6, "second"),
                                       Record(VK_F7, "third")};
const std::vector<KeyRecord> kThreeReversed = {kThree[2], kThree[1], kThree[0]};

class TavoletE2E : public ::testing::Test {
 protected:
  void StartAndWaitForIcon() {
    ASSERT_TRUE(tavolet_.Start(folder_.Path()));
    ASSERT_TRUE(tavolet_.WaitUntilReady()) << "no icon in the notification area";
  }
  std::string KeyCfg() const { return ReadBytes(folder_.File("key.cfg")); }

  TempFolder folder_;
  TavoletProcess tavolet_;
};

TEST_F(TavoletE2E, ExitFromTheMenuWritesKeyCfgReversedAndRemovesTheIcon) {
  ASSERT_TRUE(WriteBytes(folder_.File("key.cfg"), KeyFile(kThree)));
  StartAndWaitForIcon();
  SaveScreenshot(ScreenshotPath("desktop_with_icon"));
  EXPECT_EQ(KeyCfg(), KeyFile(kThree)) << "nothing is written while running";
  HWND main = tavolet_.MainWindow();
  EXPECT_FALSE(IsWindowVisible(main)) << "the main dialog stays hidden";
  EXPECT_TRUE(GetWindowLongPtrA(main, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_EQ(tavolet_.ExitFromMenu(), 0u);
  EXPECT_EQ(KeyCfg(), KeyFile(kThreeReversed));
  EXPECT_FALSE(TrayIconPresent(main, 0));
  EXPECT_FALSE(FileExists(folder_.File("key.cfg.tmp")));
}

TEST_F(TavoletE2E, WithoutKeyCfgExitCreatesTheEmptyFile) {
  StartAndWaitForIcon();
  EXPECT_FALSE(FileExists(folder_.File("key.cfg")));
  EXPECT_EQ(tavolet_.ExitFromMenu(), 0u);
  bool exists = false;
  EXPECT_EQ(ReadBytes(folder_.File("key.cfg"), &exists), std::string(4, '\0'));
  EXPECT_TRUE(exists);
}

TEST_F(TavoletE2E, SecondStartEndsAtOnceAndLeavesTheFirstAlone) {
  ASSERT_TRUE(WriteBytes(folder_.File("key.cfg"), KeyFile(kThree)));
  StartAndWaitForIcon();
  TavoletProcess second;
  const DWORD started = GetTickCount();
  ASSERT_TRUE(second.Start(folder_.Path()));
  EXPECT_EQ(second.WaitForExit(5000), 1u) << "a refused start ends with code 1";
  EXPECT_LT(GetTickCount() - started, 2000u) << "refused before the start-up pause";
  EXPECT_TRUE(WindowsOfProcess(second.Id(), "").empty());
  EXPECT_EQ(KeyCfg(), KeyFile(kThree));
  EXPECT_TRUE(TrayIconPresent(tavolet_.MainWindow(), 0)) << "the first copy keeps its icon";
  EXPECT_EQ(tavolet_.ExitFromMenu(), 0u);
  EXPECT_EQ(KeyCfg(), KeyFile(kThreeReversed));
}

TEST_F(TavoletE2E, RightButtonOnTheIconOpensTheMenuWhoseLastItemQuits) {
  ASSERT_TRUE(WriteBytes(folder_.File("key.cfg"), KeyFile(kThree)));
  StartAndWaitForIcon();
  PostMessageA(tavolet_.MainWindow(), kTrayNotify, 0, WM_RBUTTONDOWN);
  HWND menu = nullptr;
  ASSERT_TRUE(WaitFor(
      [&] {
        const auto menus = WindowsOfProcess(tavolet_.Id(), "#32768");
        for (HWND m : menus) {
          if (IsWindowVisible(m)) menu = m;
        }
        return menu != nullptr;
      },
      5000))
      << "no pop-up menu";
  Sleep(300);
  SaveWindowScreenshot(ScreenshotPath("tray_menu"), menu);
  RECT r;
  GetWindowRect(menu, &r);
  EXPECT_GT(r.bottom - r.top, 3 * 10) << "room for three items and a separator";
  // Up from no selection lands on the last item, "終了".
  PostMessageA(menu, WM_KEYDOWN, VK_UP, 0);
  PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(tavolet_.WaitForExit(10000), 0u);
  EXPECT_EQ(KeyCfg(), KeyFile(kThreeReversed));
}

TEST_F(TavoletE2E, EndOfSessionQueryWritesKeyCfgAndALaterExitKeepsIt) {
  ASSERT_TRUE(WriteBytes(folder_.File("key.cfg"), KeyFile(kThree)));
  StartAndWaitForIcon();
  DWORD_PTR answer = 0;
  ASSERT_TRUE(SendMessageTimeoutA(tavolet_.MainWindow(), WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL,
                                  5000, &answer));
  EXPECT_EQ(answer, 1u) << "the end of the session is allowed";
  EXPECT_EQ(KeyCfg(), KeyFile(kThreeReversed));
  // The log-off was cancelled: Tavolet runs on without hot keys and keeps that file at exit.
  EXPECT_TRUE(TrayIconPresent(tavolet_.MainWindow(), 0));
  HWND probe = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  EXPECT_TRUE(RegisterHotKey(probe, 1, kAllModifiers, VK_F5)) << "hot keys were released";
  UnregisterHotKey(probe, 1);
  DestroyWindow(probe);
  EXPECT_EQ(tavolet_.ExitFromMenu(), 0u);
  EXPECT_EQ(KeyCfg(), KeyFile(kThreeReversed));
}

TEST_F(TavoletE2E, HotKeysAreHeldWhileRunningAndReleasedAtExit) {
  ASSERT_TRUE(WriteBytes(folder_.File("key.cfg"), KeyFile(kThree)));
  StartAndWaitForIcon();
  HWND probe = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  for (UINT key : {VK_F5, VK_F6, VK_F7}) {
    EXPECT_FALSE(RegisterHotKey(probe, 1, kAllModifiers, key)) << key;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_HOTKEY_ALREADY_REGISTERED));
  }
  EXPECT_EQ(tavolet_.ExitFromMenu(), 0u);
  for (UINT key : {VK_F5, VK_F6, VK_F7}) {
    EXPECT_TRUE(RegisterHotKey(probe, 1, kAllModifiers, key)) << key;
    UnregisterHotKey(probe, 1);
  }
  DestroyWindow(probe);
}

TEST_F(TavoletE2E, HotKeyWithAnUnknownIdChangesNothing) {
  ASSERT_TRUE(WriteBytes(folder_.File("key.cfg"), KeyFile(kThree)));
  StartAndWaitForIcon();
  PostMessageA(tavolet_.MainWindow(), WM_HOTKEY, 99, MAKELPARAM(kAllModifiers, VK_F12));
  PostMessageA(tavolet_.MainWindow(), WM_HOTKEY, 0, 0);
  EXPECT_EQ(tavolet_.WaitForExit(500), static_cast<DWORD>(STILL_ACTIVE));
  EXPECT_EQ(KeyCfg(), KeyFile(kThree));
  EXPECT_TRUE(TrayIconPresent(tavolet_.MainWindow(), 0));
  EXPECT_EQ(tavolet_.ExitFromMenu(), 0u);
  EXPECT_EQ(KeyCfg(), KeyFile(kThreeReversed));
}

TEST_F(TavoletE2E, IconComesBackAfterTaskbarCreatedOnly) {
  StartAndWaitForIcon();
  HWND main = tavolet_.MainWindow();
  NOTIFYICONDATAA lost{};
  lost.cbSize = NOTIFYICONDATAA_V1_SIZE;
  lost.hWnd = main;
  ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &lost)) << "the shell forgets the icon";
  EXPECT_FALSE(TrayIconPresent(main, 0));
  // Another program's registered message must not touch the icon.
  SendMessageA(main, RegisterWindowMessageA("TavoletTestSomeOtherBroadcast"), 0, 0);
  EXPECT_FALSE(TrayIconPresent(main, 0));
  SendMessageA(main, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  EXPECT_TRUE(WaitFor([&] { return TrayIconPresent(main, 0); }, 3000));
  SaveScreenshot(ScreenshotPath("icon_after_taskbar_created"));
  EXPECT_EQ(tavolet_.ExitFromMenu(), 0u);
}

TEST_F(TavoletE2E, ActivatingTheMainDialogHidesItAgain) {
  StartAndWaitForIcon();
  HWND main = tavolet_.MainWindow();
  ShowWindow(main, SW_SHOWNORMAL);
  SendMessageA(main, WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_FALSE(IsWindowVisible(main));
  EXPECT_TRUE(GetWindowLongPtrA(main, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_FALSE(GetWindowLongPtrA(main, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  EXPECT_TRUE(GetWindowLongPtrA(main, GWL_STYLE) & WS_MINIMIZE);
  EXPECT_EQ(tavolet_.ExitFromMenu(), 0u);
}

TEST_F(TavoletE2E, SystemMenuAboutItemOpensTheAboutBox) {
  StartAndWaitForIcon();
  PostMessageA(tavolet_.MainWindow(), WM_SYSCOMMAND, 0x0010, 0);
  HWND about = nullptr;
  ASSERT_TRUE(WaitFor(
      [&] {
        for (HWND w : WindowsOfProcess(tavolet_.Id(), "#32770")) {
          if (w != tavolet_.MainWindow() && IsWindowVisible(w)) about = w;
        }
        return about != nullptr;
      },
      5000));
  char caption[64] = "";
  GetWindowTextA(about, caption, sizeof caption);
  EXPECT_STREQ(caption, "Tavoletのﾊﾞｰｼﾞｮﾝ情報");
  char text[64] = "";
  GetWindowTextA(GetDlgItem(about, 1001), text, sizeof text);
  EXPECT_STREQ(text, "Tavolet Version 1.0");
  Sleep(300);
  SaveWindowScreenshot(ScreenshotPath("about_box"), about);
  PostMessageA(about, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(about); }, 5000));
  EXPECT_EQ(tavolet_.ExitFromMenu(), 0u);
}

}  // namespace
