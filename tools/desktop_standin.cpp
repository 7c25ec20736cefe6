// A stand-in for the shell's desktop, which Wine does not have, as hard to live with as the real
// one: a Unicode "SysListView32" in icon view inside "SHELLDLL_DefView", with labels outside
// the ANSI code page and one of 255 Japanese characters. Runs until its windows are closed.
//   (no option)  the list view's chain is under "Progman" ("Program Manager")
//   /workerw     the chain is under a top-level "WorkerW", as after the shell split its desktop
//   /icons48     48 x 48 icons (solid magenta squares) instead of the system's 32 x 32 ones
//   /free        icons placed freely (no auto-arrange), as most users keep their desktop
// Asked with the registered message "TavoletStandInListProcedure" (sent to the view), it
// answers 1 while the list view has its own window procedure, 2 while its own subclass (below)
// is on top, and 0 while another one is: another process cannot read a window procedure.
// Registered messages posted to the view, as a busy shell and other programs would do:
//   "TavoletStandInStall" (wParam ms)     its thread stops answering for that long
//   "TavoletStandInSubclass" (wParam 1/0) it subclasses its own list view on top of whatever
//                                         is there, or puts back what it found
//   "TavoletStandInResize" (wParam width, lParam height)  the desktop takes that size, and its
//                                         icons are arranged anew, as after a change of the
//                                         screen's resolution
//   "TavoletStandInAddIcon"               a new icon, "新しいフォルダー", at the end
//   "TavoletStandInRemoveIcons"           every icon goes, as while the shell is still starting
// After a change of the display's mode (WM_DISPLAYCHANGE) the desktop takes the new size and its
// icons are arranged anew, as the shell does.
#include <windows.h>
#include <commctrl.h>

#include <string>

namespace {

const wchar_t kDefViewClass[] = L"SHELLDLL_DefView";
constexpr COLORREF kIcon48Color = RGB(255, 0, 255);
UINT listProcedureQuery = 0;
UINT stallRequest = 0;
UINT subclassRequest = 0;
UINT resizeRequest = 0;
UINT addIconRequest = 0;
UINT removeIconsRequest = 0;
HWND desktopHost = nullptr;
LONG_PTR listOwnProcedure = 0;
WNDPROC belowOwnSubclass = nullptr;

LRESULT CALLBACK OwnSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(belowOwnSubclass, window, message, wParam, lParam);
}

void SubclassOwnList(HWND list, bool on) {
  if (on && !belowOwnSubclass) {
    belowOwnSubclass = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OwnSubclass)));
  } else if (!on && belowOwnSubclass) {
    SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(belowOwnSubclass));
    belowOwnSubclass = nullptr;
  }
}

