#include "actions/launch/program_start.h"

#include "actions/launch/command_line.h"
#include "framework/waits.h"

#ifndef _WIN64
static_assert(sizeof(STARTUPINFOA) == 68);
#endif

namespace {

constexpr DWORD kStartWaitMs = 500;

struct WindowSearch {
  DWORD processId = 0;
  HWND wanted = nullptr;
  HWND found = nullptr;
};

// Every GUI thread also owns a hidden top-level IME window, which may come first: only a
// window the user can see is worth bringing back, so hidden ones never count.
BOOL CALLBACK MatchProcess(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
  search->found = window;
  return FALSE;
}

bool IsExistingFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

BOOL CALLBACK MatchHandle(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  if (window != search->wanted) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

HWND StartProgram(const std::string& commandLine) {
  // The system would end the line at the first zero byte: nothing is started rather than a
  // line cut short.
  if (commandLine.find('\0') != std::string::npos) return nullptr;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOW;
  PROCESS_INFORMATION process{};
  const std::string directory = WorkingDirectoryFor(commandLine, &IsExistingFile);
  std::string line = commandLine;  // CreateProcessA may write into its command line
  if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE,
                     CREATE_SEPARATE_WOW_VDM | NORMAL_PRIORITY_CLASS, nullptr,
                     directory.empty() ? nullptr : directory.c_str(), &startup, &process)) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  // Hooks that run on this thread (Lintrel's, for programs of the other bitness) keep being
  // answered, so the new program can make its window meanwhile.
  SleepHandlingSentMessages(kStartWaitMs);
  return process.dwProcessId ? FindProcessWindow(process.dwProcessId) : nullptr;
}

HWND FindProcessWindow(DWORD processId) {
  WindowSearch search;
  search.processId = processId;
  EnumWindows(&MatchProcess, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool IsTopLevelWindow(HWND window) {
  if (!window) return false;
  WindowSearch search;
  search.wanted = window;
  EnumWindows(&MatchHandle, reinterpret_cast<LPARAM>(&search));
  return search.found != nullptr;
}
