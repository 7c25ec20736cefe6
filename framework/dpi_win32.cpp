#include "framework/dpi.h"

#include <commctrl.h>

namespace {

// DPI_AWARENESS_CONTEXT values (newer headers than the build's target declare them).
const HANDLE kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-4));
const HANDLE kPerMonitorAware = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-3));

template <typename Function>
Function UserFunction(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

using ContextSetter = HANDLE(WINAPI*)(HANDLE);

ContextSetter ThreadContextSetter() {
  static const auto set = UserFunction<ContextSetter>("SetThreadDpiAwarenessContext");
  return set;
}

}  // namespace

unsigned WindowDpi(HWND window) {
  static const auto forWindow = UserFunction<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  if (forWindow && window) {
    if (const UINT dpi = forWindow(window)) return dpi;
  }
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<unsigned>(dpi) : kDefaultDpi;
}

int SystemMetricForDpi(int index, unsigned dpi) {
  static const auto forDpi = UserFunction<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
  return forDpi ? forDpi(index, dpi) : GetSystemMetrics(index);
}

void RescaleListColumns(HWND list, unsigned toDpi, unsigned fromDpi) {
  HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  const int columns = header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  for (int column = 0; column < columns; ++column) {
    const int width = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0));
    SendMessageA(list, LVM_SETCOLUMNWIDTH, column, ScaleForDpi(width, toDpi, fromDpi));
  }
}

ScopedPhysicalPixels::ScopedPhysicalPixels() {
  if (const ContextSetter set = ThreadContextSetter()) {
    previous_ = set(kPerMonitorAwareV2);
    if (!previous_) previous_ = set(kPerMonitorAware);
  }
}

ScopedPhysicalPixels::~ScopedPhysicalPixels() {
  if (previous_) ThreadContextSetter()(previous_);
}
