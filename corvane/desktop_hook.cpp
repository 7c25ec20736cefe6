#include "corvane/desktop_hook.h"

#define SHARED __attribute__((section(".shr"), shared))
HHOOK CDesktopHook::hook SHARED = nullptr;
int CDesktopHook::state SHARED = 0;
HWND CDesktopHook::desktop SHARED = nullptr;
WNDPROC CDesktopHook::orgWindowProcList SHARED = nullptr;
unsigned long CDesktopHook::textColor SHARED = 0x00FFFFFF;
unsigned long CDesktopHook::textBdColor SHARED = 0x00000000;
unsigned long CDesktopHook::bkColor SHARED = 0xFFFFFFFF;
unsigned long CDesktopHook::selColor SHARED = 0xFFFFFFFF;

CDesktopHook::CDesktopHook() {
  if (orgWindowProcList) return;
  hook = nullptr;
  state = 0;
  desktop = nullptr;
  textColor = 0x00FFFFFF;
  textBdColor = 0x00000000;
  bkColor = DH_COLOR_NONE;
  selColor = DH_COLOR_AUTO;
}

CDesktopHook::CDesktopHook(const CDesktopHook&) {}

// Releasing the desktop joins here with the attach work; nothing is attached before it.
CDesktopHook::~CDesktopHook() = default;

CDesktopHook& CDesktopHook::operator=(const CDesktopHook&) { return *this; }

void CDesktopHook::Repaint() {
  RedrawWindow(desktop, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

bool CDesktopHook::SetState(int newState) {
  state = newState;
  if (!desktop) return false;
  Repaint();
  return true;
}

int CDesktopHook::GetState() { return state; }

bool CDesktopHook::SetColors(unsigned long text, unsigned long textBd, unsigned long bk,
                             unsigned long sel) {
  textColor = text;
  textBdColor = textBd;
  bkColor = bk;
  selColor = sel;
  if (!desktop) return false;
  Repaint();
  return true;
}

void CDesktopHook::GetColors(unsigned long& text, unsigned long& textBd, unsigned long& bk,
                             unsigned long& sel) {
  text = textColor;
  textBd = textBdColor;
  bk = bkColor;
  sel = selColor == DH_COLOR_AUTO ? GetSysColor(COLOR_HIGHLIGHT) : selColor;
}

// The class library's extension-module registration has no counterpart in our framework.
BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
