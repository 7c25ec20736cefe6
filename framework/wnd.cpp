#include "framework/wnd.h"

#include "framework/app.h"

namespace {
const char kObjectProperty[] = "Tavolet.CWnd";
}

CWnd::~CWnd() {
  if (m_hWnd) UnsubclassWindow();
}

CWnd* CWnd::FromHandlePermanent(HWND window) {
  return window ? static_cast<CWnd*>(GetPropA(window, kObjectProperty)) : nullptr;
}

bool CWnd::SubclassWindow(HWND window) {
  if (!window || m_hWnd || FromHandlePermanent(window)) return false;
  if (!SetPropA(window, kObjectProperty, this)) return false;
  m_hWnd = window;
  superProc_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
      window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StandardWindowProc)));
  return true;
}

bool CWnd::SubclassDlgItem(UINT controlId, CWnd* parent) {
  return parent && SubclassWindow(::GetDlgItem(parent->m_hWnd, controlId));
}

HWND CWnd::UnsubclassWindow() {
  HWND window = m_hWnd;
  if (!window) return nullptr;
  if (superProc_ && IsWindow(window)) {
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(superProc_));
  }
  RemovePropA(window, kObjectProperty);
  superProc_ = nullptr;
  m_hWnd = nullptr;
  return window;
}

BOOL CWnd::DestroyWindow() { return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE; }

void CWnd::ModifyStyle(DWORD remove, DWORD add) const {
  const LONG_PTR style = GetWindowLongPtrA(m_hWnd, GWL_STYLE);
  SetWindowLongPtrA(m_hWnd, GWL_STYLE, (style & ~static_cast<LONG_PTR>(remove)) | add);
}

void CWnd::ModifyStyleEx(DWORD remove, DWORD add) const {
  const LONG_PTR style = GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE);
  SetWindowLongPtrA(m_hWnd, GWL_EXSTYLE, (style & ~static_cast<LONG_PTR>(remove)) | add);
}

LRESULT CALLBACK CWnd::StandardWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* self = FromHandlePermanent(window);
  if (!self) return ::DefWindowProcA(window, message, wParam, lParam);
  const UINT savedMessage = self->currentMessage_;
  const WPARAM savedWParam = self->currentWParam_;
  const LPARAM savedLParam = self->currentLParam_;
  self->currentMessage_ = message;
  self->currentWParam_ = wParam;
  self->currentLParam_ = lParam;
  const LRESULT result = self->WindowProc(message, wParam, lParam);
  self->currentMessage_ = savedMessage;
  self->currentWParam_ = savedWParam;
  self->currentLParam_ = savedLParam;
  if (message == WM_NCDESTROY) {
    self->UnsubclassWindow();
    self->PostNcDestroy();
  }
  return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (OnWndMsg(message, wParam, lParam, result)) return result;
  return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::Default() { return DefWindowProc(currentMessage_, currentWParam_, currentLParam_); }

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (superProc_) return CallWindowProcA(superProc_, m_hWnd, message, wParam, lParam);
  return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_COMMAND:
      if (!OnCommand(wParam, lParam)) return false;
      result = 0;
      return true;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      return header && OnNotify(static_cast<int>(wParam), header, result);
    }
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
      return ReflectToChild(message, wParam, lParam, result);
    default:
      return false;
  }
}

bool CWnd::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  HWND child = nullptr;
  if (message == WM_DRAWITEM) {
    child = reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->hwndItem;
  } else if (message == WM_DELETEITEM) {
    child = reinterpret_cast<DELETEITEMSTRUCT*>(lParam)->hwndItem;
  } else if (message == WM_COMPAREITEM) {
    child = reinterpret_cast<COMPAREITEMSTRUCT*>(lParam)->hwndItem;
  } else {
    child = ::GetDlgItem(m_hWnd, static_cast<int>(wParam));
  }
  CWnd* control = FromHandlePermanent(child);
  return control && control != this && control->OnChildNotify(message, wParam, lParam, result);
}

bool CWnd::OnCommand(WPARAM wParam, LPARAM) { return OnCmdMsg(LOWORD(wParam), HIWORD(wParam)); }

bool CWnd::OnCmdMsg(UINT id, UINT code) {
  CWinApp* app = AfxGetApp();
  if (app && app->m_pMainWnd == this) return app->OnCmdMsg(id, code);
  return false;
}

bool CWnd::OnNotify(int, NMHDR*, LRESULT&) { return false; }

bool CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }
