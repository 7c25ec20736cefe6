#include "lintrel/system_hook.h"

#include "lintrel/hook_decisions.h"

// Shared by every process that maps the library: written by Tavolet, read by the hook
// procedures wherever they run.
#define SHARED __attribute__((section(".shr"), shared))
HHOOK CSystemHook::m_hHook SHARED = nullptr;
unsigned long CSystemHook::postThread SHARED = 0;
HWND CSystemHook::postHwnd SHARED = nullptr;
int CSystemHook::state SHARED = 0;

namespace {
// This process's own handle of the library, given when the hook is installed.
HINSTANCE moduleInstance = nullptr;
}  // namespace

CSystemHook::CSystemHook() {
  m_hHook = nullptr;
  postThread = 0;
  postHwnd = nullptr;
}

CSystemHook::CSystemHook(const CSystemHook&) {}

CSystemHook::~CSystemHook() { Release(); }

CSystemHook& CSystemHook::operator=(const CSystemHook&) { return *this; }

bool CSystemHook::Init(int type, unsigned long thread, HWND hwnd) {
  postThread = thread;
  postHwnd = hwnd;
  switch (type) {
    case WH_GETMESSAGE:
      m_hHook = SetWindowsHookExA(WH_GETMESSAGE, &CSystemHook::GetMsgProc, moduleInstance, 0);
      break;
    case WH_CALLWNDPROC:
      m_hHook = SetWindowsHookExA(WH_CALLWNDPROC, &CSystemHook::CallWndProc, moduleInstance, 0);
      break;
    case WH_CBT:
      m_hHook = SetWindowsHookExA(WH_CBT, &CSystemHook::CBTProc, moduleInstance, 0);
      break;
    default:
      break;
  }
  return m_hHook != nullptr;
}

void CSystemHook::Start() { state = 1; }

void CSystemHook::Stop() { state = 0; }

void CSystemHook::Release() {
  if (m_hHook) UnhookWindowsHookEx(m_hHook);
  m_hHook = nullptr;
}

// Every event it does not refuse goes on to the hooks installed before it, so other
// programs' CBT hooks keep working while Tavolet runs.
LRESULT CALLBACK CSystemHook::CBTProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    PostThreadMessageA(postThread, WM_SYSHOOK_NOTIFY, SYSHOOK_WINDOW_CREATING, 0);
  } else if (code == HCBT_SYSCOMMAND && RefusesSystemCommand(state, wParam)) {
    return 1;
  }
  return CallNextHookEx(m_hHook, code, wParam, lParam);
}

// Only reports: the command is still dispatched. It never waits for a further message inside
// another program's message retrieval.
LRESULT CALLBACK CSystemHook::GetMsgProc(int code, WPARAM wParam, LPARAM lParam) {
  const auto* msg = reinterpret_cast<const MSG*>(lParam);
  if (code >= 0 && msg && msg->message == WM_SYSCOMMAND &&
      RefusesSystemCommand(state, msg->wParam)) {
    PostThreadMessageA(postThread, WM_SYSHOOK_NOTIFY, SYSHOOK_SAVER_COMMAND,
                       reinterpret_cast<LPARAM>(msg->hwnd));
  }
  return CallNextHookEx(m_hHook, code, wParam, lParam);
}

LRESULT CALLBACK CSystemHook::CallWndProc(int, WPARAM, LPARAM) { return 1; }

// The class library's extension-module registration has no counterpart in our framework.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID) {
  moduleInstance = instance;
  return TRUE;
}
