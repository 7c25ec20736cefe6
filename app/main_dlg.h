// The hidden main dialog: owner of the notification-area icon and its menu, and the window
// every hot key is registered against.
#pragma once

#include "app/tray_icon.h"
#include "framework/dialog.h"

constexpr UINT WM_TRAY_NOTIFY = WM_USER + 100;

class CMainDlg : public CDialog {
 public:
  CMainDlg();
  ~CMainDlg() override;

  BOOL OnInitDialog() override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnOK() override {}  // Enter must not end the dialog

  void UpdateTrayIcon(int on);
  void ShowTrayMenu();
  // Looks for the desktop again every second for a while (a new shell, or one that has not
  // answered yet), until Corvane is attached.
  void StartReattaching(bool tryNow);

  HICON bigIcon = nullptr;
  HICON smallIcon = nullptr;
  HICON blockedIcon = nullptr;
  TrayIcon trayIcon;

 protected:
  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  // Hidden, tool-window style and minimised, so it never shows or gets a taskbar button.
  void KeepHidden();
  void PaintMinimised();
  // The two notification-area icons at the small-icon size of this DPI (loaded anew only when
  // that size changed); the icon shown switches to its new image.
  void FitSmallIcons(unsigned dpi);

  void ReattachDesktop();

  SIZE smallIconSize_{};
  UINT taskbarCreatedMessage_ = 0;
  int reattachTries_ = 0;
};
