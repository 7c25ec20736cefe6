// Loads both hook libraries as any program could, writes every datum they export, then reports
// what the system-wide hook does in this process with the screen-saver command:
//   hook_library_probe OUTPUT   ->   "1" refused, "0" allowed, "-1" the hook saw nothing
#include <windows.h>

#include <cstdio>

#include "corvane/desktop_hook.h"
#include "lintrel/system_hook.h"
#include "tests/support/cbt_observer.h"

LRESULT CALLBACK Planted(HWND, UINT, WPARAM, LPARAM) { return 0; }

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  CSystemHook::m_hHook = reinterpret_cast<HHOOK>(0x1);
  CSystemHook::postThread = 1;
  CSystemHook::postHwnd = reinterpret_cast<HWND>(0x1);
  CSystemHook::state = CSystemHook::state ? 0 : 1;
  CDesktopHook::hook = reinterpret_cast<HHOOK>(0x1);
  CDesktopHook::state = 0;
  CDesktopHook::desktop = GetDesktopWindow();
  CDesktopHook::orgWindowProcList = &Planted;
  CDesktopHook::textColor = CDesktopHook::textBdColor = CDesktopHook::bkColor =
      CDesktopHook::selColor = RGB(0, 0, 255);
  HWND window = CreateWindowExA(0, "STATIC", "probe", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr,
                                nullptr, nullptr, nullptr);
  CbtObserver observer;
  const LRESULT answer = observer.AnswerTo(window, 0xF140);
  DestroyWindow(window);
  FILE* out = std::fopen(argv[1], "w");
  if (!out) return 1;
  std::fprintf(out, "%d", static_cast<int>(answer));
  std::fclose(out);
  return 0;
}
