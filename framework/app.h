// The application object: one per program, constructed statically before WinMain runs.
#pragma once

#include "framework/wnd.h"

class CWinApp {
 public:
  CWinApp();
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // False ends the program at once (ExitInstance still runs).
  virtual BOOL InitInstance() { return TRUE; }
  // The process exit code; by default the quit message's code.
  virtual int ExitInstance() { return static_cast<int>(currentMessage_.wParam); }
  // Sees every message the loop retrieves; true means consumed.
  virtual BOOL PreTranslateMessage(MSG* msg);
  // The application's command table; false when the command is not its own.
  virtual bool OnCmdMsg(UINT id, UINT code);

  // Message loop until the quit message, then ExitInstance.
  int Run();
  // One message: retrieve, pre-translate, dispatch. False on the quit message.
  bool PumpMessage();
  const MSG& CurrentMessage() const { return currentMessage_; }
  HICON LoadIcon(UINT resourceId) const;

  CWnd* m_pMainWnd = nullptr;
  DWORD m_nThreadID = 0;
  HINSTANCE m_hInstance = nullptr;

 protected:
  // The standard help command. Tavolet ships no help file, so it has nothing to open.
  virtual void OnHelp() {}

 private:
  MSG currentMessage_{};
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetResourceHandle();
// Entry point body: InitInstance, then Run or ExitInstance.
int AfxWinMain(HINSTANCE instance);

// Standard command ids of the framework.
constexpr UINT ID_APP_EXIT = 0xE141;
constexpr UINT ID_HELP = 0xE146;
