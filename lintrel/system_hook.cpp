#include "lintrel/system_hook.h"

#include "framework/session_objects.h"
#include "lintrel/hook_decisions.h"

HHOOK CSystemHook::m_hHook = nullptr;
unsigned long CSystemHook::postThread = 0;
HWND CSystemHook::postHwnd = nullptr;
int CSystemHook::state = 0;

namespace {

// What the hook procedures in every process act on.
struct Published {
  volatile LONG state;
  volatile DWORD postThread;
};

const wchar_t kMappingName[] = L"Lintrel";
// This process's own handle of the library, given when the hook is installed.
HINSTANCE moduleInstance = nullptr;
// Tavolet's memory, writable; another process's view, read-only, found at its first hook call.
PublishedMemory ownMemory{};
MemoryReader reader{};

void Publish() {
  if (!ownMemory.view) CreateUserMapping(kMappingName, sizeof(Published), ownMemory);
  auto* writable = static_cast<Published*>(ownMemory.view);
  if (!writable) return;
  writable->postThread = CSystemHook::postThread;
  writable->state = CSystemHook::state;
}

const Published* Current() {
  if (ownMemory.view) return static_cast<const Published*>(ownMemory.view);
  return static_cast<const Published*>(ReadUserMapping(kMappingName, sizeof(Published), reader));
}

}  // namespace

CSystemHook::CSystemHook() {
  m_hHook = nullptr;
  postThread = 0;
  postHwnd = nullptr;
  if (const Published* published = Current()) state = published->state;
}

CSystemHook::CSystemHook(const CSystemHook&) {}

CSystemHook::~CSystemHook() { Release(); }

CSystemHook& CSystemHook::operator=(const CSystemHook&) { return *this; }

bool CSystemHook::Init(int type, unsigned long thread, HWND hwnd) {
  postThread = thread;
  postHwnd = hwnd;
  Publish();
  // Without the published values the hook would act on nothing.
  if (!ownMemory.view) return m_hHook != nullptr;
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

void CSystemHook::Start() {
  state = 1;
  Publish();
}

void CSystemHook::Stop() {
  state = 0;
  Publish();
}

void CSystemHook::Release() {
  if (m_hHook) UnhookWindowsHookEx(m_hHook);
  m_hHook = nullptr;
}

// Every event it does not refuse goes on to the hooks installed before it, so other
// programs' CBT hooks keep working while Tavolet runs.
LRESULT CALLBACK CSystemHook::CBTProc(int code, WPARAM wParam, LPARAM lParam) {
  if (const Published* published = Current()) {
    if (code == HCBT_CREATEWND) {
      PostThreadMessageA(published->postThread, WM_SYSHOOK_NOTIFY, SYSHOOK_WINDOW_CREATING, 0);
    } else if (code == HCBT_SYSCOMMAND && RefusesSystemCommand(published->state, wParam)) {
      return 1;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Only reports: the command is still dispatched. It never waits for a further message inside
// another program's message retrieval.
LRESULT CALLBACK CSystemHook::GetMsgProc(int code, WPARAM wParam, LPARAM lParam) {
  const auto* msg = reinterpret_cast<const MSG*>(lParam);
  const Published* published = Current();
  if (code >= 0 && msg && published && msg->message == WM_SYSCOMMAND &&
      RefusesSystemCommand(published->state, msg->wParam)) {
    PostThreadMessageA(published->postThread, WM_SYSHOOK_NOTIFY, SYSHOOK_SAVER_COMMAND,
                       reinterpret_cast<LPARAM>(msg->hwnd));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK CSystemHook::CallWndProc(int, WPARAM, LPARAM) { return 1; }

// The class library's extension-module registration has no counterpart in our framework.
// Unloaded from a process when the hook goes, the library lets go of its view there.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  moduleInstance = instance;
  // Only the reader: Tavolet's own memory, and the window that may announce it, live as long
  // as its process.
  if (reason == DLL_PROCESS_DETACH && !reserved) CloseUserMapping(reader);
  return TRUE;
}
