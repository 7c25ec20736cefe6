// Corvane: the desktop label colours and switch, kept in data shared by every process that
// maps the library. Attaching to the desktop's list view and painting its labels are built
// with the desktop hook work; until then the values are stored and read back only.
#pragma once

#include <windows.h>

#ifdef CORVANE_BUILD
#define CORVANE_API __declspec(dllexport)
#else
#define CORVANE_API __declspec(dllimport)
#endif

constexpr unsigned long DH_COLOR_AUTO = 0xFFFFFFFF;
constexpr unsigned long DH_COLOR_NONE = 0x80000000;

class CORVANE_API CDesktopHook {
 public:
  // Resets the shared values, unless a subclass is recorded: then another copy of Tavolet is
  // attached and its list view must keep its procedure, state and colours.
  CDesktopHook();
  CDesktopHook(const CDesktopHook& other);
  virtual ~CDesktopHook();
  CDesktopHook& operator=(const CDesktopHook& other);

  // Store always; repaint (and return true) only when the desktop is known.
  bool SetState(int newState);
  int GetState();
  bool SetColors(unsigned long text, unsigned long textBd, unsigned long bk, unsigned long sel);
  // An automatic selection colour comes back as the present highlight colour.
  void GetColors(unsigned long& text, unsigned long& textBd, unsigned long& bk, unsigned long& sel);

  static HHOOK hook;
  static int state;
  static HWND desktop;
  static WNDPROC orgWindowProcList;
  static unsigned long textColor;
  static unsigned long textBdColor;
  static unsigned long bkColor;
  static unsigned long selColor;

 private:
  static void Repaint();
};
