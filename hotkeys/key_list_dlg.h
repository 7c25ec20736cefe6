// The list of every hot key, where they are added, edited and deleted. Every change is
// registered and written to key.cfg at once.
#pragma once

#include "framework/dialog.h"
#include "hotkeys/anchor_layout.h"

class HotKeyTable;
class HotKeyEntry;

class CKeyListDlg : public CDialog {
 public:
  explicit CKeyListDlg(HotKeyTable& table);

  BOOL OnInitDialog() override;

 protected:
  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  bool OnCmdMsg(UINT id, UINT code) override;
  bool OnNotify(int controlId, NMHDR* header, LRESULT& result) override;

 private:
  void RefreshList();
  HotKeyEntry* SelectedEntry() const;
  void AddEntry();
  void EditEntry();
  void DeleteEntry();
  void ShowContextMenu();

  HotKeyTable& table_;
  HWND list_ = nullptr;
  CAnchorLayout layout_;
};
