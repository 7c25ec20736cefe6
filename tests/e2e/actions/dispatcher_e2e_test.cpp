// The kinds the dispatcher carries out itself, and what every key goes through: messages to the
// foreground window, system parameters, the boss key against a hung window, a flood of keys.
#include "tests/e2e/actions/actions_e2e.h"

namespace {

// A window that stops answering holds Tavolet up for a bounded time only.
TEST_F(ActionsE2E, AHungWindowCannotHoldTheBossKeyOrTheBringBack) {
  KeyRecord run = Entry(1, VK_F5);
  run.target = recorder_;
  run.singleInstance = 1;
  KeyRecord parameter = Entry(13, VK_F7);
  parameter.param2 = SPI_SETSCREENSAVEACTIVE;
  parameter.param1 = 0;
  StartWith({run, Entry(6, VK_F6), parameter});
  SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, nullptr, 0);
  Press(1);
  HWND window = WaitForRecorderWindow();
  ASSERT_NE(window, nullptr);
  Sleep(600);  // Tavolet's own wait after the start
  PostMessageA(window, kRecorderStall, 15000, 0);
  const DWORD start = GetTickCount();
  Press(1);  // bring-back: SC_RESTORE to the hung window
  Press(2);  // boss key: SC_MINIMIZE to it
  Press(3);
  EXPECT_TRUE(WaitFor([] { return !ScreenSaverActive(); }, 10000))
      << "the next hot key still works";
  EXPECT_LT(GetTickCount() - start, 7000u) << "two bounded waits of 2 s, not the 15 s stall";
  DWORD_PTR answer = 0;
  EXPECT_TRUE(
      SendMessageTimeoutA(tavolet_.MainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 3000, &answer));
  Press(2);  // the boss key gives the levels back
  SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, nullptr, 0);
}

TEST_F(ActionsE2E, MessagesGoToTheForegroundWindowAndItsThread) {
  KeyRecord toWindow = Entry(4, VK_F5);
  toWindow.message = kRecorderMessage;
  toWindow.wParam = 0x1234;
  toWindow.lParam = 0x5678;
  KeyRecord toThread = toWindow;
  toThread.actionType = 5;
  toThread.message = kRecorderMessage + 1;
  StartWith({toWindow, toThread});
  HWND own = ForegroundOwnWindow();
  ASSERT_EQ(GetForegroundWindow(), own);
  Press(1);
  MSG received{};
  ASSERT_TRUE(WaitForOwnMessage(kRecorderMessage, received));
  EXPECT_EQ(received.hwnd, own);
  EXPECT_EQ(received.wParam, 0x1234u);
  EXPECT_EQ(received.lParam, 0x5678);
  Press(2);
  ASSERT_TRUE(WaitForOwnMessage(kRecorderMessage + 1, received));
  EXPECT_EQ(received.hwnd, nullptr) << "a thread message";
  EXPECT_EQ(received.wParam, 0x1234u);
}

TEST_F(ActionsE2E, SystemParameterSwitchesTheScreenSaver) {
  KeyRecord off = Entry(13, VK_F5);
  off.param2 = SPI_SETSCREENSAVEACTIVE;
  off.param1 = 0;
  KeyRecord on = off;
  on.param1 = 1;
  StartWith({off, on});
  Press(1);
  EXPECT_TRUE(WaitFor([] { return !ScreenSaverActive(); }, 5000));
  Press(2);
  EXPECT_TRUE(WaitFor(ScreenSaverActive, 5000));
}

// A flood of hot keys leaves Tavolet responsive and its handle and object counts where they
// started.
TEST_F(ActionsE2E, FiveThousandHotKeysLeakNothing) {
  KeyRecord post = Entry(4, VK_F5);
  post.message = kRecorderMessage;
  KeyRecord translucent = Entry(12, VK_F8);
  translucent.param1 = 255;
  KeyRecord parameter = Entry(13, VK_F9);
  parameter.param2 = SPI_SETSCREENSAVEACTIVE;
  parameter.param1 = 1;
  KeyRecord done = Entry(4, VK_F11);
  done.message = kRecorderMessage + 2;
  StartWith({post, Entry(10, VK_F6), Entry(11, VK_F7), translucent, parameter, done});
  ForegroundOwnWindow();
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, tavolet_.Id());
  ASSERT_NE(process, nullptr);
  auto counts = [&] {
    DWORD handles = 0;
    GetProcessHandleCount(process, &handles);
    return std::vector<DWORD>{handles, GetGuiResources(process, GR_GDIOBJECTS),
                              GetGuiResources(process, GR_USEROBJECTS)};
  };
  // One round first, so that lazily loaded libraries are in before counting.
  for (int id = 1; id <= 6; ++id) Press(id);
  MSG received{};
  ASSERT_TRUE(WaitForOwnMessage(kRecorderMessage + 2, received, 20000));
  const std::vector<DWORD> before = counts();
  const int ids[] = {1, 2, 3, 4, 5, 77};
  for (int i = 0; i < 5000; ++i) Press(ids[i % 6]);
  Press(6);
  ASSERT_TRUE(WaitForOwnMessage(kRecorderMessage + 2, received, 120000)) << "Tavolet stopped";
  DWORD_PTR answer = 0;
  EXPECT_TRUE(SendMessageTimeoutA(tavolet_.MainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 2000, &answer))
      << "responsive";
  const std::vector<DWORD> after = counts();
  EXPECT_LE(after[0], before[0] + 5) << "handles " << before[0] << " -> " << after[0];
  EXPECT_LE(after[1], before[1] + 5) << "GDI objects";
  EXPECT_LE(after[2], before[2] + 5) << "USER objects";
  CloseHandle(process);
}

}  // namespace
