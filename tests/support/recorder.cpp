// A program for Tavolet to start and to send messages to. It appends what happens to the file
// named by TAVOLET_RECORDER_LOG, one line each:
//   start|<command line>|<working directory>
//   window|<message>|<wParam>|<lParam>     messages WM_APP..0xBFFF posted to its window
//   thread|<message>|<wParam>|<lParam>     the same range posted to its thread
// The start line is written once its window, "Tavolet Recorder", exists. The window holds an
// edit control with "selected words" selected and focused. It ends when the window is closed.
// With the argument /ie the focused control is instead a window of the class
// "Internet Explorer_Server", with /rich a window whose text is "RichChocoa", with /plain a
// window of neither kind (/hang: one that then stops answering for 15 s); then every
// WM_COMMAND and WM_CHAR sent to the main window or that control is logged as
//   command|main or focus|<wParam>|<lParam>    char|main or focus|<wParam>|<lParam>
// /keycopy: the focused control is of neither kind and ignores those messages, as browsers do,
// but copies "browser words" (CF_UNICODETEXT) on a real Ctrl+C key press (C down with Ctrl and
// neither Alt nor Windows down); with /noselection it has nothing selected and copies nothing.
// In every mode each key press that reaches the focused control is logged as
//   key|<virtual key>|<modifiers it sees down: ctrl+alt+shift+win, or none>
// /late: for its first second it has only a hidden window, then it shows its own.
// /sendfirst: before it makes any window it sends a message to the main dialog of the
// program that started it and waits for the answer, as a hook of that program would.
// The message kRecorderStall (WM_APP + 0x40) to its window makes it stop answering for
// wParam milliseconds.
// /dpiaware: it declares itself per-monitor DPI aware (without it, it knows no DPI, as a
// program without a manifest saying so).
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "tests/support/dpi_aware.h"
#include "tests/support/run_processes.h"

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

// Only sent ones: a WM_CHAR that a key press posted is not a copy message.
bool LogCopyMessage(const char* who, UINT message, WPARAM wParam, LPARAM lParam) {
  if ((message != WM_COMMAND && message != WM_CHAR) || !InSendMessage()) return false;
  char line[128];
  std::snprintf(line, sizeof line, "%s|%s|%llX|%llX", message == WM_COMMAND ? "command" : "char",
                who, static_cast<unsigned long long>(wParam),
                static_cast<unsigned long long>(lParam));
  Append(line);
  return true;
}

constexpr UINT kRecorderStall = WM_APP + 0x40;

DWORD ParentProcessId() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  DWORD parent = 0;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (entry.th32ProcessID == GetCurrentProcessId()) parent = entry.th32ParentProcessID;
  }
  CloseHandle(snapshot);
  return parent;
}

struct DialogSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<DialogSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char className[16] = "";
  GetClassNameA(window, className, sizeof className);
  if (owner != search->processId || lstrcmpA(className, "#32770") != 0) return TRUE;
  search->found = window;
  return FALSE;
}

void SendToStarter() {
  DialogSearch search{ParentProcessId(), nullptr};
  EnumWindows(&FindDialog, reinterpret_cast<LPARAM>(&search));
  DWORD_PTR answer = 0;
  const bool answered =
      search.found && SendMessageTimeoutA(search.found, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer);
  Append(answered ? "sent|answered" : "sent|no answer");
}

// Down for the thread's own view of the keyboard or for the system's: a program may ask either.
bool Down(int key) { return GetKeyState(key) < 0 || GetAsyncKeyState(key) < 0; }

void LogKeyPress(UINT message, WPARAM key) {
  if (message != WM_KEYDOWN && message != WM_SYSKEYDOWN) return;
  std::string modifiers;
  const std::pair<bool, const char*> names[] = {{Down(VK_CONTROL), "ctrl"},
                                                {Down(VK_MENU), "alt"},
                                                {Down(VK_SHIFT), "shift"},
                                                {Down(VK_LWIN) || Down(VK_RWIN), "win"}};
  for (const auto& [down, name] : names) {
    if (down) modifiers += (modifiers.empty() ? "" : "+") + std::string(name);
  }
  char line[128];
  std::snprintf(line, sizeof line, "key|%X|%s", static_cast<unsigned>(key),
                modifiers.empty() ? "none" : modifiers.c_str());
  Append(line);
}

