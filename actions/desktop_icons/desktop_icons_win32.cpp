#include "actions/desktop_icons/desktop_icons.h"

#include <windows.h>

#include "corvane/desktop_hook.h"
#include "framework/dpi.h"
#include "framework/handles.h"

namespace {
// Enough for some hundred icons in one go; a larger desktop is read a second time.
constexpr unsigned long kFirstReadBytes = 64 * 1024;

ScreenRect FromRect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

using DpiGetter = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

struct MonitorSearch {
  Monitors monitors;
  DpiGetter dpiOf;  // null before Windows 8.1, where every monitor has the system's DPI
  unsigned systemDpi;
};

BOOL CALLBACK AddMonitor(HMONITOR handle, HDC, LPRECT, LPARAM context) {
  auto& search = *reinterpret_cast<MonitorSearch*>(context);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (search.monitors.size() >= kMaxMonitors || !GetMonitorInfoA(handle, &info)) return TRUE;
  Monitor monitor;
  monitor.area = FromRect(info.rcMonitor);
  monitor.work = FromRect(info.rcWork);
  UINT x = 0, y = 0;
  const bool known =
      search.dpiOf && SUCCEEDED(search.dpiOf(handle, 0 /* MDT_EFFECTIVE_DPI */, &x, &y));
  monitor.dpi = known && x ? x : search.systemDpi;
  search.monitors.push_back(monitor);
  return TRUE;
}

// The work areas in the list view's own coordinates, where the icons' positions are.
std::vector<ScreenRect> WorkAreasOfList(const Monitors& monitors, HWND list) {
  POINT origin{0, 0};
  MapWindowPoints(list, nullptr, &origin, 1);
  std::vector<ScreenRect> areas;
  for (const Monitor& monitor : monitors) {
    const ScreenRect& work = monitor.work;
    areas.push_back(
        {work.left - origin.x, work.top - origin.y, work.right - origin.x, work.bottom - origin.y});
  }
  return areas;
}

}  // namespace

Monitors SystemMonitors() {
  ScopedPhysicalPixels physical;
  UniqueModule shcore(LoadLibraryA("shcore.dll"));
  MonitorSearch search{{}, nullptr, WindowDpi(nullptr)};
  if (shcore) {
    search.dpiOf = reinterpret_cast<DpiGetter>(
        reinterpret_cast<void*>(GetProcAddress(shcore.get(), "GetDpiForMonitor")));
  }
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&search));
  return search.monitors;
}

void DesktopIconKeeper::Load(const std::string& path) {
  std::string bytes;
  if (file_.Load(path, bytes) == ReadOutcome::Read) DecodeIconLayouts(bytes, layouts_);
  loaded_ = true;
  written_ = EncodeIconLayouts(layouts_);
  file_.SetBaseline(written_);
}

bool DesktopIconKeeper::Save(bool finalSave) {
  if (!loaded_) return false;
  std::string bytes = EncodeIconLayouts(layouts_);
  if (bytes == written_) return true;  // a user who never remembers gets no file
  if (!file_.Save(bytes, finalSave)) return false;
  written_ = std::move(bytes);
  return true;
}

bool DesktopIconKeeper::ReadDesktop(CDesktopHook& corvane, DesktopIcons& icons) {
  std::string bytes(kFirstReadBytes, '\0');
  unsigned long size = corvane.ReadIcons(bytes.data(), kFirstReadBytes);
  if (size > kMaxIconListBytes) return false;  // never what the shell sends: nothing is taken
  if (size > kFirstReadBytes) {
    bytes.resize(size);
    if (corvane.ReadIcons(bytes.data(), size) != size) return false;
  }
  if (size == 0) return false;
  bytes.resize(size);
  return ParseIconList(bytes, icons);
}

bool DesktopIconKeeper::Remember(CDesktopHook& corvane) {
  DesktopIcons icons;
  if (!ReadDesktop(corvane, icons) || !RememberLayout(layouts_, monitors_(), icons)) return false;
  return Save(false);
}

bool DesktopIconKeeper::Restore(CDesktopHook& corvane) {
  const Monitors monitors = monitors_();
  const IconLayout* layout = LayoutFor(layouts_, monitors);
  if (!layout) return true;
  DesktopIcons icons;
  if (!ReadDesktop(corvane, icons)) return false;
  if (icons.autoArrange) return true;  // positions cannot be set: nothing to try again
  std::vector<ScreenRect> workAreas;
  {
    ScopedPhysicalPixels physical;
    workAreas = WorkAreasOfList(monitors, CDesktopHook::desktop);
  }
  const std::vector<IconMove> moves = PlanIconMoves(*layout, icons.icons, workAreas);
  if (moves.empty()) return true;
  const std::string bytes = EncodeIconMoves(static_cast<uint32_t>(icons.icons.size()), moves);
  return corvane.MoveIcons(bytes.data(), static_cast<unsigned long>(bytes.size())) ==
         static_cast<long>(moves.size());
}

void DesktopIconKeeper::WatchMonitors(CDesktopHook& corvane) {
  if (monitorWatch_.Tick(monitors_()) && Restore(corvane)) monitorWatch_.Restored();
}
