// Window positions and translucency, seen from outside: placements and layered attributes of
// this test's own windows.
#include "tests/e2e/actions/actions_e2e.h"

namespace {

bool WindowAnswersWithin(HWND window, DWORD ms) {
  DWORD_PTR answer = 0;
  return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, ms, &answer) != 0;
}

}  // namespace

// Restore (3) and translucency (4) for a recorder's window that `stall` makes stop answering
// for 5 s; each time the next hot key (5) must still take effect at once.
void ActionsE2E::ExpectAWindowThatStopsAnsweringHoldsNothing(UINT stall) {
  KeyRecord run = Entry(1, VK_F5);
  run.target = recorder_;
  KeyRecord translucent = Entry(12, VK_F8);
  translucent.param1 = 128;
  KeyRecord parameter = Entry(13, VK_F9);
  parameter.param2 = SPI_SETSCREENSAVEACTIVE;
  StartWith({run, Entry(10, VK_F6), Entry(11, VK_F7), translucent, parameter});
  HWND window = ForegroundRecorder(1);
  ASSERT_NE(window, nullptr);
  Press(2);
  Sleep(600);
  SetWindowPos(window, nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (int hung : {3, 4}) {
    SCOPED_TRACE(hung == 3 ? "restore" : "translucency");
    ASSERT_TRUE(WaitFor([&] { return WindowAnswersWithin(window, 100); }, 10000));
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, nullptr, 0);
    PostMessageA(window, stall, 5000, 0);
    Sleep(200);
    const DWORD start = GetTickCount();
    Press(hung);
    Press(5);
    EXPECT_TRUE(WaitFor([] { return !ScreenSaverActive(); }, 10000)) << "the next hot key works";
    EXPECT_LT(GetTickCount() - start, 3000u);
  }
  SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, nullptr, 0);
}

