#include "tests/support/tavolet_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "tests/support/run_processes.h"
#include "tests/support/win_test_support.h"

namespace {

struct Search {
  DWORD processId;
  const char* className;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId) return TRUE;
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  if (!*search->className || std::strcmp(name, search->className) == 0) {
    search->found.push_back(window);
  }
  return TRUE;
}

constexpr UINT kAppExitCommand = 0xE141;

// Every copy a test has started and not yet let go of; one of them dying stops the waits.
std::vector<TavoletProcess*> watched;

bool AnyEndedUnexpectedly() {
  bool ended = false;
  for (TavoletProcess* process : watched) ended = process->EndedUnexpectedly() || ended;
  return ended;
}

}  // namespace

std::vector<HWND> WindowsOfProcess(DWORD processId, const char* className) {
  Search search{processId, className, {}};
  EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

TavoletProcess::~TavoletProcess() {
  watched.erase(std::remove(watched.begin(), watched.end(), this), watched.end());
  if (watched.empty()) SetWaitAbort(nullptr);
  if (!process_) return;
  if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_, 99);
    WaitForSingleObject(process_, 5000);
  }
  CloseHandle(process_);
}

bool TavoletProcess::Start(const std::string& folder) {
  wchar_t wide[MAX_PATH] = L"";
  MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, wide, MAX_PATH);
  return Start(std::wstring(wide));
}

bool TavoletProcess::Start(const std::wstring& folder, const std::wstring& program) {
  wchar_t ours[MAX_PATH] = L"";
  MultiByteToWideChar(CP_ACP, 0, (ProgramFolder() + "Tavolet.exe").c_str(), -1, ours, MAX_PATH);
  std::wstring commandLine = L"\"" + (program.empty() ? std::wstring(ours) : program) + L"\"";
  PROCESS_INFORMATION info{};
  if (!StartProcess(commandLine, info, folder.c_str())) return false;
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  processId_ = info.dwProcessId;
  RecordStartedProcess(process_);
  watched.push_back(this);
  SetWaitAbort(&AnyEndedUnexpectedly);
  return true;
}

bool TavoletProcess::EndedUnexpectedly() {
  if (!process_ || exitExpected_ || WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) {
    return false;
  }
  if (!reported_) {
    reported_ = true;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    ADD_FAILURE() << "Tavolet.exe (process " << processId_
                  << ") ended unexpectedly with exit code 0x" << std::hex << code
                  << (code >= 0xC0000000 ? ": it crashed (Wine's line is in the output)" : "");
  }
  return true;
}

bool TavoletProcess::Kill() {
  exitExpected_ = true;
  if (!process_) return false;
  TerminateProcess(process_, 1);
  return WaitForSingleObject(process_, 5000) == WAIT_OBJECT_0;
}

DWORD TavoletProcess::WaitForExit(DWORD timeoutMs) {
  if (!process_) return STILL_ACTIVE;
  exitExpected_ = true;
  if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) {
    exitExpected_ = false;  // still running: from now on its end is unexpected again
    return STILL_ACTIVE;
  }
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process_, &code);
  return code;
}

HWND TavoletProcess::WaitForMainWindow(DWORD timeoutMs) {
  WaitFor(
      [this] {
        const auto dialogs = WindowsOfProcess(processId_, "#32770");
        mainWindow_ = dialogs.empty() ? nullptr : dialogs.front();
        return mainWindow_ != nullptr;
      },
      timeoutMs);
  return mainWindow_;
}

bool TavoletProcess::WaitForIcon(DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  if (!WaitForMainWindow(timeoutMs)) return false;
  const DWORD used = GetTickCount() - start;
  return WaitFor([this] { return TrayIconPresent(mainWindow_, 0); },
                 used < timeoutMs ? timeoutMs - used : 0);
}

bool TavoletProcess::WaitUntilReady(DWORD timeoutMs) {
  if (!WaitForIcon(timeoutMs)) return false;
  // Start-up's waits answer sent messages, so an answer alone does not say it has finished;
  // the desktop's list view, once Corvane has subclassed it, does.
  const bool subclassed =
      WaitFor([] { return !DesktopListView() || DesktopListSubclassed(); }, timeoutMs);
  if (!subclassed) return false;
  DWORD_PTR answer = 0;
  return SendMessageTimeoutA(mainWindow_, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &answer) != 0;
}

DWORD TavoletProcess::ExitFromMenu(DWORD timeoutMs) {
  if (mainWindow_) PostMessageA(mainWindow_, WM_COMMAND, kAppExitCommand, 0);
  return WaitForExit(timeoutMs);
}
