// Corvane's stored values: construction, the setters while detached, the resolved selection.
#include <windows.h>
#include <gtest/gtest.h>

#include "corvane/desktop_hook.h"

namespace {

LRESULT CALLBACK SomeProcedure(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  return DefWindowProcA(w, m, wp, lp);
}

TEST(DesktopHookValues, ConstructionSetsTheDefaults) {
  CDesktopHook::state = 5;
  CDesktopHook::textColor = 1;
  CDesktopHook hook;
  EXPECT_EQ(hook.GetState(), 0);
  EXPECT_EQ(CDesktopHook::textColor, 0x00FFFFFFu);
  EXPECT_EQ(CDesktopHook::textBdColor, 0x00000000u);
  EXPECT_EQ(CDesktopHook::bkColor, DH_COLOR_NONE);
  EXPECT_EQ(CDesktopHook::selColor, DH_COLOR_AUTO);
  EXPECT_EQ(CDesktopHook::desktop, nullptr);
}

TEST(DesktopHookValues, SettersStoreAndSayNothingWasRepaintedWhileDetached) {
  CDesktopHook hook;
  EXPECT_FALSE(hook.SetState(1));
  EXPECT_EQ(hook.GetState(), 1);
  EXPECT_FALSE(hook.SetColors(0x010203, 0x040506, DH_COLOR_NONE, DH_COLOR_AUTO));
  unsigned long text, outline, background, selection;
  hook.GetColors(text, outline, background, selection);
  EXPECT_EQ(text, 0x010203u);
  EXPECT_EQ(outline, 0x040506u);
  EXPECT_EQ(background, DH_COLOR_NONE) << "reserved values come back as stored";
  EXPECT_EQ(selection, GetSysColor(COLOR_HIGHLIGHT)) << "automatic selection resolved";
  EXPECT_EQ(CDesktopHook::selColor, DH_COLOR_AUTO) << "the stored value stays automatic";
}

}  // namespace

namespace {

TEST(DesktopHookGuards, RefusalsThatTouchNothing) {
  CDesktopHook hook;
  EXPECT_FALSE(hook.Release()) << "nothing attached";
  EXPECT_FALSE(hook.Attached());

  // A desktop window chain of this process's own, so the search succeeds.
  for (const char* name : {"Progman", "SHELLDLL_DefView"}) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &SomeProcedure;
    windowClass.lpszClassName = name;
    RegisterClassA(&windowClass);
  }
  HWND progman = CreateWindowExA(0, "Progman", "Program Manager", WS_POPUP, 0, 0, 100, 100, nullptr,
                                 nullptr, nullptr, nullptr);
  HWND view = CreateWindowExA(0, "SHELLDLL_DefView", "", WS_CHILD, 0, 0, 100, 100, progman, nullptr,
                              nullptr, nullptr);
  HWND list = CreateWindowExA(0, "SysListView32", "", WS_CHILD, 0, 0, 100, 100, view, nullptr,
                              nullptr, nullptr);
  ASSERT_NE(list, nullptr);
  // While the handshake event exists another attach or detach is under way.
  HANDLE busy = CreateEventA(nullptr, TRUE, FALSE, "SetWndLng");
  ASSERT_NE(busy, nullptr);
  EXPECT_FALSE(hook.Init());
  EXPECT_EQ(CDesktopHook::hook, nullptr) << "no hook was installed";
  CloseHandle(busy);
  CDesktopHook::desktop = nullptr;
  DestroyWindow(progman);
}

}  // namespace

#include <commctrl.h>

#include <thread>

namespace {

// A desktop window chain run by a thread of its own, as the shell's would be.
class DesktopThread {
 public:
  DesktopThread() {
    thread_ = std::thread([this] { Run(); });
    while (!ready_) Sleep(10);
  }
  ~DesktopThread() {
    PostMessageA(progman_, WM_CLOSE, 0, 0);
    thread_.join();
  }
  HWND list() const { return list_; }
  HWND progman() const { return progman_; }
  // Keeps the thread busy for a while, so a handshake has to wait.
  void Stall(DWORD ms) { PostMessageA(progman_, WM_APP, ms, 0); }
  // Returns once the thread has retrieved everything posted to it before.
  void Sync() {
    const long before = synced_;
    PostMessageA(progman_, WM_APP + 1, 0, 0);
    while (synced_ == before) Sleep(5);
  }

 private:
  static volatile long synced_;
  static LRESULT CALLBACK ProgmanProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_APP) Sleep(static_cast<DWORD>(wp));
    if (m == WM_APP + 1) InterlockedIncrement(&synced_);
    if (m == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(w, m, wp, lp);
  }
  void Run() {
    for (const char* name : {"Progman", "SHELLDLL_DefView"}) {
      WNDCLASSA windowClass{};
      windowClass.lpfnWndProc = &ProgmanProc;
      windowClass.lpszClassName = name;
      RegisterClassA(&windowClass);
    }
    progman_ = CreateWindowExA(0, "Progman", "Program Manager", WS_POPUP, 0, 0, 200, 200, nullptr,
                               nullptr, nullptr, nullptr);
    HWND view = CreateWindowExA(0, "SHELLDLL_DefView", "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 200,
                                progman_, nullptr, nullptr, nullptr);
    list_ = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_ICON, 0, 0, 200, 200,
                            view, nullptr, nullptr, nullptr);
    ready_ = true;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  }

  std::thread thread_;
  volatile bool ready_ = false;
  HWND progman_ = nullptr;
  HWND list_ = nullptr;
};

