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
// neither Alt nor Windows down); with /noselection it has nothing selected and copies nothing,
// with /linecopy as well it then copies "whole line", as code editors do, with /terminal it
// copies on Ctrl+Insert instead, as terminals do, and with /slowcopy it holds the clipboard
// open for 600 ms between emptying and filling it. /class:NAME gives its window that class.
// /uia: it answers the stand-in UI Automation client's question with its selection (/uiahang:
// with a question that never gets an answer).
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
#include "tests/support/uia_standin.h"

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
bool slowCopy = false;
UINT copyKey = 'C';
std::wstring keySelection, unselectedCopy;

bool Has(const std::string& arguments, const char* option) {
  return arguments.find(option) != std::string::npos;
}

void CopyOnKey(HWND window, UINT message, WPARAM key) {
  const std::wstring& copied = keySelection.empty() ? unselectedCopy : keySelection;
  if (!copyOnKey || message != WM_KEYDOWN || key != copyKey || !Down(VK_CONTROL) || Down(VK_MENU) ||
      Down(VK_LWIN) || Down(VK_RWIN) || copied.empty() || !OpenClipboard(window)) {
    return;
  }
  EmptyClipboard();
  if (slowCopy) Sleep(600);
  const size_t bytes = (copied.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    std::memcpy(GlobalLock(data), copied.c_str(), bytes);
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
  CopyOnKey(window, message, wParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

WNDPROC editProc = nullptr;

LRESULT CALLBACK LoggingEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LogKeyPress(message, wParam);
  return CallWindowProcA(editProc, window, message, wParam, lParam);
}

bool loggingMain = false;
LRESULT selectionAnswer = kNoTextPattern;

LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kRecorderStall) {
    Sleep(static_cast<DWORD>(wParam));
    return 0;
  }
  static const UINT selectionQuestion = RegisterWindowMessageA(kStandInSelectionMessage);
  if (message == selectionQuestion) return selectionAnswer;
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
  const std::string options = GetCommandLineA();
  const size_t classStart = options.find(" /class:");
  std::string className = "TavoletRecorder";
  if (classStart != std::string::npos) {
    className = options.substr(classStart + 8);
    className = className.substr(0, className.find(' '));
  }
  windowClass.lpszClassName = className.c_str();
  RegisterClassA(&windowClass);
  if (Has(options, " /dpiaware")) DeclareDpiAware();
  if (Has(options, " /sendfirst")) SendToStarter();
  if (Has(options, " /late")) {
    CreateWindowExA(0, "STATIC", "hidden helper", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                    instance, nullptr);
    Sleep(1000);
  }
  HWND window = CreateWindowExA(0, className.c_str(), "Tavolet Recorder", WS_OVERLAPPEDWINDOW, 120,
                                120, 360, 160, nullptr, nullptr, instance, nullptr);
  const bool ie = Has(options, " /ie");
  const bool rich = Has(options, " /rich");
  hangOnCopy = Has(options, " /hang");
  copyOnKey = Has(options, " /keycopy");
  slowCopy = Has(options, " /slowcopy");
  if (Has(options, " /terminal")) copyKey = VK_INSERT;
  if (!Has(options, " /noselection")) keySelection = L"browser words";
  if (Has(options, " /linecopy")) unselectedCopy = L"whole line";
  if (Has(options, " /uia"))
    selectionAnswer = keySelection.empty() ? kNothingSelected : kTextSelected;
  if (Has(options, " /uiahang")) selectionAnswer = kSelectionNeverAnswered;
  const bool plain = hangOnCopy || copyOnKey || Has(options, " /plain");
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
