// One paint of a list view with 200 items by Corvane's OnPaintList against the list view's own
// paint of the same items, under Wine (median of many paints of each).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "corvane/desktop_hook.h"

namespace {

class PaintProbe : public CDesktopHook {
 public:
  using CDesktopHook::OnPaintList;
};

WNDPROC ownProcedure = nullptr;
bool corvanePaints = false;

LRESULT CALLBACK Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT && corvanePaints) {
    PaintProbe::OnPaintList(window);
    return 0;
  }
  return CallWindowProcA(ownProcedure, window, message, wParam, lParam);
}

double TimePaints(HWND list, int paints) {
  std::vector<double> times;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  for (int i = 0; i < paints; ++i) {
    InvalidateRect(list, nullptr, TRUE);
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    UpdateWindow(list);
    QueryPerformanceCounter(&end);
    times.push_back((end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_POPUP | WS_VISIBLE | LVS_ICON, 0, 0, 1000,
                              740, nullptr, nullptr, nullptr, nullptr);
  HIMAGELIST images = ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 1, 0);
  ImageList_AddIcon(images, LoadIconA(nullptr, MAKEINTRESOURCEA(32512)));
  SendMessageA(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
  for (int i = 0; i < 200; ++i) {
    std::string label = "item " + std::to_string(i) + (i % 10 == 0 ? " with a longer label" : "");
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = i;
    item.pszText = label.data();
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
  ownProcedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Subclass)));
  CDesktopHook colours;
  colours.SetColors(RGB(255, 255, 255), RGB(0, 0, 0), DH_COLOR_NONE, DH_COLOR_AUTO);
  colours.SetState(1);
  TimePaints(list, 5);  // warm up
  const double own = TimePaints(list, 31);
  corvanePaints = true;
  const double corvane = TimePaints(list, 31);
  std::printf(
      "One paint of 200 items under Wine: the list view's own %.1f ms, OnPaintList %.1f ms, "
      "ratio %.2f (median of 31)\n",
      own, corvane, corvane / own);
  DestroyWindow(list);
  return 0;
}
