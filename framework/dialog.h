// Dialogs from a template resource (or an in-memory template), modal or modeless.
// Modal dialogs run the application's own message pump, so its pre-translation (hot keys)
// keeps working while they are open.
#pragma once

#include "framework/wnd.h"

class CDataExchange;

class CDialog : public CWnd {
 public:
  explicit CDialog(UINT templateId, CWnd* parent = nullptr);
  CDialog(const DLGTEMPLATE* memoryTemplate, CWnd* parent);

  INT_PTR DoModal();
  bool Create(CWnd* parent = nullptr);
  void EndDialog(INT_PTR result);

  // Runs data exchange into the controls.
  virtual BOOL OnInitDialog();
  // Data exchange out of the controls; a failed exchange keeps the dialog open.
  virtual void OnOK();
  virtual void OnCancel();
  bool UpdateData(bool saveAndValidate);
  virtual void DoDataExchange(CDataExchange* exchange);

  BOOL PreTranslateMessage(MSG* msg) override;

 protected:
  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  // IDOK and IDCANCEL, then the application's command table.
  bool OnCmdMsg(UINT id, UINT code) override;

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND CreateFromTemplate(HWND owner);

  UINT templateId_ = 0;
  const DLGTEMPLATE* memoryTemplate_ = nullptr;
  CWnd* parent_ = nullptr;
  bool modal_ = false;
  bool modalDone_ = false;
  INT_PTR modalResult_ = -1;
};
