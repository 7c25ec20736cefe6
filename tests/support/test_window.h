// A window of the test's own thread (STATIC class), destroyed with the object.
#pragma once

#include <windows.h>

class TestWindow {
 public:
  explicit TestWindow(DWORD exStyle = 0, DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                      HWND parent = nullptr, const char* title = "Tavolet test window") {
    window_ = CreateWindowExA(exStyle, "STATIC", title, style, 100, 100, 300, 200, parent, nullptr,
                              nullptr, nullptr);
  }
  ~TestWindow() {
    if (IsWindow(window_)) DestroyWindow(window_);
  }
  HWND get() const { return window_; }

 private:
  HWND window_;
};
