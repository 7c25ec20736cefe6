// The properties dialog: the program paths window-position memory skips, and the desktop
// label switch and colours.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "app/color_button.h"
#include "framework/dialog.h"

class CPropertiesDlg : public CDialog {
 public:
  CPropertiesDlg();

  BOOL OnInitDialog() override;
  void OnOK() override;
  BOOL PreTranslateMessage(MSG* msg) override;

 protected:
  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  bool OnCmdMsg(UINT id, UINT code) override;
  bool OnNotify(int controlId, NMHDR* header, LRESULT& result) override;

 private:
  void UpdateColorControls();
  void OnColorButton(UINT id);
  void AddDroppedFiles(HDROP drop);
  void DeleteSelectedPaths();
  void AppendRow(const char* text);

  HWND list_ = nullptr;
  unsigned dpi_ = 0;
  CColorButton colorButtons_[4];
};
