#include "corvane/desktop_hook.h"

#include "corvane/icon_positions.h"
#include "corvane/pinned_build.h"
#include "corvane/shell_values.h"
#include "framework/session_objects.h"

HHOOK CDesktopHook::hook = nullptr;
int CDesktopHook::state = 0;
HWND CDesktopHook::desktop = nullptr;
WNDPROC CDesktopHook::orgWindowProcList = nullptr;
unsigned long CDesktopHook::textColor = 0x00FFFFFF;
unsigned long CDesktopHook::textBdColor = 0x00000000;
unsigned long CDesktopHook::bkColor = DH_COLOR_AUTO;
unsigned long CDesktopHook::selColor = DH_COLOR_AUTO;

namespace {

const wchar_t kEventName[] = L"SetWndLng";
// On the list view while Corvane's subclass acts (paints): other processes can read it.
const wchar_t kActiveProperty[] = L"Corvane.Active";
constexpr DWORD kHandshakeMs = 10000;
// Never RDW_UPDATENOW: that would wait for a shell that may not answer.
constexpr UINT kRedrawLater = RDW_INVALIDATE | RDW_ERASE;

// This process's own handle of the library.
HINSTANCE moduleInstance = nullptr;

// Tavolet's side: the thread its hook is on, and a removal the shell has not answered yet.
DWORD hookThread = 0;
bool removalPending = false;
// The last Init found another build of the library in the shell, and asked nothing of it.
bool anotherBuild = false;

// The shell's side: every list view whose chain holds WindowProcList, each with its own
// procedure from before and whether Corvane's subclass acts on it. A second desktop list view
// never takes the first one's procedure.
struct Subclassed {
  HWND volatile list;
  WNDPROC own;
  bool active;
};
constexpr int kMaxSubclassed = 8;
Subclassed subclassedViews[kMaxSubclassed];

Subclassed* SubclassedEntry(HWND list) {
  for (Subclassed& entry : subclassedViews) {
    if (list && entry.list == list) return &entry;
  }
  return nullptr;
}

void Forget(Subclassed& entry) {
  entry.own = nullptr;
  entry.active = false;
  InterlockedExchangePointer(reinterpret_cast<PVOID volatile*>(&entry.list), nullptr);
}

// A free place for the list view (those of list views that are gone are free again); null when
// all are taken.
Subclassed* NewEntry(HWND list) {
  for (Subclassed& entry : subclassedViews) {
    HWND held = entry.list;
    if (held && !IsWindow(held)) Forget(entry);
    if (!InterlockedCompareExchangePointer(reinterpret_cast<PVOID volatile*>(&entry.list), list,
                                           nullptr)) {
      return &entry;
    }
  }
  return nullptr;
}

// The 32-bit library cannot get into a 64-bit process: true only for a 32-bit Tavolet on
// 64-bit Windows beside a 64-bit shell.
bool ShellOutOfReach(HWND list) {
#ifdef _WIN64
  (void)list;
  return false;
#else
  BOOL selfOnWow64 = FALSE;
  if (!IsWow64Process(GetCurrentProcess(), &selfOnWow64) || !selfOnWow64) return false;
  DWORD shellId = 0;
  GetWindowThreadProcessId(list, &shellId);
  HANDLE shell = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, shellId);
  BOOL shellOnWow64 = FALSE;
  const bool known = shell && IsWow64Process(shell, &shellOnWow64);
  if (shell) CloseHandle(shell);
  return !known || !shellOnWow64;
#endif
}

HWND ListViewUnder(HWND parent) {
  HWND view = FindWindowExW(parent, nullptr, L"SHELLDLL_DefView", nullptr);
  return view ? FindWindowExW(view, nullptr, L"SysListView32", nullptr) : nullptr;
}

// Under "Progman", or, once the shell has split its desktop (a slideshow wallpaper, some
// tools), under one of the top-level "WorkerW" windows.
HWND FindDesktopListView() {
  HWND progman = FindWindowExW(nullptr, nullptr, L"Progman", L"Program Manager");
  if (HWND list = progman ? ListViewUnder(progman) : nullptr) return list;
  for (HWND worker = FindWindowExW(nullptr, nullptr, L"WorkerW", nullptr); worker;
       worker = FindWindowExW(nullptr, worker, L"WorkerW", nullptr)) {
    if (HWND list = ListViewUnder(worker)) return list;
  }
  return nullptr;
}

bool HasClass(HWND window, const wchar_t* name) {
  wchar_t className[32];
  return window && GetClassNameW(window, className, 32) && lstrcmpW(className, name) == 0;
}

// The shell's thread may have other windows that take the same message number.
bool IsDesktopListView(HWND window) {
  return HasClass(window, L"SysListView32") && HasClass(GetParent(window), L"SHELLDLL_DefView");
}

