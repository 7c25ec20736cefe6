// Lintrel: one system-wide hook. With the CBT kind it tells Tavolet's thread of every window
// being created and, while suppression is on, refuses the screen-saver and monitor-power
// system commands. The copies in other processes read the switch and the thread that Tavolet
// publishes in memory only this user may write.
#pragma once

#include <windows.h>

#ifdef LINTREL_BUILD
#define LINTREL_API __declspec(dllexport)
#else
#define LINTREL_API __declspec(dllimport)
#endif

constexpr UINT WM_SYSHOOK_NOTIFY = WM_USER + 2;
constexpr WPARAM SYSHOOK_WINDOW_CREATING = 1;
constexpr WPARAM SYSHOOK_SAVER_COMMAND = 2;

class LINTREL_API CSystemHook {
 public:
  // Clears the hook handle and the notification target; the state is the one last published
  // while any process still holds it (suppression survives a restart of Tavolet). Unhooks
  // nothing.
  CSystemHook();
  CSystemHook(const CSystemHook& other);
  virtual ~CSystemHook();  // Release
  CSystemHook& operator=(const CSystemHook& other);

  // Records the target and installs the hook of `type` (3 message retrieval, 4 window
  // procedure calls, 5 CBT) for every thread; true when a hook is recorded.
  bool Init(int type, unsigned long thread, HWND hwnd);
  void Start();
  void Stop();
  void Release();

  // This process's own values; the hook procedures elsewhere never read these, so another
  // program that loads the library and writes them changes nothing but itself.
  static HHOOK m_hHook;
  static unsigned long postThread;
  static HWND postHwnd;
  static int state;

 protected:
  static LRESULT CALLBACK CBTProc(int code, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK GetMsgProc(int code, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK CallWndProc(int code, WPARAM wParam, LPARAM lParam);
};