namespace {

// Putting a hung window back, or making it translucent, would wait on it without end: it is
// skipped, and the next hot key still takes effect at once.
TEST_F(ActionsE2E, AHungWindowCannotHoldRestoreOrTranslucency) {
  ExpectAWindowThatStopsAnsweringHoldsNothing(kRecorderStall);
}

// A window that answers the question whether it answers, and stops when it is moved or its
// style changed, holds neither for longer than a moment.
TEST_F(ActionsE2E, AWindowThatHangsDuringTheChangeCannotHoldRestoreOrTranslucency) {
  ExpectAWindowThatStopsAnsweringHoldsNothing(kRecorderStallOnChange);
}

TEST_F(ActionsE2E, TranslucentWindowSetsAndClearsTheForegroundWindowsAlpha) {
  KeyRecord half = Entry(12, VK_F5);
  half.param1 = 128;
  KeyRecord opaque = half;
  opaque.param1 = 300;
  StartWith({half, opaque});
  HWND own = ForegroundOwnWindow();
  Press(1);
  ASSERT_TRUE(
      WaitFor([&] { return (GetWindowLongA(own, GWL_EXSTYLE) & WS_EX_LAYERED) != 0; }, 5000));
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(own, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 128);
  EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
  Press(2);
  EXPECT_TRUE(
      WaitFor([&] { return (GetWindowLongA(own, GWL_EXSTYLE) & WS_EX_LAYERED) == 0; }, 5000));
}

TEST_F(ActionsE2E, WindowPositionsAreRememberedAndPutBack) {
  StartWith({Entry(10, VK_F5), Entry(11, VK_F6)});
  HWND own = ForegroundOwnWindow();
  SetWindowPos(own, nullptr, 40, 50, 300, 200, SWP_NOZORDER);
  Press(1);
  Sleep(500);
  SetWindowPos(own, nullptr, 420, 330, 150, 100, SWP_NOZORDER);
  Press(2);
  RECT r{};
  EXPECT_TRUE(WaitFor(
      [&] {
        GetWindowRect(own, &r);
        return r.left == 40 && r.top == 50;
      },
      5000));
  EXPECT_EQ(r.right - r.left, 300);
  SetWindowPos(own, nullptr, 420, 330, 150, 100, SWP_NOZORDER);
  Press(2);  // the same snapshot again
  EXPECT_TRUE(WaitFor(
      [&] {
        GetWindowRect(own, &r);
        return r.left == 40;
      },
      5000));
}

// At any scaling a window comes back to the same pixels, whether its program knows DPI or not.
// (This test sees physical pixels: it is per-monitor aware.)
TEST_F(ActionsE2E, WindowPositionsComeBackToTheSamePixelsWhateverTheProgramKnowsOfDpi) {
  StartWith({Entry(10, VK_F5), Entry(11, VK_F6), Record(VK_F7, recorder_ + " /dpiaware"),
             Record(VK_F8, recorder_)});
  const RECT places[] = {{43, 55, 43 + 301, 55 + 203}, {251, 181, 251 + 333, 181 + 215}};
  std::vector<HWND> windows;
  for (int id : {3, 4}) {
    Press(id);
    ASSERT_TRUE(WaitFor([&] { return RecorderWindows().size() == windows.size() + 1; }, 8000));
    for (HWND w : RecorderWindows()) {
      if (std::find(windows.begin(), windows.end(), w) == windows.end()) windows.push_back(w);
    }
  }
  for (size_t i = 0; i < windows.size(); ++i) {
    const RECT& r = places[i];
    SetWindowPos(windows[i], nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  Press(1);
  Sleep(500);
  for (HWND w : windows) SetWindowPos(w, nullptr, 500, 400, 200, 150, SWP_NOZORDER);
  Press(2);
  for (size_t i = 0; i < windows.size(); ++i) {
    SCOPED_TRACE(i == 0 ? "DPI aware" : "knows no DPI");
    RECT r{};
    EXPECT_TRUE(WaitFor(
        [&] {
          GetWindowRect(windows[i], &r);
          return EqualRect(&r, &places[i]) != FALSE;
        },
        5000))
        << r.left << "," << r.top << " " << r.right - r.left << "x" << r.bottom - r.top;
  }
}

// A per-monitor aware window put back from a monitor of another scale sizes itself anew on
// arrival: it gets its placement a second time, and ends where it was.
TEST_F(ActionsE2E, AWindowThatRescalesOnArrivalIsPlacedAgain) {
  StartWith({Entry(10, VK_F5), Entry(11, VK_F6), Record(VK_F7, recorder_ + " /rescales")});
  Press(3);
  HWND window = WaitForRecorderWindow();
  ASSERT_NE(window, nullptr);
  const RECT place{43, 55, 43 + 301, 55 + 203};
  SetWindowPos(window, nullptr, place.left, place.top, 301, 203, SWP_NOZORDER | SWP_NOACTIVATE);
  Press(1);
  Sleep(500);
  SetWindowPos(window, nullptr, 500, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT r{};
  ASSERT_TRUE(WaitFor([&] { return GetWindowRect(window, &r) && r.right - r.left == 451; }, 3000))
      << "on the second monitor it is larger";
  Press(2);
  EXPECT_TRUE(WaitFor(
      [&] {
        GetWindowRect(window, &r);
        return EqualRect(&r, &place) != FALSE;
      },
      5000))
      << r.left << "," << r.top << " " << r.right - r.left << "x" << r.bottom - r.top;
}

// Putting a maximised window back changes neither the active window nor the order.
TEST_F(ActionsE2E, RestoringAMaximisedWindowLeavesTheActiveWindowAlone) {
  StartWith({Entry(10, VK_F5), Entry(11, VK_F6)});
  HWND maximised =
      CreateWindowExA(0, "STATIC", "Tavolet E2E maximised", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60,
                      60, 300, 200, nullptr, nullptr, nullptr, nullptr);
  ShowWindow(maximised, SW_SHOWMAXIMIZED);
  HWND own = ForegroundOwnWindow();
  Press(1);
  Sleep(500);
  ShowWindow(maximised, SW_SHOWNOACTIVATE);
  ASSERT_FALSE(IsZoomed(maximised));
  SetForegroundWindow(own);
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == own; }, 3000));
  Press(2);
  EXPECT_TRUE(WaitFor([&] { return IsZoomed(maximised) != FALSE; }, 5000));
  Sleep(300);
  EXPECT_EQ(GetForegroundWindow(), own) << "the active window stays active";
  DestroyWindow(maximised);
}

}  // namespace
