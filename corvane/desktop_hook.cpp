#include "corvane/desktop_hook.h"

#include <sddl.h>

#define SHARED __attribute__((section(".shr"), shared))
HHOOK CDesktopHook::hook SHARED = nullptr;
int CDesktopHook::state SHARED = 0;
HWND CDesktopHook::desktop SHARED = nullptr;
WNDPROC CDesktopHook::orgWindowProcList SHARED = nullptr;
unsigned long CDesktopHook::textColor SHARED = 0x00FFFFFF;
unsigned long CDesktopHook::textBdColor SHARED = 0x00000000;
unsigned long CDesktopHook::bkColor SHARED = 0xFFFFFFFF;
unsigned long CDesktopHook::selColor SHARED = 0xFFFFFFFF;
unsigned long CDesktopHook::ownerProcess SHARED = 0;
unsigned long long CDesktopHook::ownerStartTime SHARED = 0;

namespace {

const char kEventName[] = "SetWndLng";
// The list view's own procedure, kept on the window too: the subclass can always forward.
const wchar_t kOwnProcedureProperty[] = L"Corvane.OwnProcedure";
constexpr DWORD kHandshakeMs = 10000;
constexpr UINT kRedrawNow = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;
// This process's own handle of the library.
HINSTANCE moduleInstance = nullptr;

unsigned long long StartTimeOf(HANDLE process) {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  return (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// Whether the recorded owner still runs. One that cannot be looked at (another user's, or
// elevated) counts as running: only a process known to be gone is taken over.
bool OwnerRuns(unsigned long processId, unsigned long long startTime) {
  if (processId == 0) return false;
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, processId);
  if (!process) return GetLastError() != ERROR_INVALID_PARAMETER;
  const bool runs =
      WaitForSingleObject(process, 0) == WAIT_TIMEOUT && StartTimeOf(process) == startTime;
  CloseHandle(process);
  return runs;
}

void RecordOwner() {
  CDesktopHook::ownerProcess = GetCurrentProcessId();
  CDesktopHook::ownerStartTime = StartTimeOf(GetCurrentProcess());
}

// The 32-bit library cannot get into a 64-bit shell.
bool ShellOutOfReach() {
#ifdef _WIN64
  return false;
#else
  BOOL wow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
#endif
}

HWND ListViewUnder(HWND parent) {
  HWND view = FindWindowExA(parent, nullptr, "SHELLDLL_DefView", nullptr);
  return FindWindowExA(view, nullptr, "SysListView32", nullptr);
}

// Under "Progman", or, once the shell has split its desktop (a slideshow wallpaper, some
// tools), under one of the top-level "WorkerW" windows.
HWND FindDesktopListView() {
  HWND progman = FindWindowExA(nullptr, nullptr, "Progman", "Program Manager");
  if (HWND list = progman ? ListViewUnder(progman) : nullptr) return list;
  for (HWND worker = FindWindowExA(nullptr, nullptr, "WorkerW", nullptr); worker;
       worker = FindWindowExA(nullptr, worker, "WorkerW", nullptr)) {
    if (HWND list = ListViewUnder(worker)) return list;
  }
  return nullptr;
}

// The handshake event, settable by the shell's process even when Tavolet runs elevated
// (everyone may set it, and its integrity label is low); null when it cannot be made or
// another attach or detach holds it.
HANDLE CreateHandshake() {
  SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, FALSE};
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;;0x1F0003;;;WD)S:(ML;;NW;;;LW)",
                                                           SDDL_REVISION_1, &descriptor, nullptr)) {
    attributes.lpSecurityDescriptor = descriptor;
  }
  HANDLE event = CreateEventA(&attributes, TRUE, FALSE, kEventName);
  const DWORD error = GetLastError();
  if (descriptor) LocalFree(descriptor);
  if (event && error == ERROR_ALREADY_EXISTS) {
    CloseHandle(event);
    return nullptr;
  }
  return event;
}

void SignalHandshake() {
  if (HANDLE event = OpenEventA(EVENT_MODIFY_STATE, TRUE, kEventName)) {
    SetEvent(event);
    CloseHandle(event);
  }
}

// Waits for the shell's answer while answering what is sent to this thread: the system calls
// hooks back on it, and other programs wait for that.
DWORD WaitForAnswer(HANDLE event) {
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD used = GetTickCount() - start;
    if (used >= kHandshakeMs) return WaitForSingleObject(event, 0);
    const DWORD result =
        MsgWaitForMultipleObjectsEx(1, &event, kHandshakeMs - used, QS_SENDMESSAGE, 0);
    if (result == WAIT_OBJECT_0) return result;
    if (result == WAIT_OBJECT_0 + 1) {
      MSG msg;
      PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    } else if (result == WAIT_FAILED) {
      return WaitForSingleObject(event, kHandshakeMs - used);
    }
  }
}

}  // namespace

CDesktopHook::CDesktopHook() {
  if (orgWindowProcList) return;
  hook = nullptr;
  state = 0;
  desktop = nullptr;
  textColor = 0x00FFFFFF;
  textBdColor = 0x00000000;
  bkColor = DH_COLOR_NONE;
  selColor = DH_COLOR_AUTO;
  ownerProcess = 0;
  ownerStartTime = 0;
}

CDesktopHook::CDesktopHook(const CDesktopHook&) {}

CDesktopHook::~CDesktopHook() { Release(); }

CDesktopHook& CDesktopHook::operator=(const CDesktopHook&) { return *this; }

