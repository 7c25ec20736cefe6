// The list of every hot key, where they are added, edited and deleted. Every change is
// registered and written to key.cfg at once.
#pragma once

#include <functional>

#include "framework/dialog.h"
#include "hotkeys/anchor_layout.h"

class HotKeyTable;
class HotKeyEntry;
class CHotKeyEditDlg;

class CKeyListDlg : public CDialog {
 public:
  // `changed` runs after every refresh (the registrations may have changed).
  explicit CKeyListDlg(HotKeyTable& table, std::function<void()> changed = nullptr);

  BOOL OnInitDialog() override;

 protected:
  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  bool OnCmdMsg(UINT id, UINT code) override;
  bool OnNotify(int controlId, NMHDR* header, LRESULT& result) override;

 private:
  void AttachLayout();
  void RefreshList();
  HotKeyEntry* SelectedEntry() const;
  void AddEntry();
  void EditEntry();
  void DeleteEntry();
  void ShowContextMenu();
  // The edit dialog, owned by the list and disabling it while it is open.
  INT_PTR RunEditor(CHotKeyEditDlg& editor);

  HotKeyTable& table_;
  std::function<void()> changed_;
  HWND list_ = nullptr;
  CAnchorLayout layout_;
  unsigned dpi_ = 0;
  // Set while the system rescales the dialog for a new DPI: no anchoring meanwhile.
  bool rescaling_ = false;
  // Set while an edit dialog is open: the list's commands wait for it.
  bool editing_ = false;
};
