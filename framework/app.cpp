#include "framework/app.h"

#include <commctrl.h>

namespace {
CWinApp* currentApp = nullptr;
}

CWinApp::CWinApp() { currentApp = this; }

CWinApp::~CWinApp() {
  if (currentApp == this) currentApp = nullptr;
}

CWinApp* AfxGetApp() { return currentApp; }

CWnd* AfxGetMainWnd() { return currentApp ? currentApp->m_pMainWnd : nullptr; }

HINSTANCE AfxGetResourceHandle() {
  if (currentApp && currentApp->m_hInstance) return currentApp->m_hInstance;
  return GetModuleHandleA(nullptr);
}

BOOL CWinApp::PreTranslateMessage(MSG* msg) {
  // Thread messages have no window to go to and are dropped by dispatch.
  for (HWND window = msg->hwnd; window; window = GetParent(window)) {
    CWnd* object = CWnd::FromHandlePermanent(window);
    if (object && object->PreTranslateMessage(msg)) return TRUE;
    if (!(GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD)) break;
  }
  return FALSE;
}

bool CWinApp::OnCmdMsg(UINT id, UINT) {
  if (id == ID_HELP) {
    OnHelp();
    return true;
  }
  return false;
}

bool CWinApp::PumpMessage() {
  const BOOL got = GetMessageA(&currentMessage_, nullptr, 0, 0);
  if (got == 0 || got == -1) return false;
  if (!PreTranslateMessage(&currentMessage_)) {
    TranslateMessage(&currentMessage_);
    DispatchMessageA(&currentMessage_);
  }
  return true;
}

int CWinApp::Run() {
  while (PumpMessage()) {
  }
  return ExitInstance();
}

HICON CWinApp::LoadIcon(UINT resourceId) const {
  return ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(resourceId));
}

int AfxWinMain(HINSTANCE instance) {
  CWinApp* app = AfxGetApp();
  if (!app) return -1;
  app->m_hInstance = instance;
  app->m_nThreadID = GetCurrentThreadId();
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_HOTKEY_CLASS};
  InitCommonControlsEx(&controls);
  if (!app->InitInstance()) return app->ExitInstance();
  return app->Run();
}
