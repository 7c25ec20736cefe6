// A program for Tavolet to start and to send messages to. It appends what happens to the file
// named by TAVOLET_RECORDER_LOG, one line each:
//   start|<command line>|<working directory>
//   window|<message>|<wParam>|<lParam>     messages WM_APP..0xBFFF posted to its window
//   thread|<message>|<wParam>|<lParam>     the same range posted to its thread
// The start line is written once its window, "Tavolet Recorder", exists. The window holds an
// edit control with "selected words" selected and focused. It ends when the window is closed.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

void Append(const std::string& line) {
  char path[MAX_PATH];
  if (!GetEnvironmentVariableA("TAVOLET_RECORDER_LOG", path, sizeof path)) return;
  HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const std::string text = line + "\n";
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

std::string MessageLine(const char* kind, UINT message, WPARAM wParam, LPARAM lParam) {
  char line[128];
  std::snprintf(line, sizeof line, "%s|%X|%llX|%llX", kind, message,
                static_cast<unsigned long long>(wParam), static_cast<unsigned long long>(lParam));
  return line;
}

LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_APP && message <= 0xBFFF) {
    Append(MessageLine("window", message, wParam, lParam));
    return 0;
  }
  if (message == WM_SETFOCUS) {
    SetFocus(GetDlgItem(window, 1));
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  char directory[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof directory, directory);
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = RecorderProc;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = "TavoletRecorder";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, "TavoletRecorder", "Tavolet Recorder", WS_OVERLAPPEDWINDOW, 120,
                                120, 360, 160, nullptr, nullptr, instance, nullptr);
  HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "some selected words here",
                              WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10, 320, 24, window,
                              reinterpret_cast<HMENU>(1), instance, nullptr);
  SendMessageA(edit, EM_SETSEL, 5, 19);  // "selected words"
  ShowWindow(window, show);
  SetFocus(edit);
  // Written once the window exists, so whoever reads the line can find the window.
  Append(std::string("start|") + GetCommandLineA() + "|" + directory);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (!msg.hwnd && msg.message >= WM_APP && msg.message <= 0xBFFF) {
      Append(MessageLine("thread", msg.message, msg.wParam, msg.lParam));
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
