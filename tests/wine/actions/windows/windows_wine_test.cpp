// Window positions and translucency against Wine's windows.
#include <windows.h>
#include <gtest/gtest.h>

#include "actions/windows/layered_window.h"
#include "actions/windows/window_positions.h"
#include "tests/support/test_window.h"
#include "tests/support/win_test_support.h"

namespace {

TEST(LayeredWindow, AlphaRulesReadBack) {
  ASSERT_NE(LayeredWindowApi::Instance().setAttributes, nullptr);
  TestWindow window(WS_EX_TOPMOST);
  HWND w = window.get();
  BYTE alpha = 0;
  DWORD flags = 0;
  SetWindowAlpha(w, 128);
  EXPECT_TRUE(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_TRUE(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) << "other bits stay";
  ASSERT_TRUE(GetLayeredWindowAttributes(w, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 128);
  EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
  SetWindowAlpha(w, -1);
  ASSERT_TRUE(GetLayeredWindowAttributes(w, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 255) << "a negative alpha uses its low byte";
  SetWindowAlpha(w, 0);
  ASSERT_TRUE(GetLayeredWindowAttributes(w, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 0);
  EXPECT_TRUE(IsWindowVisible(w));
  SetWindowAlpha(w, 300);
  EXPECT_FALSE(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_LAYERED);
  EXPECT_TRUE(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST);
  TestWindow plain;
  SetWindowAlpha(plain.get(), 255);
  EXPECT_FALSE(GetWindowLongA(plain.get(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST(WindowPositions, CaptureAndRestoreIncludingAMaximisedWindow) {
  TestWindow normal, maximised;
  TestWindow untitled(0, WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, "");
  TestWindow hidden(0, WS_OVERLAPPEDWINDOW);
  ShowWindow(maximised.get(), SW_MAXIMIZE);
  SetWindowPos(normal.get(), nullptr, 50, 60, 320, 240, SWP_NOZORDER);
  WindowPositionList positions;
  CaptureWindowPositions(positions, {});
  auto remembered = [&](HWND w) {
    for (const auto& r : positions)
      if (r.window == w) return true;
    return false;
  };
  EXPECT_TRUE(remembered(normal.get()));
  EXPECT_TRUE(remembered(maximised.get()));
  EXPECT_FALSE(remembered(untitled.get()));
  EXPECT_FALSE(remembered(hidden.get()));

  ShowWindow(maximised.get(), SW_RESTORE);
  SetWindowPos(normal.get(), nullptr, 400, 300, 100, 100, SWP_NOZORDER);
  ApplyWindowPositions(positions);
  EXPECT_TRUE(IsZoomed(maximised.get()));
  RECT r;
  GetWindowRect(normal.get(), &r);
  EXPECT_EQ(r.left, 50);
  EXPECT_EQ(r.top, 60);
  EXPECT_EQ(r.right - r.left, 320);
  ApplyWindowPositions(positions);  // the same snapshot again
  EXPECT_TRUE(IsZoomed(maximised.get()));
}

TEST(WindowPositions, ExcludedProgramsAreSkippedCaseSensitively) {
  TestWindow window;
  std::string path;
  ASSERT_TRUE(GetWindowProcessPath(window.get(), path));
  char own[MAX_PATH];
  GetModuleFileNameA(nullptr, own, sizeof own);
  EXPECT_EQ(_stricmp(path.c_str(), own), 0);
  const std::string name = path.substr(path.find_last_of('\\') + 1);
  std::string upper = name;
  for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  ASSERT_NE(upper, name);
  WindowPositionList positions;
  CaptureWindowPositions(positions, {name});
  for (const auto& r : positions) EXPECT_NE(r.window, window.get());
  CaptureWindowPositions(positions, {upper});
  bool found = false;
  for (const auto& r : positions) found = found || r.window == window.get();
  EXPECT_TRUE(found);
}

}  // namespace
