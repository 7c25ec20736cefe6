// A window object bound to one HWND. Messages reach WindowProc first; OnWndMsg is the
// message map; what it leaves goes to the window's own (previous) procedure.
#pragma once

#include <windows.h>
#include <commctrl.h>

class CWnd {
 public:
  CWnd() = default;
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  // The object bound to a window, or null for windows that have none.
  static CWnd* FromHandlePermanent(HWND window);

  // Binds this object to an existing window; its old procedure becomes the default.
  bool SubclassWindow(HWND window);
  bool SubclassDlgItem(UINT controlId, CWnd* parent);
  HWND UnsubclassWindow();
  BOOL DestroyWindow();
  HWND GetDlgItem(int controlId) const { return ::GetDlgItem(m_hWnd, controlId); }
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
  }
  void ModifyStyle(DWORD remove, DWORD add) const;
  void ModifyStyleEx(DWORD remove, DWORD add) const;

  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Pre-translation of a message of the loop addressed to this window or one of its children.
  virtual BOOL PreTranslateMessage(MSG* msg);
  // The default processing of the message being handled now.
  LRESULT Default();

  HWND m_hWnd = nullptr;

 protected:
  // Returns true when the message was handled, with `result` as the answer.
  virtual bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // WM_COMMAND: the window's own command table first, then the application's.
  virtual bool OnCommand(WPARAM wParam, LPARAM lParam);
  virtual bool OnCmdMsg(UINT id, UINT code);
  virtual bool OnNotify(int controlId, NMHDR* header, LRESULT& result);
  // Owner-draw messages reflected to the control that they concern.
  virtual bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  virtual void PostNcDestroy() {}

 private:
  static LRESULT CALLBACK StandardWindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam);
  bool ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  WNDPROC superProc_ = nullptr;
  UINT currentMessage_ = 0;
  WPARAM currentWParam_ = 0;
  LPARAM currentLParam_ = 0;
};
