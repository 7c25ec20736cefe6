// The in-process Wine tests run inside a Tavolet application object that never starts, so
// the code under test finds its application, main window and resources as in Tavolet.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "app/main_app.h"

namespace {
CMainApp testApp;
}

int main(int argc, char** argv) {
  testApp.m_hInstance = GetModuleHandleA(nullptr);
  testApp.m_nThreadID = GetCurrentThreadId();
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_HOTKEY_CLASS};
  InitCommonControlsEx(&controls);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
