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

TEST(DesktopHookValues, ConstructionWhileASubclassIsRecordedResetsNothing) {
  CDesktopHook first;
  first.SetState(1);
  first.SetColors(0x112233, DH_COLOR_NONE, 0x445566, 0x778899);
  CDesktopHook::orgWindowProcList = &SomeProcedure;  // as while another copy is attached
  CDesktopHook second;
  EXPECT_EQ(second.GetState(), 1);
  EXPECT_EQ(CDesktopHook::textColor, 0x112233u);
  EXPECT_EQ(CDesktopHook::orgWindowProcList, &SomeProcedure);
  CDesktopHook::orgWindowProcList = nullptr;
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
  CDesktopHook::orgWindowProcList = &SomeProcedure;
  EXPECT_FALSE(hook.Init()) << "a subclass is recorded already";
  EXPECT_EQ(CDesktopHook::desktop, nullptr) << "without searching";
  EXPECT_FALSE(hook.Release()) << "no desktop known";
  CDesktopHook::orgWindowProcList = nullptr;

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
  EXPECT_EQ(CDesktopHook::desktop, list) << "the three searches found the list view";
  EXPECT_EQ(CDesktopHook::hook, nullptr) << "but no hook was installed";
  CloseHandle(busy);
  CDesktopHook::desktop = nullptr;
  DestroyWindow(progman);
}

}  // namespace