HWND ListOf(HWND host) {
  HWND view = FindWindowExW(host, nullptr, kDefViewClass, nullptr);
  return view ? FindWindowExW(view, nullptr, WC_LISTVIEWW, nullptr) : nullptr;
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DISPLAYCHANGE:
      // The new mode's size: a running program may still be told the old work area here.
      if (window == desktopHost) {
        SetWindowPos(window, nullptr, 0, 0, LOWORD(lParam), HIWORD(lParam),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        if (HWND list = ListOf(window)) SendMessageW(list, LVM_ARRANGE, LVA_DEFAULT, 0);
      }
      return DefWindowProcW(window, message, wParam, lParam);
    case WM_SIZE: {
      HWND view = FindWindowExW(window, nullptr, kDefViewClass, nullptr);
      if (view) MoveWindow(view, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

LRESULT CALLBACK DefViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND list = FindWindowExW(window, nullptr, WC_LISTVIEWW, nullptr);
  if (message == listProcedureQuery && listProcedureQuery) {
    const LONG_PTR current = list ? GetWindowLongPtrW(list, GWLP_WNDPROC) : 0;
    if (current == reinterpret_cast<LONG_PTR>(&OwnSubclass)) return 2;
    return list && current == listOwnProcedure;
  }
  if (message == stallRequest && stallRequest) {
    Sleep(static_cast<DWORD>(wParam));
    return 0;
  }
  if (message == subclassRequest && subclassRequest && list) {
    SubclassOwnList(list, wParam != 0);
    return 0;
  }
  if (message == resizeRequest && resizeRequest && list) {
    SetWindowPos(desktopHost, nullptr, 0, 0, static_cast<int>(wParam), static_cast<int>(lParam),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(list, LVM_ARRANGE, LVA_DEFAULT, 0);
    return 0;
  }
  if (message == addIconRequest && addIconRequest && list) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = const_cast<wchar_t*>(L"新しいフォルダー");
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return 0;
  }
  if (message == removeIconsRequest && removeIconsRequest && list) {
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    return 0;
  }
  if (message == WM_SIZE) {
    if (list) MoveWindow(list, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterClassNamed(const wchar_t* name, WNDPROC procedure, HINSTANCE instance) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BACKGROUND + 1);
  windowClass.lpszClassName = name;
  return RegisterClassW(&windowClass) != 0;
}

HIMAGELIST SystemIcons() {
  HIMAGELIST images = ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 4, 0);
  const LPCWSTR icons[] = {MAKEINTRESOURCEW(32512), MAKEINTRESOURCEW(32516),
                           MAKEINTRESOURCEW(32514), MAKEINTRESOURCEW(32515)};
  for (LPCWSTR icon : icons) ImageList_AddIcon(images, LoadIconW(nullptr, icon));
  return images;
}

// Whole squares of one colour, so a test can count whether every pixel of them was drawn.
HIMAGELIST SolidIcons48() {
  HIMAGELIST images = ImageList_Create(48, 48, ILC_COLOR32 | ILC_MASK, 4, 0);
  HDC screen = GetDC(nullptr);
  HBITMAP color = CreateCompatibleBitmap(screen, 48, 48);
  HBITMAP mask = CreateBitmap(48, 48, 1, 1, nullptr);
  HDC dc = CreateCompatibleDC(screen);
  const RECT all{0, 0, 48, 48};
  HGDIOBJ old = SelectObject(dc, color);
  HBRUSH brush = CreateSolidBrush(kIcon48Color);
  FillRect(dc, &all, brush);
  SelectObject(dc, mask);
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));  // opaque everywhere
  SelectObject(dc, old);
  for (int i = 0; i < 4; ++i) ImageList_Add(images, color, mask);
  DeleteObject(brush);
  DeleteDC(dc);
  DeleteObject(mask);
  DeleteObject(color);
  ReleaseDC(nullptr, screen);
  return images;
}

void FillList(HWND list, bool icons48) {
  SendMessageW(list, LVM_SETIMAGELIST, LVSIL_NORMAL,
               reinterpret_cast<LPARAM>(icons48 ? SolidIcons48() : SystemIcons()));
  std::wstring longJapanese;
  for (int i = 0; i < 255; ++i) longJapanese += static_cast<wchar_t>(L'あ' + i % 80);
  const std::wstring labels[] = {
      L"マイ コンピュータ",
      L"ごみ箱",
      L"Documents",
      L"メモ.txt",
      L"とても長い名前のファイル - a label long enough to wrap over several lines.txt",
      L"한국어 Ελληνικά 😀",
      longJapanese};
  int index = 0;
  for (const std::wstring& label : labels) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = index;
    item.iImage = index % 4;
    item.pszText = const_cast<wchar_t*>(label.c_str());
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    ++index;
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  const std::string options = commandLine ? commandLine : "";
  const bool workerW = options.find("/workerw") != std::string::npos;
  const bool icons48 = options.find("/icons48") != std::string::npos;
  const bool freePlacement = options.find("/free") != std::string::npos;
  listProcedureQuery = RegisterWindowMessageW(L"TavoletStandInListProcedure");
  stallRequest = RegisterWindowMessageW(L"TavoletStandInStall");
  subclassRequest = RegisterWindowMessageW(L"TavoletStandInSubclass");
  resizeRequest = RegisterWindowMessageW(L"TavoletStandInResize");
  addIconRequest = RegisterWindowMessageW(L"TavoletStandInAddIcon");
  removeIconsRequest = RegisterWindowMessageW(L"TavoletStandInRemoveIcons");
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  if (!RegisterClassNamed(L"Progman", FrameProc, instance) ||
      !RegisterClassNamed(L"WorkerW", FrameProc, instance) ||
      !RegisterClassNamed(kDefViewClass, DefViewProc, instance)) {
    return 1;
  }
  RECT area;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  const int width = area.right - area.left, height = area.bottom - area.top;
  auto frame = [&](const wchar_t* className, const wchar_t* title) {
    return CreateWindowExW(WS_EX_TOOLWINDOW, className, title, WS_POPUP | WS_CLIPCHILDREN,
                           area.left, area.top, width, height, nullptr, nullptr, instance, nullptr);
  };
  HWND progman = frame(L"Progman", L"Program Manager");
  // The split desktop: an empty WorkerW first, then the one that holds the view.
  if (workerW) frame(L"WorkerW", L"");
  HWND host = workerW ? frame(L"WorkerW", L"") : progman;
  HWND view = CreateWindowExW(0, kDefViewClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                              0, 0, host, nullptr, instance, nullptr);
  const DWORD arrange = freePlacement ? 0 : LVS_AUTOARRANGE;
  HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"FolderView",
                              WS_CHILD | WS_VISIBLE | LVS_ICON | arrange | LVS_SHAREIMAGELISTS, 0,
                              0, 0, 0, view, reinterpret_cast<HMENU>(1), instance, nullptr);
  if (!progman || !host || !view || !list) return 1;
  desktopHost = host;
  listOwnProcedure = GetWindowLongPtrW(list, GWLP_WNDPROC);
  FillList(list, icons48);
  SendMessageW(list, LVM_SETBKCOLOR, 0, GetSysColor(COLOR_BACKGROUND));
  SendMessageW(list, LVM_SETTEXTBKCOLOR, 0, CLR_NONE);
  SendMessageW(list, LVM_SETTEXTCOLOR, 0, RGB(255, 255, 255));
  // At the bottom of the Z-order; with a split desktop only the list view's host is shown.
  ShowWindow(host, SW_SHOWNOACTIVATE);
  SetWindowPos(host, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SendMessageW(host, WM_SIZE, 0, MAKELPARAM(width, height));
  if (freePlacement) SendMessageW(list, LVM_ARRANGE, LVA_DEFAULT, 0);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