bool hangOnCopy = false;
bool copyOnKey = false;
std::wstring keySelection;

void CopyOnCtrlC(HWND window, UINT message, WPARAM key) {
  if (!copyOnKey || message != WM_KEYDOWN || key != 'C' || !Down(VK_CONTROL) || Down(VK_MENU) ||
      Down(VK_LWIN) || Down(VK_RWIN) || keySelection.empty() || !OpenClipboard(window)) {
    return;
  }
  EmptyClipboard();
  const size_t bytes = (keySelection.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    std::memcpy(GlobalLock(data), keySelection.c_str(), bytes);
    GlobalUnlock(data);
    if (!SetClipboardData(CF_UNICODETEXT, data)) GlobalFree(data);
  }
  CloseClipboard();
}

LRESULT CALLBACK FocusProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (LogCopyMessage("focus", message, wParam, lParam)) {
    if (hangOnCopy) Sleep(15000);
    return 0;
  }
  LogKeyPress(message, wParam);
  CopyOnCtrlC(window, message, wParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

WNDPROC editProc = nullptr;

LRESULT CALLBACK LoggingEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LogKeyPress(message, wParam);
  return CallWindowProcA(editProc, window, message, wParam, lParam);
}

bool loggingMain = false;

LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kRecorderStall) {
    Sleep(static_cast<DWORD>(wParam));
    return 0;
  }
  if (loggingMain && LogCopyMessage("main", message, wParam, lParam)) return 0;
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
  // Started by Tavolet, not by a test: it records itself, so a later test can end it.
  RecordStartedProcess(GetCurrentProcess());
  char directory[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof directory, directory);
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = RecorderProc;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = "TavoletRecorder";
  RegisterClassA(&windowClass);
  const std::string options = GetCommandLineA();
  if (options.find(" /dpiaware") != std::string::npos) DeclareDpiAware();
  if (options.find(" /sendfirst") != std::string::npos) SendToStarter();
  if (options.find(" /late") != std::string::npos) {
    CreateWindowExA(0, "STATIC", "hidden helper", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                    instance, nullptr);
    Sleep(1000);
  }
  HWND window = CreateWindowExA(0, "TavoletRecorder", "Tavolet Recorder", WS_OVERLAPPEDWINDOW, 120,
                                120, 360, 160, nullptr, nullptr, instance, nullptr);
  const std::string arguments = GetCommandLineA();
  const bool ie = arguments.find(" /ie") != std::string::npos;
  const bool rich = arguments.find(" /rich") != std::string::npos;
  hangOnCopy = arguments.find(" /hang") != std::string::npos;
  copyOnKey = arguments.find(" /keycopy") != std::string::npos;
  if (arguments.find(" /noselection") == std::string::npos) keySelection = L"browser words";
  const bool plain = hangOnCopy || copyOnKey || arguments.find(" /plain") != std::string::npos;
  HWND edit = nullptr;
  if (ie || rich || plain) {
    loggingMain = true;
    WNDCLASSA focusClass{};
    focusClass.lpfnWndProc = FocusProc;
    focusClass.hInstance = instance;
    focusClass.lpszClassName = ie ? "Internet Explorer_Server" : "TavoletRecorderFocus";
    RegisterClassA(&focusClass);
    edit = CreateWindowExA(0, focusClass.lpszClassName, rich ? "RichChocoa" : "page",
                           WS_CHILD | WS_VISIBLE, 10, 10, 320, 24, window,
                           reinterpret_cast<HMENU>(1), instance, nullptr);
  } else {
    edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "some selected words here",
                           WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10, 320, 24, window,
                           reinterpret_cast<HMENU>(1), instance, nullptr);
    SendMessageA(edit, EM_SETSEL, 5, 19);  // "selected words"
    editProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LoggingEditProc)));
  }
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
