#include "actions/windows/window_positions.h"

#include <tlhelp32.h>

#include "actions/windows/path_exclusion.h"
#include "framework/dpi.h"
#include "framework/handles.h"
#include "framework/waits.h"

#ifndef _WIN64
static_assert(sizeof(OSVERSIONINFOA) == 148);
static_assert(sizeof(PROCESSENTRY32) == 296);
static_assert(sizeof(WINDOWPLACEMENT) == 44);
#endif

namespace {

struct CaptureContext {
  WindowPositionList* positions;
  const ExcludedPathList* excluded;
};

BOOL CALLBACK CaptureWindow(HWND window, LPARAM context) {
  auto* capture = reinterpret_cast<CaptureContext*>(context);
  if (!IsWindowVisible(window) || GetWindowTextLengthA(window) == 0) return TRUE;
  RECT r;
  if (!GetWindowRect(window, &r) || r.right - r.left == 0 || r.bottom - r.top == 0) return TRUE;
  std::string path;
  GetWindowProcessPath(window, path);
  if (IsExcludedPath(path, *capture->excluded)) return TRUE;
  WindowPositionRecord record{window, {}};
  record.placement.length = sizeof record.placement;
  // A window whose placement cannot be read has nothing to restore.
  if (!GetWindowPlacement(window, &record.placement)) return TRUE;
  capture->positions->push_front(record);
  return TRUE;
}

using EnumProcessModulesFunction = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, LPDWORD);
using GetModuleFileNameExFunction = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);

using QueryImageNameFunction = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);

// Asks for little access, so it also reads 64-bit and elevated processes (and 64-bit ones from
// the 32-bit build).
bool ProcessPathByImageName(QueryImageNameFunction query, DWORD processId, std::string& path) {
  UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process) return false;
  char buffer[MAX_PATH];
  DWORD length = sizeof buffer;
  if (query(process.get(), 0, buffer, &length)) path.assign(buffer, length);
  return true;
}

bool ProcessPathNt(DWORD processId, std::string& path) {
  // Where the system has it (Vista and later); the process-status library otherwise.
  if (auto query = reinterpret_cast<QueryImageNameFunction>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameA")))) {
    return ProcessPathByImageName(query, processId, path);
  }
  UniqueModule psapi(LoadLibraryA("PSAPI.DLL"));
  if (!psapi) return false;
  auto enumModules = reinterpret_cast<EnumProcessModulesFunction>(
      reinterpret_cast<void*>(GetProcAddress(psapi.get(), "EnumProcessModules")));
  auto moduleFileName = reinterpret_cast<GetModuleFileNameExFunction>(
      reinterpret_cast<void*>(GetProcAddress(psapi.get(), "GetModuleFileNameExA")));
  if (!enumModules || !moduleFileName) return false;
  UniqueHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
  if (!process) return false;
  HMODULE firstModule = nullptr;
  DWORD needed = 0;
  if (!enumModules(process.get(), &firstModule, sizeof firstModule, &needed)) return false;
  char buffer[MAX_PATH];
  const DWORD length = moduleFileName(process.get(), firstModule, buffer, sizeof buffer);
  if (length > 0) path.assign(buffer, length);
  return true;
}

bool ProcessPathFromSnapshot(DWORD processId, std::string& path) {
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return false;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot.get(), &entry); more;
       more = Process32Next(snapshot.get(), &entry)) {
    if (entry.th32ProcessID == processId) {
      path = entry.szExeFile;
      return true;
    }
  }
  return false;
}

}  // namespace

void CaptureWindowPositions(WindowPositionList& positions, const ExcludedPathList& excluded) {
  // Placements in physical pixels, never scaled for a program that knows no DPI.
  const ScopedPhysicalPixels physical;
  positions.clear();
  CaptureContext context{&positions, &excluded};
  EnumWindows(&CaptureWindow, reinterpret_cast<LPARAM>(&context));
}

namespace {

// ShowWindow has no way to maximise a window without activating and raising it: the
// maximised style and the work area's rectangle do it in place.
void MaximiseWithoutActivating(HWND window, HWND above) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) return;
  const RECT& work = monitor.rcWork;
  SetWindowLongPtrA(window, GWL_STYLE, GetWindowLongPtrA(window, GWL_STYLE) | WS_MAXIMIZE);
  SetWindowPos(window, above ? above : HWND_TOP, work.left, work.top, work.right - work.left,
               work.bottom - work.top, SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// Some systems (Wine) refuse SetWindowPlacement for another process's window but move it
// with SetWindowPos and ShowWindow; this puts the window where the placement says, without
// changing which window is active or the order of the windows.
void PlaceByPositionAndShow(HWND window, const WINDOWPLACEMENT& placement) {
  HWND above = GetWindow(window, GW_HWNDPREV);
  if (IsZoomed(window) || IsIconic(window)) ShowWindow(window, SW_SHOWNOACTIVATE);
  // The placement's normal rectangle is in workspace coordinates, which begin at the work
  // area's corner (beside a taskbar at the top or left); SetWindowPos takes screen ones.
  RECT r = placement.rcNormalPosition;
  if (!(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW)) {
    RECT work{};
    if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) OffsetRect(&r, work.left, work.top);
  }
  SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  if (placement.showCmd == SW_SHOWMAXIMIZED) MaximiseWithoutActivating(window, above);
  if (placement.showCmd == SW_SHOWMINIMIZED) ShowWindow(window, SW_SHOWMINNOACTIVE);
}

}  // namespace

namespace {

// A placement another thread's window takes within this time, or is left to take alone.
constexpr DWORD kPlacementMs = 1000;

void ApplyPlacement(const WindowPositionRecord& record) {
  if (!SetWindowPlacement(record.window, &record.placement) && IsWindow(record.window)) {
    PlaceByPositionAndShow(record.window, record.placement);
  }
}

// A per-monitor aware window that the move took onto a monitor of another scale sizes itself
// anew there: then the placement is applied once more, on that monitor now.
void Place(const WindowPositionRecord& record) {
  const ScopedPhysicalPixels physical;
  ApplyPlacement(record);
  WINDOWPLACEMENT now{};
  now.length = sizeof now;
  if (GetWindowPlacement(record.window, &now) &&
      !EqualRect(&now.rcNormalPosition, &record.placement.rcNormalPosition)) {
    ApplyPlacement(record);
  }
}

}  // namespace

void ApplyWindowPositions(const WindowPositionList& positions) {
  // Showing a window maximised activates it; the window the user works in stays active.
  HWND foreground = GetForegroundWindow();
  for (const WindowPositionRecord& record : positions) {
    // A window that has stopped answering would hold Tavolet until it answers again; one that
    // stops during the placement holds only the thread that places it.
    if (!WindowAnswers(record.window)) continue;
    RunWithin(kPlacementMs, [record] { Place(record); });
  }
  if (foreground && IsWindow(foreground) && GetForegroundWindow() != foreground) {
    SetForegroundWindow(foreground);
  }
}

bool GetWindowProcessPath(HWND window, std::string& path) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&version)) return false;
#pragma GCC diagnostic pop
  if (version.dwPlatformId == VER_PLATFORM_WIN32_NT) return ProcessPathNt(processId, path);
  if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
    return ProcessPathFromSnapshot(processId, path);
  }
  return false;
}
