// A stand-in for the shell's desktop, which Wine does not have: "Progman" ("Program Manager")
// with a "SHELLDLL_DefView" child holding a "SysListView32" in icon view, a handful of
// items with 32 x 32 icons and one long label. Runs until its window is closed.
#include <windows.h>
#include <commctrl.h>

namespace {

const char kDefViewClass[] = "SHELLDLL_DefView";

LRESULT CALLBACK ProgmanProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE: {
      HWND view = FindWindowExA(window, nullptr, kDefViewClass, nullptr);
      if (view) MoveWindow(view, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

LRESULT CALLBACK DefViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SIZE) {
    HWND list = FindWindowExA(window, nullptr, WC_LISTVIEWA, nullptr);
    if (list) MoveWindow(list, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterClassNamed(const char* name, WNDPROC procedure, HINSTANCE instance) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BACKGROUND + 1);
  windowClass.lpszClassName = name;
  return RegisterClassA(&windowClass) != 0;
}

void FillList(HWND list) {
  HIMAGELIST images = ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 4, 0);
  const LPCSTR icons[] = {MAKEINTRESOURCEA(32512), MAKEINTRESOURCEA(32516), MAKEINTRESOURCEA(32514),
                          MAKEINTRESOURCEA(32515)};
  for (LPCSTR icon : icons) ImageList_AddIcon(images, LoadIconA(nullptr, icon));
  SendMessageA(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
  const char* const labels[] = {
      "マイ コンピュータ", "ごみ箱", "Documents", "メモ.txt",
      "とても長い名前のファイル - a label long enough to wrap over several lines.txt"};
  int index = 0;
  for (const char* label : labels) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = index;
    item.iImage = index % 4;
    item.pszText = const_cast<char*>(label);
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    ++index;
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  if (!RegisterClassNamed("Progman", ProgmanProc, instance) ||
      !RegisterClassNamed(kDefViewClass, DefViewProc, instance)) {
    return 1;
  }
  RECT area;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  HWND progman =
      CreateWindowExA(WS_EX_TOOLWINDOW, "Progman", "Program Manager", WS_POPUP | WS_CLIPCHILDREN,
                      area.left, area.top, area.right - area.left, area.bottom - area.top, nullptr,
                      nullptr, instance, nullptr);
  HWND view = CreateWindowExA(0, kDefViewClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                              0, 0, progman, nullptr, instance, nullptr);
  HWND list =
      CreateWindowExA(0, WC_LISTVIEWA, "FolderView",
                      WS_CHILD | WS_VISIBLE | LVS_ICON | LVS_AUTOARRANGE | LVS_SHAREIMAGELISTS, 0,
                      0, 0, 0, view, reinterpret_cast<HMENU>(1), instance, nullptr);
  if (!progman || !view || !list) return 1;
  FillList(list);
  SendMessageA(list, LVM_SETBKCOLOR, 0, GetSysColor(COLOR_BACKGROUND));
  SendMessageA(list, LVM_SETTEXTBKCOLOR, 0, CLR_NONE);
  SendMessageA(list, LVM_SETTEXTCOLOR, 0, RGB(255, 255, 255));
  ShowWindow(progman, SW_SHOWNOACTIVATE);
  SetWindowPos(progman, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SendMessageA(progman, WM_SIZE, 0, MAKELPARAM(area.right - area.left, area.bottom - area.top));
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
