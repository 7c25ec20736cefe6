// Window transparency through the layered-window functions, found at run time.
#pragma once

#include <windows.h>

#include <cstdint>

class LayeredWindowApi {
 public:
  LayeredWindowApi();
  virtual ~LayeredWindowApi() = default;
  LayeredWindowApi(const LayeredWindowApi&) = delete;
  LayeredWindowApi& operator=(const LayeredWindowApi&) = delete;

  // The process's one instance, looked up when the process starts.
  static LayeredWindowApi& Instance();

  using SetAttributesFunction = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
  using UpdateWindowFunction = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                             BLENDFUNCTION*, DWORD);
  SetAttributesFunction setAttributes = nullptr;
  UpdateWindowFunction updateWindow = nullptr;
};

// Returns the previous extended style.
LONG SetLayeredStyle(HWND window, bool on);
// Below 255 (signed): layered with the low byte as opacity; 255 or more: opaque, not layered.
// Does nothing where the system lacks the layered-window functions.
void SetWindowAlpha(HWND window, int32_t alpha);
