#include "corvane/desktop_hook.h"

#include <commctrl.h>

#include "corvane/label_colors.h"

#define SHARED __attribute__((section(".shr"), shared))
HHOOK CDesktopHook::hook SHARED = nullptr;
int CDesktopHook::state SHARED = 0;
HWND CDesktopHook::desktop SHARED = nullptr;
WNDPROC CDesktopHook::orgWindowProcList SHARED = nullptr;
unsigned long CDesktopHook::textColor SHARED = 0x00FFFFFF;
unsigned long CDesktopHook::textBdColor SHARED = 0x00000000;
unsigned long CDesktopHook::bkColor SHARED = 0xFFFFFFFF;
unsigned long CDesktopHook::selColor SHARED = 0xFFFFFFFF;

CDesktopHook::CDesktopHook() {
  if (orgWindowProcList) return;
  hook = nullptr;
  state = 0;
  desktop = nullptr;
  textColor = 0x00FFFFFF;
  textBdColor = 0x00000000;
  bkColor = DH_COLOR_NONE;
  selColor = DH_COLOR_AUTO;
}

CDesktopHook::CDesktopHook(const CDesktopHook&) {}

CDesktopHook::~CDesktopHook() { Release(); }

CDesktopHook& CDesktopHook::operator=(const CDesktopHook&) { return *this; }

void CDesktopHook::Repaint() {
  RedrawWindow(desktop, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

bool CDesktopHook::SetState(int newState) {
  state = newState;
  if (!desktop) return false;
  Repaint();
  return true;
}

int CDesktopHook::GetState() { return state; }

bool CDesktopHook::SetColors(unsigned long text, unsigned long textBd, unsigned long bk,
                             unsigned long sel) {
  textColor = text;
  textBdColor = textBd;
  bkColor = bk;
  selColor = sel;
  if (!desktop) return false;
  Repaint();
  return true;
}

void CDesktopHook::GetColors(unsigned long& text, unsigned long& textBd, unsigned long& bk,
                             unsigned long& sel) {
  text = textColor;
  textBd = textBdColor;
  bk = bkColor;
  sel = selColor == DH_COLOR_AUTO ? GetSysColor(COLOR_HIGHLIGHT) : selColor;
}

namespace {

const char kEventName[] = "SetWndLng";
constexpr DWORD kHandshakeMs = 10000;
constexpr UINT kRedrawNow = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;
// This process's own handle of the library.
HINSTANCE moduleInstance = nullptr;

// The handshake event; null when it cannot be made or another attach or detach holds it.
HANDLE CreateHandshake() {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, kEventName);
  if (event && GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(event);
    return nullptr;
  }
  return event;
}

void SignalHandshake() {
  if (HANDLE event = OpenEventA(EVENT_MODIFY_STATE, TRUE, kEventName)) {
    SetEvent(event);
    CloseHandle(event);
  }
}

}  // namespace

bool CDesktopHook::Init() {
  if (orgWindowProcList) return false;
  desktop = FindWindowExA(nullptr, nullptr, "Progman", "Program Manager");
  desktop = FindWindowExA(desktop, nullptr, "SHELLDLL_DefView", nullptr);
  desktop = FindWindowExA(desktop, nullptr, "SysListView32", nullptr);
  if (!desktop) return false;
  const DWORD thread = GetWindowThreadProcessId(desktop, nullptr);
  if (!thread) return false;
  HANDLE event = CreateHandshake();
  if (!event) return false;
  hook = SetWindowsHookExA(WH_GETMESSAGE, &CDesktopHook::GetMsgProc, moduleInstance, thread);
  if (!hook) {
    CloseHandle(event);
    return false;
  }
  PostMessageA(desktop, WM_DESKTOPHOOK_SUBCLASS, 1, 0);
  const DWORD waited = WaitForSingleObject(event, kHandshakeMs);
  CloseHandle(event);
  RedrawWindow(desktop, nullptr, nullptr, kRedrawNow);
  return waited == WAIT_OBJECT_0;
}

bool CDesktopHook::Release() {
  if (!orgWindowProcList || !desktop) return false;
  HANDLE event = CreateHandshake();
  if (!event) return false;
  PostMessageA(desktop, WM_DESKTOPHOOK_SUBCLASS, 0, 0);
  const DWORD waited = WaitForSingleObject(event, kHandshakeMs);
  // Without the answer the list view may still be subclassed: the hook (which keeps the
  // library in the shell) stays.
  if (waited == WAIT_OBJECT_0) {
    UnhookWindowsHookEx(hook);
    hook = nullptr;
  }
  CloseHandle(event);
  RedrawWindow(desktop, nullptr, nullptr, kRedrawNow);
  desktop = nullptr;
  return waited == WAIT_OBJECT_0;
}

LRESULT CALLBACK CDesktopHook::GetMsgProc(int code, WPARAM wParam, LPARAM lParam) {
  const auto* msg = reinterpret_cast<const MSG*>(lParam);
  if (code >= 0 && msg && msg->message == WM_DESKTOPHOOK_SUBCLASS) {
    if (msg->wParam && !orgWindowProcList) {
      // Pinned in the shell's process: the list view may call into it for as long as it lives.
      HMODULE pinned = nullptr;
      GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                         reinterpret_cast<LPCSTR>(&CDesktopHook::WindowProcList), &pinned);
      orgWindowProcList = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
          desktop, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CDesktopHook::WindowProcList)));
      SignalHandshake();
    } else if (!msg->wParam && orgWindowProcList) {
      SetWindowLongPtrA(desktop, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(orgWindowProcList));
      orgWindowProcList = nullptr;
      SignalHandshake();
    }
  }
  return CallNextHookEx(hook, code, wParam, lParam);
}

