#include "actions/sound/front_program.h"

#include <tlhelp32.h>

#include <cstring>
#include <vector>

#include "actions/sound/front_program_rules.h"
#include "framework/handles.h"

namespace {

struct FrameSearch {
  DWORD frameProcess;
  DWORD found;
};

BOOL CALLBACK FindHostedWindow(HWND child, LPARAM context) {
  auto* search = reinterpret_cast<FrameSearch*>(context);
  DWORD process = 0;
  GetWindowThreadProcessId(child, &process);
  if (process == search->frameProcess) return TRUE;
  search->found = process;
  return FALSE;
}

uint64_t CreationTime(DWORD process) {
  UniqueHandle handle(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process));
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!handle || !GetProcessTimes(handle.get(), &created, &exited, &kernel, &user)) return 0;
  return (static_cast<uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

}  // namespace

DWORD FrontProgramProcess() {
  HWND foreground = GetForegroundWindow();
  HWND root = foreground ? GetAncestor(foreground, GA_ROOT) : nullptr;
  if (!root || root == GetDesktopWindow() || root == GetShellWindow()) return 0;
  char className[256] = "";
  GetClassNameA(root, className, sizeof className);
  if (IsShellSurfaceClass(className)) return 0;
  DWORD process = 0;
  GetWindowThreadProcessId(root, &process);
  if (process == GetCurrentProcessId()) return 0;
  if (std::strcmp(className, kStoreAppFrameClass) == 0) {
    FrameSearch search{process, 0};
    EnumChildWindows(root, &FindHostedWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
  }
  return process;
}

std::set<uint32_t> ProgramProcesses(DWORD root) {
  std::vector<ProcessLink> processes;
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  if (snapshot && Process32First(snapshot.get(), &entry)) {
    do {
      processes.push_back({entry.th32ProcessID, entry.th32ParentProcessID});
    } while (Process32Next(snapshot.get(), &entry));
  }
  return ProcessTree(root, processes, &CreationTime);
}
