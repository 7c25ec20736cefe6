// A program that "plays" on the endpoint stand-in: it adds an audio session of its own to the
// stand-in's table, starts a copy of itself as a child that does the same (as a browser's or an
// Electron program's sound comes from a child process), and shows a window in front until it is
// closed. The child ends with its parent.
//   sound_player.exe ENDPOINT                 the program, with its window
//   sound_player.exe ENDPOINT child           the child, without one
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/support/endpoint_standin.h"

namespace {

constexpr float kStartLevel = 0.5f;
constexpr DWORD kLongestLifeMs = 120000;

bool Play(LONG endpoint) {
  HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, kEndpointTableName);
  if (!mapping) return false;
  auto* table = static_cast<StandInEndpointTable*>(
      MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(StandInEndpointTable)));
  const bool added =
      table && AddStandInSession(table, endpoint, GetCurrentProcessId(), kStartLevel);
  if (table) UnmapViewOfFile(table);
  CloseHandle(mapping);
  return added;
}

LRESULT CALLBACK PlayerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  const LONG endpoint = std::atol(commandLine);
  if (const char* child = std::strstr(commandLine, "child")) {
    if (!Play(endpoint)) return 2;
    // Ends with its parent, or after a bounded time.
    const DWORD parentId = std::strtoul(child + 5, nullptr, 10);
    HANDLE parent = OpenProcess(SYNCHRONIZE, FALSE, parentId);
    if (!parent) return 0;
    WaitForSingleObject(parent, kLongestLifeMs);
    CloseHandle(parent);
    return 0;
  }
  if (!Play(endpoint)) return 2;
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string line = "\"" + std::string(path) + "\" " + std::to_string(endpoint) + " child " +
                     std::to_string(GetCurrentProcessId());
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &child)) {
    return 3;
  }
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = &PlayerProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = "TavoletSoundPlayer";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, "TavoletSoundPlayer", "Tavolet sound player",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, 250, 200, 320, 200, nullptr,
                                nullptr, instance, nullptr);
  SetForegroundWindow(window);
  SetTimer(window, 1, kLongestLifeMs, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER) DestroyWindow(window);
    DispatchMessageA(&msg);
  }
  return 0;
}
