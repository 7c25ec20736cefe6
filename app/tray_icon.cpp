#include "app/tray_icon.h"

#include <cstring>

#include "framework/ansi_text.h"

#ifndef _WIN64
static_assert(NOTIFYICONDATAA_V1_SIZE == 88, "the record Tavolet hands the shell is 88 bytes");
#endif

TrayIcon::TrayIcon() {
  std::memset(&record_, 0, sizeof record_);
  record_.cbSize = NOTIFYICONDATAA_V1_SIZE;
}

TrayIcon::~TrayIcon() {
  if (shown_) Hide();
}

bool TrayIcon::Setup(HWND window, UINT id, UINT callbackMessage, HICON icon, const char* tip) {
  if (shown_) Hide();
  record_.hWnd = window;
  record_.uID = id;
  record_.uCallbackMessage = callbackMessage;
  record_.hIcon = icon;
  record_.uFlags = 0;
  if (callbackMessage) record_.uFlags |= NIF_MESSAGE;
  if (icon) record_.uFlags |= NIF_ICON;
  if (tip) record_.uFlags |= NIF_TIP;
  CopyTip(tip);
  return true;
}

void TrayIcon::CopyTip(const char* tip) {
  // The first form of the record has room for 63 bytes of tip and its terminator.
  const std::string text = TruncateAnsi(tip ? tip : "", 63);
  std::memset(record_.szTip, 0, sizeof record_.szTip);
  std::memcpy(record_.szTip, text.data(), text.size());
}

void TrayIcon::SetTip(const char* tip) {
  CopyTip(tip);
  record_.uFlags |= NIF_TIP;
  if (shown_) Refresh();
}

bool TrayIcon::Show() {
  if (shown_) return Refresh();
  if (!Shell_NotifyIconA(NIM_ADD, &record_)) return false;
  shown_ = 1;
  return true;
}

bool TrayIcon::Hide() {
  shown_ = 0;
  return Shell_NotifyIconA(NIM_DELETE, &record_) != FALSE;
}

bool TrayIcon::Refresh() {
  if (shown_) return Shell_NotifyIconA(NIM_MODIFY, &record_) != FALSE;
  return Show();
}

bool TrayIcon::Reset() {
  Hide();
  return Show();
}

HICON TrayIcon::SetIcon(HICON icon, bool refresh) {
  HICON old = record_.hIcon;
  if (!icon) return old;
  record_.hIcon = icon;
  record_.uFlags |= NIF_ICON;
  if (refresh) Refresh();
  return old;
}
