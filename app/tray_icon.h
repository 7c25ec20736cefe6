// The notification-area icon: one NOTIFYICONDATAA record in its first (88-byte on 32-bit)
// form, plus whether the shell currently shows it.
#pragma once

#include <windows.h>
#include <shellapi.h>

class TrayIcon {
 public:
  TrayIcon();
  ~TrayIcon();  // takes the icon down if it is shown
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Stores the fields (hiding a shown icon first) without showing anything. Always true.
  bool Setup(HWND window, UINT id, UINT callbackMessage, HICON icon, const char* tip);
  bool Show();
  bool Hide();
  bool Refresh();
  bool Reset();
  // A new tip (at most 63 bytes of it), shown at once when the icon is.
  void SetTip(const char* tip);
  // Returns the previous icon. A null icon changes nothing.
  HICON SetIcon(HICON icon, bool refresh);

  const NOTIFYICONDATAA& Record() const { return record_; }
  bool IsShown() const { return shown_ != 0; }

 private:
  void CopyTip(const char* tip);

  NOTIFYICONDATAA record_;
  int shown_ = 0;
};