bool IsActive(HWND list) { return list && GetPropW(list, kActiveProperty) != nullptr; }

// Each request has an event of its own, under a name nobody can take first; the name is carried
// in the request.
void SignalHandshake(LPARAM nonce) { SetUserEvent(kEventName, static_cast<uint32_t>(nonce)); }

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

// One attach or detach at a time in this process (other threads may use the library too).
volatile LONG handshaking = 0;

// The handshake event of one request; false while another request of this process waits (or
// no event can be made).
class Handshake {
 public:
  Handshake() {
    if (InterlockedExchange(&handshaking, 1)) return;
    held_ = true;
    event_ = CreateUserEvent(kEventName, nonce_);
  }
  ~Handshake() {
    if (event_) CloseHandle(event_);
    if (held_) InterlockedExchange(&handshaking, 0);
  }
  Handshake(const Handshake&) = delete;
  Handshake& operator=(const Handshake&) = delete;
  explicit operator bool() const { return event_ != nullptr; }

  // Posts the request to the list view and waits for the shell to have handled it. A window
  // that cannot take the message is not waited for (`posted` false).
  bool Ask(WPARAM install, bool& posted) {
    posted = PostMessageW(CDesktopHook::desktop, WM_DESKTOPHOOK_SUBCLASS, install, nonce_) != FALSE;
    return posted && WaitForAnswer(event_) == WAIT_OBJECT_0;
  }

 private:
  bool held_ = false;
  HANDLE event_ = nullptr;
  uint32_t nonce_ = 0;
};

void Unhook() {
  if (CDesktopHook::hook) UnhookWindowsHookEx(CDesktopHook::hook);
  CDesktopHook::hook = nullptr;
  hookThread = 0;
  removalPending = false;
}

void Repaint() { RedrawWindow(CDesktopHook::desktop, nullptr, nullptr, kRedrawLater); }

// In the shell: takes the list view into Corvane's chain, or takes up the work again where
// Corvane's procedure is in it already (another program subclassed it since, or a Tavolet
// ended without removing it). Its own procedure is never taken for Corvane's.
void InstallSubclass(HWND list, WNDPROC procedure) {
  Subclassed* entry = SubclassedEntry(list);
  const auto ours = reinterpret_cast<LONG_PTR>(procedure);
  if (!entry && GetWindowLongPtrW(list, GWLP_WNDPROC) != ours) {
    entry = NewEntry(list);
    if (!entry) return;
    // Pinned in the shell's process: the list view may call into it for as long as it lives.
    HMODULE pinned = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(procedure), &pinned);
    // The wide form keeps the shell's Unicode list view Unicode.
    entry->own = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(list, GWLP_WNDPROC, ours));
    if (!entry->own) {
      Forget(*entry);
      return;
    }
  }
  if (!entry) return;
  CDesktopHook::orgWindowProcList = entry->own;
  entry->active = true;
  SetPropW(list, kActiveProperty, reinterpret_cast<HANDLE>(1));
  InvalidateRect(list, nullptr, TRUE);
}

// In the shell: the list view's own procedure goes back only while Corvane's is on top of its
// chain; under another program's subclass Corvane's stays as a pass-through, so that program
// keeps working and its own removal later finds a procedure that forwards.
void RemoveSubclass(HWND list, WNDPROC procedure) {
  Subclassed* entry = SubclassedEntry(list);
  if (!entry) return;
  entry->active = false;
  RemovePropW(list, kActiveProperty);
  if (GetWindowLongPtrW(list, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(procedure)) {
    SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(entry->own));
    if (CDesktopHook::orgWindowProcList == entry->own) CDesktopHook::orgWindowProcList = nullptr;
    Forget(*entry);
  }
  InvalidateRect(list, nullptr, TRUE);
}

}  // namespace

CDesktopHook::CDesktopHook() {
  hook = nullptr;
  state = 0;
  desktop = nullptr;
  textColor = 0x00FFFFFF;
  textBdColor = 0x00000000;
  bkColor = DH_COLOR_NONE;
  selColor = DH_COLOR_AUTO;
  hookThread = 0;
  removalPending = false;
}

CDesktopHook::CDesktopHook(const CDesktopHook&) {}

CDesktopHook::~CDesktopHook() { Release(); }

CDesktopHook& CDesktopHook::operator=(const CDesktopHook&) { return *this; }

