#include "framework/dialog.h"

#include "framework/app.h"
#include "framework/ddx.h"

CDialog::CDialog(UINT templateId, CWnd* parent) : templateId_(templateId), parent_(parent) {}

CDialog::CDialog(const DLGTEMPLATE* memoryTemplate, CWnd* parent)
    : memoryTemplate_(memoryTemplate), parent_(parent) {}

HWND CDialog::CreateFromTemplate(HWND owner) {
  const LPARAM self = reinterpret_cast<LPARAM>(this);
  if (memoryTemplate_) {
    return CreateDialogIndirectParamA(AfxGetResourceHandle(), memoryTemplate_, owner,
                                      &CDialog::DialogProc, self);
  }
  return CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(templateId_), owner,
                            &CDialog::DialogProc, self);
}

bool CDialog::Create(CWnd* parent) {
  if (parent) parent_ = parent;
  modal_ = false;
  return CreateFromTemplate(parent_ ? parent_->m_hWnd : nullptr) != nullptr;
}

INT_PTR CDialog::DoModal() {
  CWnd* ownerObject = parent_ ? parent_ : AfxGetMainWnd();
  HWND owner = ownerObject ? ownerObject->m_hWnd : nullptr;
  if (owner && (GetWindowLongPtrA(owner, GWL_STYLE) & WS_CHILD))
    owner = GetAncestor(owner, GA_ROOT);
  modal_ = true;
  modalDone_ = false;
  modalResult_ = -1;
  if (!CreateFromTemplate(owner)) {
    modal_ = false;
    return -1;
  }
  const bool disableOwner = owner && IsWindowEnabled(owner);
  if (disableOwner) EnableWindow(owner, FALSE);
  if (!modalDone_) {
    ShowWindow(m_hWnd, SW_SHOWNORMAL);
    UpdateWindow(m_hWnd);
  }
  while (!modalDone_) {
    CWinApp* app = AfxGetApp();
    if (!app || !app->PumpMessage()) {
      // The quit message ends the modal loop; the outer loop must still see it.
      PostQuitMessage(app ? static_cast<int>(app->CurrentMessage().wParam) : 0);
      break;
    }
  }
  if (disableOwner) EnableWindow(owner, TRUE);
  if (m_hWnd) {
    SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    DestroyWindow();
  }
  modal_ = false;
  return modalResult_;
}

void CDialog::EndDialog(INT_PTR result) {
  if (modal_) {
    modalResult_ = result;
    modalDone_ = true;
    PostMessageA(m_hWnd, WM_NULL, 0, 0);  // wake the modal pump
  } else if (m_hWnd) {
    ::EndDialog(m_hWnd, result);
  }
}

BOOL CDialog::OnInitDialog() {
  UpdateData(false);
  return TRUE;
}

void CDialog::OnOK() {
  if (UpdateData(true)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

bool CDialog::UpdateData(bool saveAndValidate) {
  CDataExchange exchange(this, saveAndValidate);
  DoDataExchange(&exchange);
  return !exchange.Failed();
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
  const bool input = (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) ||
                     (msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST);
  return input && m_hWnd && IsDialogMessageA(m_hWnd, msg);
}

bool CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message == WM_INITDIALOG) {
    result = OnInitDialog();
    return true;
  }
  return CWnd::OnWndMsg(message, wParam, lParam, result);
}

bool CDialog::OnCmdMsg(UINT id, UINT code) {
  if (code == BN_CLICKED && id == IDOK) {
    OnOK();
    return true;
  }
  if (code == BN_CLICKED && id == IDCANCEL) {
    OnCancel();
    return true;
  }
  // Like the main window, every dialog gives the application the last word on commands.
  CWinApp* app = AfxGetApp();
  return app && app->OnCmdMsg(id, code);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // Only the first message is taken here: from then on the dialog runs through WindowProc,
  // and the dialog manager's own handling is what this procedure's FALSE asks for.
  if (message != WM_INITDIALOG) return FALSE;
  auto* dialog = reinterpret_cast<CDialog*>(lParam);
  if (!dialog || CWnd::FromHandlePermanent(window) || !dialog->SubclassWindow(window)) {
    return FALSE;
  }
  return dialog->WindowProc(message, wParam, lParam);
}
