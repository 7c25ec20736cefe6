#include "app/main_dlg.h"

#include <utility>

#include "app/about_dlg.h"
#include "app/main_app.h"
#include "framework/dpi.h"
#include "framework/handles.h"
#include "resources/resource.h"

namespace {
// The new shell may make its desktop after its taskbar: look again for half a minute.
constexpr UINT_PTR kReattachTimer = 1;
constexpr UINT kReattachIntervalMs = 1000;
constexpr int kReattachTries = 30;
// How often the desktop's size is looked at, for the icons to come back after a change.
constexpr UINT_PTR kScreenSizeTimer = 2;
constexpr UINT kScreenSizeIntervalMs = 1000;
// A request the shell has not answered stays in its queue; it is posted again this often.
constexpr int kAskAgainEveryTries = 10;

// An elevated Tavolet hears the shell's notice only when it lets the message through.
void AllowFromTheShell(HWND window, UINT message) {
  using FilterFunction = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
  auto allow = reinterpret_cast<FilterFunction>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("user32.dll"), "ChangeWindowMessageFilterEx")));
  if (allow) allow(window, message, 1 /* MSGFLT_ALLOW */, nullptr);
}
}  // namespace

CMainDlg::CMainDlg() : CDialog(IDD_MAIN) {
  HINSTANCE instance = AfxGetResourceHandle();
  const int smallWidth = GetSystemMetrics(SM_CXSMICON);
  const int smallHeight = GetSystemMetrics(SM_CYSMICON);
  bigIcon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
  smallIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
                                            smallWidth, smallHeight, LR_DEFAULTCOLOR));
  blockedIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_BLOCKED), IMAGE_ICON,
                                              smallWidth, smallHeight, LR_DEFAULTCOLOR));
  smallIconSize_ = {smallWidth, smallHeight};
  // Only the shell's own notice brings the icon back; other registered messages are not ours.
  taskbarCreatedMessage_ = RegisterWindowMessageA("TaskbarCreated");
}

CMainDlg::~CMainDlg() = default;

void CMainDlg::KeepHidden() {
  ShowWindow(m_hWnd, SW_HIDE);
  ModifyStyleEx(WS_EX_APPWINDOW, WS_EX_TOOLWINDOW);
  ModifyStyle(0, WS_MINIMIZE);
}

BOOL CMainDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (HMENU systemMenu = GetSystemMenu(m_hWnd, FALSE)) {
    char text[256] = "";
    if (LoadStringA(AfxGetResourceHandle(), IDS_ABOUT_MENU, text, sizeof text) > 0) {
      AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
      AppendMenuA(systemMenu, MF_STRING, ID_ABOUT_BOX, text);
    }
  }
  FitSmallIcons(WindowDpi(m_hWnd));
  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
  KeepHidden();
  if (taskbarCreatedMessage_) AllowFromTheShell(m_hWnd, taskbarCreatedMessage_);
  trayIcon.Setup(m_hWnd, 0, WM_TRAY_NOTIFY, smallIcon, "Tavolet");
  trayIcon.Show();  // a refused icon waits for the next taskbar notice
  SetTimer(m_hWnd, kScreenSizeTimer, kScreenSizeIntervalMs, nullptr);
  return TRUE;
}

LRESULT CMainDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ACTIVATE || message == WM_ACTIVATEAPP) {
    KeepHidden();
  } else if (message == WM_HOTKEY) {
    // Only loops other than Tavolet's own (a menu, a message box, a common dialog) deliver it
    // here: Tavolet's own loops hand it to the dispatcher before.
    TheApp().DispatchHotKey(static_cast<int32_t>(wParam));
    return 0;
  } else if (message == WM_QUERYENDSESSION) {
    TheApp().RequestSessionEnd(true);
  } else if (message == WM_ENDSESSION && !wParam) {
    TheApp().RequestSessionEnd(false);
  } else if (message == WM_TRAY_NOTIFY) {
    if (lParam == WM_LBUTTONDOWN) {
      TheApp().ToggleScreenSaverBlock();
    } else if (lParam == WM_RBUTTONDOWN) {
      ShowTrayMenu();
    }
  } else if (message == WM_DPICHANGED) {
    FitSmallIcons(LOWORD(wParam));
  } else if (taskbarCreatedMessage_ != 0 && message == taskbarCreatedMessage_) {
    FitSmallIcons(WindowDpi(m_hWnd));  // a new taskbar may come with new scaling
    trayIcon.Reset();
    StartReattaching(true);
  }
  return CDialog::WindowProc(message, wParam, lParam);
}

