#include "actions/program_start.h"

#include "actions/command_line.h"

#ifndef _WIN64
static_assert(sizeof(STARTUPINFOA) == 68);
#endif

namespace {

constexpr DWORD kStartWaitMs = 500;

struct WindowSearch {
  DWORD processId = 0;
  HWND wanted = nullptr;
  HWND found = nullptr;
  HWND firstHidden = nullptr;
};

// Every GUI thread also owns a hidden top-level IME window, which may come first; a window
// the user can see is the one to bring back, so hidden ones count only when nothing else does.
BOOL CALLBACK MatchProcess(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId) return TRUE;
  if (!IsWindowVisible(window)) {
    if (!search->firstHidden) search->firstHidden = window;
    return TRUE;
  }
  search->found = window;
  return FALSE;
}

BOOL CALLBACK MatchHandle(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  if (window != search->wanted) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

HWND StartProgram(const std::string& commandLine) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOW;
  PROCESS_INFORMATION process{};
  const std::string directory = WorkingDirectoryFor(commandLine);
  std::string line = commandLine;  // CreateProcessA may write into its command line
  if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE,
                     CREATE_SEPARATE_WOW_VDM | NORMAL_PRIORITY_CLASS, nullptr,
                     directory.empty() ? nullptr : directory.c_str(), &startup, &process)) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  Sleep(kStartWaitMs);
  return process.dwProcessId ? FindProcessWindow(process.dwProcessId) : nullptr;
}

HWND FindProcessWindow(DWORD processId) {
  WindowSearch search;
  search.processId = processId;
  EnumWindows(&MatchProcess, reinterpret_cast<LPARAM>(&search));
  return search.found ? search.found : search.firstHidden;
}

bool IsTopLevelWindow(HWND window) {
  if (!window) return false;
  WindowSearch search;
  search.wanted = window;
  EnumWindows(&MatchHandle, reinterpret_cast<LPARAM>(&search));
  return search.found != nullptr;
}
