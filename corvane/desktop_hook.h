// Corvane: gets into the shell's process through a message hook on the desktop list view's
// thread, subclasses the list view there and, while its switch is on, paints the icons and
// labels in the chosen colours.
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
  // Resets this process's values; what the shell paints stays until the next setter.
  CDesktopHook();
  CDesktopHook(const CDesktopHook& other);
  virtual ~CDesktopHook();
  CDesktopHook& operator=(const CDesktopHook& other);

  // Finds the desktop list view (under "Progman", or under a "WorkerW"), hooks its thread and
  // has it subclassed; true once the subclass is in place, also when one left behind by a
  // Tavolet that ended is taken over. Without an answer the hook and the request stay, and
  // Attached tells when the shell has got to it.
  bool Init();
  // Has the subclass removed and unhooks; false when nothing was attached or the list view
  // did not answer (then the hook and the request stay, so the removal is still carried out,
  // and the next Init takes up the list view again). A list view that no longer exists (the
  // shell ended) is forgotten at once, with true.
  bool Release();
  // Whether the list view found by Init runs Corvane's subclass now.
  bool Attached();
  // Whether the last Init refused because the shell holds another build of this library from
  // the same path (an update in place): it must be restarted before this one can attach.
  bool AnotherBuildInShell();

  // Every desktop icon's label and position, read in the shell's thread: the list's bytes
  // (corvane/icon_wire.h) go into `buffer`. Returns the size they take, more than `size` when
  // they were cut; 0 when Corvane is not attached or the shell did not answer in time.
  unsigned long ReadIcons(void* buffer, unsigned long size);
  // Moves icons in the shell's thread (an IconMovesHeader and its IconMoves): the number of
  // moves carried out, or -1 when the shell did not answer or refused them.
  long MoveIcons(const void* moves, unsigned long size);

  // Store always (and publish them to the shell); ask for a repaint, and return true, only
  // when the desktop is known.
  bool SetState(int newState);
  int GetState();
  bool SetColors(unsigned long text, unsigned long textBd, unsigned long bk, unsigned long sel);
  // An automatic selection colour comes back as the present highlight colour.
  void GetColors(unsigned long& text, unsigned long& textBd, unsigned long& bk, unsigned long& sel);

  // This process's own values. The shell's copy of the library reads the switch and colours
  // that Tavolet publishes, never these: another program that loads the library and writes
  // them changes nothing but itself.
  static HHOOK hook;
  static int state;
  static HWND desktop;
  // In the list view's own process: its procedure from before the subclass, kept while
  // Corvane's procedure is in its chain (a code address no other process can write).
  static WNDPROC orgWindowProcList;
  static unsigned long textColor;
  static unsigned long textBdColor;
  static unsigned long bkColor;
  static unsigned long selColor;

 protected:
  static LRESULT CALLBACK GetMsgProc(int code, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK WindowProcList(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static void OnPaintList(HWND list);
};
