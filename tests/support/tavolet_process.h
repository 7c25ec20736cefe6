// Starts Tavolet.exe in a folder of its own and reaches it from outside, as a user would.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Windows of a process with the given class ("" for any), visible or not.
std::vector<HWND> WindowsOfProcess(DWORD processId, const char* className);

class TavoletProcess {
 public:
  TavoletProcess() = default;
  ~TavoletProcess();  // ends a copy that is still running
  TavoletProcess(const TavoletProcess&) = delete;
  TavoletProcess& operator=(const TavoletProcess&) = delete;

  // From then on, every WaitFor of the test ends at once, as a failure, if the process ends
  // before the test asks it to (WaitForExit, ExitFromMenu, Kill).
  bool Start(const std::string& folder);
  // The same in a folder whose name the code page may not hold; `program`, where given, is a
  // Tavolet.exe of another folder (its own libraries beside it).
  bool Start(const std::wstring& folder, const std::wstring& program = std::wstring());
  // The process's exit code, or STILL_ACTIVE when it did not end in time.
  DWORD WaitForExit(DWORD timeoutMs);
  // Ends it at once, as the task manager would; true when it has ended.
  bool Kill();
  // The hidden main dialog, once it exists (null after the timeout).
  HWND WaitForMainWindow(DWORD timeoutMs = 10000);
  bool WaitForIcon(DWORD timeoutMs = 10000);
  // The icon, and then the main thread answering a message: start-up has finished (the icon
  // appears before the hooks are installed).
  bool WaitUntilReady(DWORD timeoutMs = 20000);
  // "終了" from the notification-area menu, then the exit code.
  DWORD ExitFromMenu(DWORD timeoutMs = 10000);

  DWORD Id() const { return processId_; }
  HWND MainWindow() const { return mainWindow_; }
  // True (and a failure of the test, reported once) when it ended without being asked to.
  bool EndedUnexpectedly();

 private:
  bool exitExpected_ = false;
  bool reported_ = false;
  HANDLE process_ = nullptr;
  DWORD processId_ = 0;
  HWND mainWindow_ = nullptr;
};
