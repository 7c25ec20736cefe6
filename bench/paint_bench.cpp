// Corvane's painting of a list view with 200 items against the list view's own paint of the
// same items, under Wine (median of many paints of each): a full repaint with text, outline
// and background, and a repaint of one item.
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

// As Corvane's subclass: the paint erases into its own buffer.
LRESULT CALLBACK Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT && corvanePaints) {
    PaintProbe::OnPaintList(window);
    return 0;
  }
  if (message == WM_ERASEBKGND && corvanePaints) return 1;
  return CallWindowProcA(ownProcedure, window, message, wParam, lParam);
}

double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

double TimeOnePaint(HWND list, const RECT* area) {
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  InvalidateRect(list, area, TRUE);
  QueryPerformanceCounter(&start);
  UpdateWindow(list);
  QueryPerformanceCounter(&end);
  return (end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
}

struct Figures {
  double own, corvane, corvaneItem;
};

// The two painters take turns, so whatever else the machine does weighs on both alike.
Figures TimePaints(HWND list, int rounds, const RECT& item) {
  std::vector<double> own, corvane, corvaneItem;
  for (int i = 0; i < rounds; ++i) {
    corvanePaints = false;
    own.push_back(TimeOnePaint(list, nullptr));
    corvanePaints = true;
    corvane.push_back(TimeOnePaint(list, nullptr));
    corvaneItem.push_back(TimeOnePaint(list, &item));
  }
  return {Median(own), Median(corvane), Median(corvaneItem)};
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
    std::string label = "item " + std::to_string(i) +
                        (i % 5 == 0 ? " with a label long enough to wrap over lines.txt" : "");
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = i;
    item.pszText = label.data();
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
  ownProcedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Subclass)));
  CDesktopHook::orgWindowProcList = ownProcedure;
  CDesktopHook colours;
  colours.SetColors(RGB(255, 255, 255), RGB(0, 0, 0), DH_COLOR_AUTO, DH_COLOR_AUTO);
  colours.SetState(1);
  RECT one{};
  one.left = LVIR_BOUNDS;
  SendMessageA(list, LVM_GETITEMRECT, 57, reinterpret_cast<LPARAM>(&one));
  TimePaints(list, 5, one);  // warm up
  const Figures f = TimePaints(list, 41, one);
  const double own = f.own, corvane = f.corvane, item = f.corvaneItem;
  std::printf(
      "Full repaint of 200 items (text, outline, background): Corvane %.2f ms, the list view's "
      "own %.2f ms, ratio %.2f (target <= 1.0; median of 41)\n",
      corvane, own, corvane / own);
  std::printf("One item repainted: %.3f ms, full repaint %.2f ms, ratio %.3f (target <= 0.1)\n",
              item, corvane, item / corvane);
  DestroyWindow(list);
  return 0;
}