bool CDesktopHook::SetState(int newState) {
  state = newState;
  PublishValues();
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
  PublishValues();
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

bool CDesktopHook::AnotherBuildInShell() { return anotherBuild; }

bool CDesktopHook::Attached() { return hook && IsActive(desktop) && !removalPending; }

unsigned long CDesktopHook::ReadIcons(void* buffer, unsigned long size) {
  return Attached() ? AskIconList(desktop, buffer, size) : 0;
}

long CDesktopHook::MoveIcons(const void* moves, unsigned long size) {
  return Attached() ? SendIconMoves(desktop, moves, size) : -1;
}

bool CDesktopHook::Init() {
  HWND list = FindDesktopListView();
  if (!list || ShellOutOfReach(list)) return false;
  const DWORD thread = GetWindowThreadProcessId(list, nullptr);
  if (!thread) return false;
  // A hook on a list view that is gone (the shell ended) went with its thread.
  if (hook && (list != desktop || thread != hookThread)) Unhook();
  anotherBuild = !hook && ShellHoldsAnotherBuild(list, moduleInstance);
  if (anotherBuild) return false;
  if (hook && !removalPending && IsActive(list)) return false;  // attached already
  Handshake handshake;
  if (!handshake) return false;
  desktop = list;
  if (!PublishValues()) return false;
  if (!hook) {
    HHOOK made =
        SetWindowsHookExW(WH_GETMESSAGE, &CDesktopHook::GetMsgProc, moduleInstance, thread);
    if (!made) return false;
    hookThread = thread;  // first: another thread that sees the hook sees its thread
    hook = made;
  }
  // Also where a subclass is in place already (left by a Tavolet that ended): the request
  // goes behind whatever that one left in the shell's queue, so the answer is the last word.
  bool posted = false;
  const bool answered = handshake.Ask(1, posted);
  if (posted) removalPending = false;
  if (answered && IsActive(list)) {
    Repaint();
    return true;
  }
  if (!posted) Unhook();  // nothing is on its way to the shell
  return false;
}

bool CDesktopHook::Release() {
  if (!desktop || !hook) return false;
  if (!IsWindow(desktop)) {
    Unhook();  // the shell ended, and the subclass with its list view
    desktop = nullptr;
    return true;
  }
  // A removal asked for before is not waited for again: it is done once the mark is gone.
  bool answered = removalPending;
  if (!removalPending) {
    Handshake handshake;
    if (!handshake) return false;
    bool posted = false;
    answered = handshake.Ask(0, posted);
    removalPending = posted;
  }
  // Done only when the shell answered and the subclass no longer acts; until then the hook
  // stays, so the request in the shell's queue is still carried out when it gets there. The
  // hook goes with this thread, though, and then the request is never seen: the shell's copy
  // is told to paint nothing of its own meanwhile, so the desktop has its own look back
  // whenever the shell gets to painting (the next Init publishes the switch again).
  if (!answered || IsActive(desktop)) {
    PublishSwitchedOff();
    Repaint();
    return false;
  }
  Unhook();
  Repaint();
  desktop = nullptr;
  return true;
}

// Acts once for each request (when the message is taken from the queue, not when peeked), and
// only on a message addressed to a desktop list view.
LRESULT CALLBACK CDesktopHook::GetMsgProc(int code, WPARAM wParam, LPARAM lParam) {
  const auto* msg = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && msg && msg->message == WM_DESKTOPHOOK_SUBCLASS &&
      IsDesktopListView(msg->hwnd)) {
    if (msg->wParam) {
      InstallSubclass(msg->hwnd, &WindowProcList);
    } else {
      RemoveSubclass(msg->hwnd, &WindowProcList);
    }
    SignalHandshake(msg->lParam);  // the caller reads the outcome from the list view's property
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK CDesktopHook::WindowProcList(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
  Subclassed* entry = SubclassedEntry(window);
  const bool acts = entry && entry->active;
  if (message == WM_COPYDATA && acts) {
    LRESULT result = 0;
    if (AnswerIconMessage(window, reinterpret_cast<const COPYDATASTRUCT*>(lParam), result)) {
      return result;
    }
  }
  if ((message == WM_PAINT || message == WM_ERASEBKGND) && acts && CurrentValues().state) {
    // The paint erases into its own buffer: erasing the screen first would flicker.
    if (message == WM_PAINT) OnPaintList(window);
    return message == WM_ERASEBKGND ? 1 : 0;
  }
  WNDPROC own = entry ? entry->own : nullptr;
  if (message == WM_NCDESTROY && entry) {
    RemovePropW(window, kActiveProperty);
    if (orgWindowProcList == own) orgWindowProcList = nullptr;
    Forget(*entry);
  }
  if (!own) return DefWindowProcW(window, message, wParam, lParam);
  return CallWindowProcW(own, window, message, wParam, lParam);
}

// The class library's extension-module registration has no counterpart in our framework.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID) {
  moduleInstance = instance;
  return TRUE;
}
