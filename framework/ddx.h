// Data exchange between dialog controls and member values, in both directions.
#pragma once

#include <windows.h>

#include <string>

class CDialog;
class CWnd;

class CDataExchange {
 public:
  CDataExchange(CDialog* dialog, bool saveAndValidate)
      : dialog_(dialog), saveAndValidate_(saveAndValidate) {}
  bool SaveAndValidate() const { return saveAndValidate_; }
  HWND Control(int controlId);  // fails the exchange when the control is missing
  void Fail() { failed_ = true; }
  bool Failed() const { return failed_; }
  CDialog* Dialog() const { return dialog_; }

 private:
  CDialog* dialog_;
  bool saveAndValidate_;
  bool failed_ = false;
};

void DDX_Text(CDataExchange* exchange, int controlId, std::string& value);
void DDX_Check(CDataExchange* exchange, int controlId, int& value);
// `value` is the index of the checked button in the group that starts at firstId, or -1.
void DDX_Radio(CDataExchange* exchange, int firstId, int& value);
// The selected row of a combo box, or -1.
void DDX_CBIndex(CDataExchange* exchange, int controlId, int& index);
// Binds a control object to its control, once.
void DDX_Control(CDataExchange* exchange, int controlId, CWnd& control);

// The whole text of a window, of any length.
std::string GetWindowTextString(HWND window);
