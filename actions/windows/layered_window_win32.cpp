#include "actions/windows/layered_window.h"

#include "framework/handles.h"
#include "framework/waits.h"

namespace {
// Constructed before the application starts, as the process's other singletons.
LayeredWindowApi theLayeredWindowApi;
// A style change another thread's window takes within this time, or is left to take alone.
constexpr DWORD kStyleChangeMs = 1000;
}  // namespace

LayeredWindowApi::LayeredWindowApi() {
  // Tavolet links user32, so the addresses stay valid after this handle is freed.
  UniqueModule user32(LoadLibraryA("user32"));
  if (!user32) return;
  setAttributes = reinterpret_cast<SetAttributesFunction>(
      reinterpret_cast<void*>(GetProcAddress(user32.get(), "SetLayeredWindowAttributes")));
  updateWindow = reinterpret_cast<UpdateWindowFunction>(
      reinterpret_cast<void*>(GetProcAddress(user32.get(), "UpdateLayeredWindow")));
}

LayeredWindowApi& LayeredWindowApi::Instance() { return theLayeredWindowApi; }

LONG SetLayeredStyle(HWND window, bool on) {
  const LONG style = GetWindowLongA(window, GWL_EXSTYLE);
  const LONG changed = on ? (style | WS_EX_LAYERED) : (style & ~WS_EX_LAYERED);
  return SetWindowLongA(window, GWL_EXSTYLE, changed);
}

void SetWindowAlpha(HWND window, int32_t alpha) {
  auto setAttributes = LayeredWindowApi::Instance().setAttributes;
  // Changing another program's style sends it messages: a hung window is left alone, and one
  // that stops answering meanwhile holds only the thread that changes it.
  if (!setAttributes || !WindowAnswers(window)) return;
  RunWithin(kStyleChangeMs, [window, alpha, setAttributes] {
    if (alpha < 255) {
      SetLayeredStyle(window, true);
      setAttributes(window, 0, static_cast<BYTE>(alpha & 0xFF), LWA_ALPHA);
    } else {
      setAttributes(window, 0x01000000, 255, LWA_ALPHA);
      SetLayeredStyle(window, false);
    }
  });
}