void CMainDlg::FitSmallIcons(unsigned dpi) {
  const int width = SystemMetricForDpi(SM_CXSMICON, dpi);
  const int height = SystemMetricForDpi(SM_CYSMICON, dpi);
  if (width == smallIconSize_.cx && height == smallIconSize_.cy) return;
  HINSTANCE instance = AfxGetResourceHandle();
  HICON normal = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME),
                                               IMAGE_ICON, width, height, LR_DEFAULTCOLOR));
  HICON blocked = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_BLOCKED), IMAGE_ICON,
                                                width, height, LR_DEFAULTCOLOR));
  if (!normal || !blocked) {
    if (normal) DestroyIcon(normal);
    if (blocked) DestroyIcon(blocked);
    return;
  }
  smallIconSize_ = {width, height};
  const bool showsBlocked = trayIcon.Record().hIcon && trayIcon.Record().hIcon == blockedIcon;
  std::swap(normal, smallIcon);
  std::swap(blocked, blockedIcon);
  if (trayIcon.Record().hIcon) trayIcon.SetIcon(showsBlocked ? blockedIcon : smallIcon, true);
  if (m_hWnd) SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
  if (normal) DestroyIcon(normal);
  if (blocked) DestroyIcon(blocked);
}

void CMainDlg::StartReattaching(bool tryNow) {
  // Counted from 1 when the first look waits for the timer: the request was just made.
  reattachTries_ = tryNow ? 0 : 1;
  if (tryNow) {
    ReattachDesktop();
  } else {
    SetTimer(m_hWnd, kReattachTimer, kReattachIntervalMs, nullptr);
  }
}

void CMainDlg::ReattachDesktop() {
  const bool askAgain = reattachTries_ % kAskAgainEveryTries == 0;
  if (TheApp().ReattachDesktop(askAgain) || ++reattachTries_ >= kReattachTries) {
    KillTimer(m_hWnd, kReattachTimer);
  } else {
    SetTimer(m_hWnd, kReattachTimer, kReattachIntervalMs, nullptr);
  }
}

bool CMainDlg::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kScreenSizeTimer) {
        TheApp().WatchScreenSize();
        result = 0;
        return true;
      }
      if (wParam != kReattachTimer) break;
      ReattachDesktop();
      result = 0;
      return true;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) != ID_ABOUT_BOX) break;
      {
        CAboutDlg about;
        about.DoModal();
      }
      result = 0;
      return true;
    case WM_PAINT:
      if (!IsIconic(m_hWnd)) break;
      PaintMinimised();
      result = 0;
      return true;
    case WM_QUERYDRAGICON:
      result = reinterpret_cast<LRESULT>(bigIcon);
      return true;
    case WM_RBUTTONDOWN:
      ShowTrayMenu();
      result = 0;
      return true;
    default:
      break;
  }
  return CDialog::OnWndMsg(message, wParam, lParam, result);
}

void CMainDlg::PaintMinimised() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(m_hWnd, &paint);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client;
  GetClientRect(m_hWnd, &client);
  const unsigned dpi = WindowDpi(m_hWnd);
  const int x = (client.right - client.left - SystemMetricForDpi(SM_CXICON, dpi) + 1) / 2;
  const int y = (client.bottom - client.top - SystemMetricForDpi(SM_CYICON, dpi) + 1) / 2;
  DrawIcon(dc, x, y, bigIcon);
  EndPaint(m_hWnd, &paint);
}

void CMainDlg::UpdateTrayIcon(int on) { trayIcon.SetIcon(on ? blockedIcon : smallIcon, true); }

void CMainDlg::ShowTrayMenu() {
  POINT cursor{};
  GetCursorPos(&cursor);
  SetForegroundWindow(m_hWnd);
  UniqueMenu menu(LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDM_TRAY)));
  if (!menu) return;
  if (HMENU popup = GetSubMenu(menu.get(), 0)) {
    TrackPopupMenu(popup, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, m_hWnd, nullptr);
  }
  Default();
}