LRESULT CALLBACK CDesktopHook::WindowProcList(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
  if (message == WM_PAINT && state) {
    OnPaintList(window);
    return 0;
  }
  if (!orgWindowProcList) return DefWindowProcA(window, message, wParam, lParam);
  return CallWindowProcA(orgWindowProcList, window, message, wParam, lParam);
}

namespace {

constexpr UINT kLabelFormat = DT_CENTER | DT_WORDBREAK | DT_END_ELLIPSIS | DT_MODIFYSTRING;

struct PaintContext {
  HWND list;
  HDC dc;
  HIMAGELIST images;
  int imageCount;
  LabelColors colors;
};

bool QueryItem(HWND list, int index, LVITEMA& item, char (&text)[512]) {
  item = LVITEMA{};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE;
  item.iItem = index;
  item.stateMask = LVIS_FOCUSED | LVIS_SELECTED | LVIS_DROPHILITED;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  text[0] = '\0';
  return SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) != FALSE;
}

RECT ItemRect(HWND list, int index, int part) {
  RECT r{};
  r.left = part;
  SendMessageA(list, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
  return r;
}

void FillRect(HDC dc, const RECT& r, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  ::FillRect(dc, &r, brush);
  DeleteObject(brush);
}

void Line(HDC dc, int x0, int y0, int x1, int y1, COLORREF color) {
  HPEN pen = CreatePen(PS_SOLID, 1, color);
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
  SelectObject(dc, old);
  DeleteObject(pen);
}

void DrawItem(const PaintContext& p, int index, const LVITEMA& item, char* text) {
  const bool highlighted = (item.state & (LVIS_SELECTED | LVIS_DROPHILITED)) != 0;
  if (item.iImage >= 0 && item.iImage < p.imageCount) {
    const RECT r = ItemRect(p.list, index, LVIR_ICON);
    IMAGELISTDRAWPARAMS draw{};
    draw.cbSize = sizeof draw;
    draw.himl = p.images;
    draw.i = item.iImage;
    draw.hdcDst = p.dc;
    draw.x = r.left + (r.right - r.left - 32) / 2;
    draw.y = r.top + (r.bottom - r.top - 32) / 2;
    draw.cx = 32;
    draw.cy = 32;
    draw.rgbBk = CLR_NONE;
    draw.rgbFg = CLR_DEFAULT;
    draw.fStyle = ILD_ROP | (highlighted ? ILD_BLEND50 : 0);
    draw.dwRop = SRCCOPY;
    ImageList_DrawIndirect(&draw);
  }
  RECT r = ItemRect(p.list, index, LVIR_LABEL);
  const int saved = SaveDC(p.dc);
  IntersectClipRect(p.dc, r.left, r.top, r.right, r.bottom);
  if (p.colors.background != kColorNone) FillRect(p.dc, r, p.colors.background);
  if (highlighted) {
    FillRect(p.dc, r, p.colors.selection);
    Line(p.dc, r.left, r.bottom - 1, r.left, r.top, p.colors.light);
    Line(p.dc, r.left, r.top, r.right - 1, r.top, p.colors.light);
    Line(p.dc, r.right - 1, r.top, r.right - 1, r.bottom - 1, p.colors.dark);
    Line(p.dc, r.right - 1, r.bottom - 1, r.left - 1, r.bottom - 1, p.colors.dark);
  }
  if (p.colors.outline != kColorNone) {
    SetTextColor(p.dc, p.colors.outline);
    OffsetRect(&r, 0, 1);
    for (const Offset& o : kOutlineOffsets) {
      RECT pass = r;
      OffsetRect(&pass, o.dx, o.dy);
      DrawTextA(p.dc, text, -1, &pass, kLabelFormat);
    }
  }
  SetTextColor(p.dc, p.colors.text);
  DrawTextA(p.dc, text, -1, &r, kLabelFormat);
  RestoreDC(p.dc, saved);
}

}  // namespace

void CDesktopHook::OnPaintList(HWND list) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(list, &paint);
  SendMessageA(list, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(list));
  HGDIOBJ oldFont =
      SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0)));
  PaintContext p{list, dc, nullptr, 0, {}};
  p.images = reinterpret_cast<HIMAGELIST>(SendMessageA(list, LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
  p.imageCount = p.images ? ImageList_GetImageCount(p.images) : 0;
  SetBkMode(dc, TRANSPARENT);
  p.colors = ResolveLabelColors(textColor, textBdColor, bkColor, selColor, GetTextColor(dc),
                                GetBkColor(dc), GetSysColor(COLOR_HIGHLIGHT));
  const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  int focused = -1;
  LVITEMA item;
  char text[512];
  for (int i = 0; i < count; ++i) {
    if (!QueryItem(list, i, item, text)) continue;
    if (item.state & LVIS_FOCUSED) {
      focused = i;
      continue;
    }
    DrawItem(p, i, item, text);
  }
  if (focused >= 0 && QueryItem(list, focused, item, text)) DrawItem(p, focused, item, text);
  SelectObject(dc, oldFont);
  SetBkMode(dc, OPAQUE);
  EndPaint(list, &paint);
}

// The class library's extension-module registration has no counterpart in our framework.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID) {
  moduleInstance = instance;
  return TRUE;
}
