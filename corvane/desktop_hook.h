// Corvane: gets into the shell's process through a message hook on the desktop list view's
// thread, subclasses the list view there and, while its switch is on, paints the icons and
// labels in the chosen colours. All values live in data shared by every process mapping it.
#pragma once

#include <windows.h>

#ifdef CORVANE_BUILD
#define CORVANE_API __declspec(dllexport)
#else
#define CORVANE_API __declspec(dllimport)
#endif

constexpr unsigned long DH_COLOR_AUTO = 0xFFFFFFFF;
constexpr unsigned long DH_COLOR_NONE = 0x80000000;
constexpr UINT WM_DESKTOPHOOK_SUBCLASS = 0x0780;

class CORVANE_API CDesktopHook {
 public:
  // Resets the shared values, unless a subclass is recorded: then another copy of Tavolet is
  // attached and its list view must keep its procedure, state and colours.
  CDesktopHook();
  CDesktopHook(const CDesktopHook& other);
  virtual ~CDesktopHook();
  CDesktopHook& operator=(const CDesktopHook& other);

  // Finds the desktop list view (under "Progman", or under a "WorkerW"), hooks its thread and
  // has it subclassed; true once the subclass is in place. A subclass left by a Tavolet that
  // ended without Release is taken over; one whose owner still runs is refused.
  bool Init();
  // Has the subclass removed and unhooks; false when nothing was attached or the list view
  // did not answer (then the hook stays, so the shell never calls into a removed library).
  // A list view that no longer exists (the shell ended) is forgotten at once, with true.
  bool Release();

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
  // The process that installed the subclass, and when it started (so a reused id is told
  // apart): a later Tavolet takes over what one that died left behind.
  static unsigned long ownerProcess;
  static unsigned long long ownerStartTime;

 protected:
  static LRESULT CALLBACK GetMsgProc(int code, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK WindowProcList(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static void OnPaintList(HWND list);

 private:
  static void Repaint();
  static bool Adopt(HWND list);
  static void Forget();
};
