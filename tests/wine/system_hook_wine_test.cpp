// Lintrel's hook in this process and across processes.
#include <windows.h>
#include <gtest/gtest.h>

#include "lintrel/system_hook.h"
#include "tests/support/cbt_observer.h"
#include "tests/support/win_test_support.h"

namespace {

constexpr WPARAM kScreenSave = 0xF140, kMonitorPower = 0xF170;

class SystemHookWine : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateWindowExA(0, "STATIC", "hook test", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                              nullptr, nullptr, nullptr, nullptr);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_SYSHOOK_NOTIFY, WM_SYSHOOK_NOTIFY, PM_REMOVE)) {
    }
  }
  void TearDown() override {
    hook_.Stop();
    hook_.Release();
    DestroyWindow(window_);
  }
  CSystemHook hook_;
  HWND window_ = nullptr;
};

TEST_F(SystemHookWine, WindowsCreatedInAnotherProcessAreReported) {
  ASSERT_TRUE(hook_.Init(WH_CBT, GetCurrentThreadId(), window_));
  EXPECT_NE(CSystemHook::m_hHook, nullptr);
  EXPECT_EQ(CSystemHook::postHwnd, window_);
  ASSERT_TRUE(RunToEnd("\"" + ProgramFolder() + "window_maker.exe\" 3"));
  MSG msg{};
  bool reported = false;
  const DWORD start = GetTickCount();
  while (!reported && GetTickCount() - start < 5000) {
    if (PeekMessageA(&msg, nullptr, WM_SYSHOOK_NOTIFY, WM_SYSHOOK_NOTIFY, PM_REMOVE)) {
      reported = true;
    } else {
      Sleep(10);
    }
  }
  ASSERT_TRUE(reported);
  EXPECT_EQ(msg.hwnd, nullptr) << "a thread message";
  EXPECT_EQ(msg.wParam, SYSHOOK_WINDOW_CREATING);
  EXPECT_EQ(msg.lParam, 0);
}

TEST_F(SystemHookWine, RefusesExactlyTheTwoCommandsWhileOn) {
  ASSERT_TRUE(hook_.Init(WH_CBT, GetCurrentThreadId(), window_));
  CbtObserver observer;
  hook_.Start();
  EXPECT_EQ(CSystemHook::state, 1);
  EXPECT_EQ(observer.AnswerTo(window_, kScreenSave), 1);
  EXPECT_EQ(observer.AnswerTo(window_, kMonitorPower), 1);
  // 0xF141 opens Wine's own About box; other low bits show the same rule.
  EXPECT_EQ(observer.AnswerTo(window_, kScreenSave | 2), 0);
  EXPECT_EQ(observer.AnswerTo(window_, kMonitorPower | 3), 0);
  hook_.Stop();
  EXPECT_EQ(observer.AnswerTo(window_, kScreenSave), 0);
  EXPECT_EQ(observer.AnswerTo(window_, kMonitorPower), 0);
}

HHOOK earlierHook = nullptr;
int earlierCreations = 0;
LRESULT CALLBACK EarlierHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) ++earlierCreations;
  return CallNextHookEx(earlierHook, code, wParam, lParam);
}

TEST_F(SystemHookWine, AHookInstalledEarlierStillSeesEvents) {
  earlierHook = SetWindowsHookExA(WH_CBT, &EarlierHook, GetModuleHandleA(nullptr), 0);
  ASSERT_NE(earlierHook, nullptr);
  ASSERT_TRUE(hook_.Init(WH_CBT, GetCurrentThreadId(), window_));
  earlierCreations = 0;
  DestroyWindow(
      CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(earlierCreations, 1) << "Lintrel passes the event on";
  MSG msg;
  EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_SYSHOOK_NOTIFY, WM_SYSHOOK_NOTIFY, PM_REMOVE))
      << "and still reports it";
  UnhookWindowsHookEx(earlierHook);
}

TEST_F(SystemHookWine, ReleaseInitStartStopWithoutAHook) {
  hook_.Release();
  hook_.Release();
  EXPECT_EQ(CSystemHook::m_hHook, nullptr);
  EXPECT_FALSE(hook_.Init(6, 4321, window_)) << "no such kind, nothing installed before";
  EXPECT_EQ(CSystemHook::m_hHook, nullptr);
  EXPECT_EQ(CSystemHook::postThread, 4321u) << "the target is recorded whatever the kind";
  hook_.Start();
  EXPECT_EQ(CSystemHook::state, 1);
  hook_.Stop();
  EXPECT_EQ(CSystemHook::state, 0);
  CSystemHook copy(hook_);
  copy = hook_;
  EXPECT_EQ(CSystemHook::postThread, 4321u) << "copying copies and resets nothing";
}

// Another process acts on what this one published, whatever that process writes into the
// library's exported data.
TEST_F(SystemHookWine, AnotherProcessActsOnThePublishedState) {
  ASSERT_TRUE(hook_.Init(WH_CBT, GetCurrentThreadId(), window_));
  TempFolder folder;
  const std::string output = folder.File("answer.txt");
  const std::string probe = "\"" + ProgramFolder() + "hook_library_probe.exe\" \"" + output + "\"";
  hook_.Start();
  ASSERT_TRUE(RunToEnd(probe));
  EXPECT_EQ(ReadBytes(output), "1") << "refused there while on";
  hook_.Stop();
  ASSERT_TRUE(RunToEnd(probe));
  EXPECT_EQ(ReadBytes(output), "0") << "allowed there while off";
}

}  // namespace
