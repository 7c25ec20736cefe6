#include "framework/ddx.h"

#include "framework/dialog.h"

HWND CDataExchange::Control(int controlId) {
  HWND control = ::GetDlgItem(dialog_->m_hWnd, controlId);
  if (!control) Fail();
  return control;
}

std::string GetWindowTextString(HWND window) {
  const int length = GetWindowTextLengthA(window);
  if (length <= 0) return std::string();
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(window, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

void DDX_Text(CDataExchange* exchange, int controlId, std::string& value) {
  HWND control = exchange->Control(controlId);
  if (!control) return;
  if (exchange->SaveAndValidate()) {
    value = GetWindowTextString(control);
  } else {
    SetWindowTextA(control, value.c_str());
  }
}

void DDX_Check(CDataExchange* exchange, int controlId, int& value) {
  HWND control = exchange->Control(controlId);
  if (!control) return;
  if (exchange->SaveAndValidate()) {
    value = static_cast<int>(SendMessageA(control, BM_GETCHECK, 0, 0));
  } else {
    SendMessageA(control, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

void DDX_Radio(CDataExchange* exchange, int firstId, int& value) {
  HWND first = exchange->Control(firstId);
  if (!first) return;
  HWND dialog = exchange->Dialog()->m_hWnd;
  if (exchange->SaveAndValidate()) value = -1;
  int index = 0;
  HWND button = first;
  do {
    if (exchange->SaveAndValidate()) {
      if (SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
    } else {
      SendMessageA(button, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    ++index;
    button = GetNextDlgGroupItem(dialog, button, FALSE);
  } while (button && button != first && !(GetWindowLongPtrA(button, GWL_STYLE) & WS_GROUP) &&
           index < 64);
}

void DDX_CBIndex(CDataExchange* exchange, int controlId, int& index) {
  HWND control = exchange->Control(controlId);
  if (!control) return;
  if (exchange->SaveAndValidate()) {
    index = static_cast<int>(SendMessageA(control, CB_GETCURSEL, 0, 0));
  } else {
    SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  }
}

void DDX_Control(CDataExchange* exchange, int controlId, CWnd& control) {
  if (control.m_hWnd) return;
  HWND window = exchange->Control(controlId);
  if (window && !control.SubclassWindow(window)) exchange->Fail();
}