void CDesktopHook::Repaint() { RedrawWindow(desktop, nullptr, nullptr, kRedrawNow); }

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

void CDesktopHook::Forget() {
  if (hook) UnhookWindowsHookEx(hook);
  hook = nullptr;
  orgWindowProcList = nullptr;
  desktop = nullptr;
  ownerProcess = 0;
  ownerStartTime = 0;
}

// The subclass of a Tavolet that died is still in place: hook the thread again (its hook went
// with it) so that Release can remove the subclass later.
bool CDesktopHook::Adopt(HWND list) {
  const DWORD thread = GetWindowThreadProcessId(list, nullptr);
  HHOOK adopted =
      thread ? SetWindowsHookExW(WH_GETMESSAGE, &CDesktopHook::GetMsgProc, moduleInstance, thread)
             : nullptr;
  if (!adopted) return false;
  hook = adopted;
  RecordOwner();
  Repaint();
  return true;
}

bool CDesktopHook::Init() {
  if (orgWindowProcList && OwnerRuns(ownerProcess, ownerStartTime)) return false;
  if (ShellOutOfReach()) return false;
  HWND list = FindDesktopListView();
  if (orgWindowProcList) {
    if (list && list == desktop) return Adopt(list);
    Forget();  // the list view it subclassed is gone with the shell that owned it
  }
  desktop = list;
  if (!desktop) return false;
  const DWORD thread = GetWindowThreadProcessId(desktop, nullptr);
  if (!thread) return false;
  HANDLE event = CreateHandshake();
  if (!event) return false;
  hook = SetWindowsHookExW(WH_GETMESSAGE, &CDesktopHook::GetMsgProc, moduleInstance, thread);
  if (!hook) {
    CloseHandle(event);
    return false;
  }
  // A window that cannot take the message is not waited for.
  const bool posted = PostMessageW(desktop, WM_DESKTOPHOOK_SUBCLASS, 1, 0) != FALSE;
  const DWORD waited = posted ? WaitForAnswer(event) : WAIT_FAILED;
  CloseHandle(event);
  Repaint();
  if (waited == WAIT_OBJECT_0 && orgWindowProcList) {
    RecordOwner();
    return true;
  }
  if (!posted || waited == WAIT_OBJECT_0) {  // nothing was subclassed, nor can it be later
    UnhookWindowsHookEx(hook);
    hook = nullptr;
  }
  return false;
}

bool CDesktopHook::Release() {
  if (!orgWindowProcList || !desktop) return false;
  if (!IsWindow(desktop)) {
    Forget();  // the shell ended, and the subclass with its list view
    return true;
  }
  HANDLE event = CreateHandshake();
  if (!event) return false;
  const bool posted = PostMessageW(desktop, WM_DESKTOPHOOK_SUBCLASS, 0, 0) != FALSE;
  const DWORD waited = posted ? WaitForAnswer(event) : WAIT_FAILED;
  // Without the answer the list view may still be subclassed: the hook (which keeps the
  // library in the shell) stays.
  if (waited == WAIT_OBJECT_0) {
    UnhookWindowsHookEx(hook);
    hook = nullptr;
    ownerProcess = 0;
    ownerStartTime = 0;
  }
  CloseHandle(event);
  Repaint();
  desktop = nullptr;
  return waited == WAIT_OBJECT_0;
}

// Acts only on the message addressed to the recorded list view: other windows of the shell's
// thread may use the same number, and a late removal (desktop already cleared) must leave the
// subclass alone rather than take the list view's procedure away.
LRESULT CALLBACK CDesktopHook::GetMsgProc(int code, WPARAM wParam, LPARAM lParam) {
  const auto* msg = reinterpret_cast<const MSG*>(lParam);
  if (code >= 0 && msg && msg->message == WM_DESKTOPHOOK_SUBCLASS && msg->hwnd &&
      msg->hwnd == desktop) {
    if (msg->wParam && !orgWindowProcList) {
      // Pinned in the shell's process: the list view may call into it for as long as it lives.
      HMODULE pinned = nullptr;
      GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                         reinterpret_cast<LPCWSTR>(&CDesktopHook::WindowProcList), &pinned);
      // The wide form keeps the shell's Unicode list view Unicode.
      SetLastError(0);
      const auto own = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
          desktop, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CDesktopHook::WindowProcList)));
      if (own) {
        SetPropW(desktop, kOwnProcedureProperty, reinterpret_cast<HANDLE>(own));
        orgWindowProcList = own;
      }
      SignalHandshake();  // Init tells success from failure by orgWindowProcList
    } else if (!msg->wParam && orgWindowProcList) {
      SetWindowLongPtrW(desktop, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(orgWindowProcList));
      RemovePropW(desktop, kOwnProcedureProperty);
      orgWindowProcList = nullptr;
      SignalHandshake();
    }
  }
  return CallNextHookEx(hook, code, wParam, lParam);
}

LRESULT CALLBACK CDesktopHook::WindowProcList(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
  if (message == WM_PAINT && state) {
    OnPaintList(window);
    return 0;
  }
  WNDPROC own = orgWindowProcList;
  if (!own) own = reinterpret_cast<WNDPROC>(GetPropW(window, kOwnProcedureProperty));
  if (!own) return DefWindowProcW(window, message, wParam, lParam);
  return CallWindowProcW(own, window, message, wParam, lParam);
}

// The class library's extension-module registration has no counterpart in our framework.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID) {
  moduleInstance = instance;
  return TRUE;
}
