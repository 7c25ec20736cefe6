// Creates and destroys windows, then ends: window_maker [COUNT]. Not linked to Lintrel, so the
// library reaches it only through the system's hook. Message-only windows: no other program (a
// taskbar) makes windows of its own in answer.
#include <windows.h>

#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  const int count = commandLine && *commandLine ? std::atoi(commandLine) : 1;
  for (int i = 0; i < count; ++i) {
    HWND window = CreateWindowExA(0, "STATIC", "window maker", WS_OVERLAPPED, 0, 0, 50, 50,
                                  HWND_MESSAGE, nullptr, nullptr, nullptr);
    DestroyWindow(window);
  }
  return 0;
}
