// The dialog that sets one hot key: combination, kind and the kind's parameters. It works on
// a working entry of its own, which the key list fills before and reads after an OK.
#pragma once

#include <list>

#include "actions/sound/volume_mixer.h"
#include "framework/dialog.h"
#include "hotkeys/hotkey_entry.h"

class CHotKeyEditDlg : public CDialog {
 public:
  explicit CHotKeyEditDlg(CWnd* parent = nullptr);
  // The working entry never unregisters the table entry whose id it carries.
  ~CHotKeyEditDlg() override;

  BOOL OnInitDialog() override;
  void OnOK() override;

  HotKeyEntry entry;

 protected:
  bool OnCmdMsg(UINT id, UINT code) override;

 private:
  void UpdateTypeControls();
  void ApplyPreset();
  void Browse();
  void ShowGroup(const int* controls, size_t count, bool show);
  std::string Text(int controlId) const;
  void SetText(int controlId, const char* format, uint32_t value);
  // The mixer controls of the devices there when the kind list was first wanted.
  const std::list<MixerControlRecord>& MixerRecords();
  std::list<MixerControlRecord> mixerRecords_;
  bool mixerListed_ = false;
  // The record a row of the kind list stands for; null for none.
  const MixerControlRecord* KindRecord(LRESULT row) const;
};