TEST(DesktopHookHandshake, SubclassInstalledAndRemovedThroughTheListViewsThread) {
  DesktopThread desktop;
  CDesktopHook hook;
  const LONG_PTR ownProcedure = GetWindowLongPtrW(desktop.list(), GWLP_WNDPROC);
  ASSERT_TRUE(hook.Init()) << "the event was set within the wait";
  EXPECT_EQ(CDesktopHook::desktop, desktop.list());
  EXPECT_NE(CDesktopHook::hook, nullptr);
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(CDesktopHook::orgWindowProcList), ownProcedure);
  EXPECT_NE(GetWindowLongPtrW(desktop.list(), GWLP_WNDPROC), ownProcedure) << "subclassed";
  EXPECT_FALSE(hook.Init()) << "refused while a subclass is recorded";
  EXPECT_TRUE(hook.SetState(0)) << "repainted at once while attached";
  ASSERT_TRUE(hook.Release());
  EXPECT_EQ(GetWindowLongPtrW(desktop.list(), GWLP_WNDPROC), ownProcedure) << "restored";
  EXPECT_EQ(CDesktopHook::orgWindowProcList, nullptr);
  EXPECT_EQ(CDesktopHook::hook, nullptr);
  EXPECT_EQ(CDesktopHook::desktop, nullptr);
  EXPECT_FALSE(hook.Release()) << "nothing left to release";
}

volatile long DesktopThread::synced_ = 0;

// Requests for another window of the thread are not the list view's.
TEST(DesktopHookHandshake, AStrayRequestLeavesTheListViewAlone) {
  DesktopThread desktop;
  CDesktopHook hook;
  ASSERT_TRUE(hook.Init());
  PostMessageW(desktop.progman(), WM_DESKTOPHOOK_SUBCLASS, 0, 0);
  desktop.Sync();
  EXPECT_TRUE(hook.Attached()) << "another window's message";
  EXPECT_TRUE(hook.Release());
}

int ItemCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

void AddItem(HWND list) {
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.pszText = const_cast<wchar_t*>(L"item");
  SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

// A Tavolet that ended while attached left the subclass; a new one (its hook and list view
// unknown) takes it over instead of subclassing it again on top of itself.
TEST(DesktopHookHandshake, ASubclassLeftBehindIsTakenOverNotStacked) {
  DesktopThread desktop;
  AddItem(desktop.list());
  const LONG_PTR ownProcedure = GetWindowLongPtrW(desktop.list(), GWLP_WNDPROC);
  CDesktopHook hook;
  ASSERT_TRUE(hook.Init());
  UnhookWindowsHookEx(CDesktopHook::hook);  // as the end of its process does
  CDesktopHook::hook = nullptr;
  CDesktopHook::desktop = nullptr;
  ASSERT_TRUE(hook.Init());
  EXPECT_EQ(ItemCount(desktop.list()), 1) << "the list view's own procedure still answers";
  ASSERT_TRUE(hook.Release());
  EXPECT_EQ(GetWindowLongPtrW(desktop.list(), GWLP_WNDPROC), ownProcedure);
}

WNDPROC laterProcedure = nullptr;
LRESULT CALLBACK LaterSubclass(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  return CallWindowProcW(laterProcedure, w, m, wp, lp);
}

// Another program subclassed the list view after Corvane: the removal leaves it on top, and
// when it lets go later the list view still reaches its own procedure.
TEST(DesktopHookHandshake, ARemovalUnderAnotherSubclassLeavesAPassThrough) {
  DesktopThread desktop;
  AddItem(desktop.list());
  const LONG_PTR ownProcedure = GetWindowLongPtrW(desktop.list(), GWLP_WNDPROC);
  CDesktopHook hook;
  ASSERT_TRUE(hook.Init());
  laterProcedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(desktop.list(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LaterSubclass)));
  ASSERT_TRUE(hook.Release());
  EXPECT_EQ(GetWindowLongPtrW(desktop.list(), GWLP_WNDPROC),
            reinterpret_cast<LONG_PTR>(&LaterSubclass))
      << "the later subclass stays on top";
  EXPECT_EQ(ItemCount(desktop.list()), 1);
  SetWindowLongPtrW(desktop.list(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(laterProcedure));
  EXPECT_EQ(ItemCount(desktop.list()), 1) << "forwarded to its own, not to DefWindowProc";
  ASSERT_TRUE(hook.Init()) << "the pass-through takes up its work again";
  ASSERT_TRUE(hook.Release());
  EXPECT_EQ(GetWindowLongPtrW(desktop.list(), GWLP_WNDPROC), ownProcedure);
}

TEST(DesktopHookHandshake, ASecondInitWhileOneWaitsIsRefused) {
  DesktopThread desktop;
  CDesktopHook first;
  desktop.Stall(1500);
  bool firstResult = false;
  std::thread waiting([&] { firstResult = first.Init(); });
  Sleep(300);
  CDesktopHook second_handle_only(first);  // a copy: resets nothing
  EXPECT_FALSE(second_handle_only.Init()) << "the handshake event exists";
  waiting.join();
  EXPECT_TRUE(firstResult);
  EXPECT_TRUE(first.Release());
}

}  // namespace
