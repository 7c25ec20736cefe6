#include "tests/support/dpi_aware.h"

#include <windows.h>

void DeclareDpiAware() {
  using SetContext = BOOL(WINAPI*)(HANDLE);
  const auto set = reinterpret_cast<SetContext>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("user32.dll"), "SetProcessDpiAwarenessContext")));
  if (!set) return;
  // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2, or the first per-monitor form.
  if (!set(reinterpret_cast<HANDLE>(static_cast<intptr_t>(-4)))) {
    set(reinterpret_cast<HANDLE>(static_cast<intptr_t>(-3)));
  }
}
