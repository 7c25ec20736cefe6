// Corvane against a desktop as hard as the real shell's: a split desktop (WorkerW), a shell that
// crashes and comes back, a Tavolet that dies while attached, Unicode labels, 48-pixel icons.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/e2e_support.h"
#include "tests/support/screen_capture.h"

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);  // the stand-in's 48-pixel icons

class ShellE2E : public E2ETest {
 protected:
  void StartPainting(TavoletProcess& tavolet) {
    ASSERT_TRUE(WriteBytes(folder_.File("Tavolet.cfg"), LabelSettings(1)));
    ASSERT_TRUE(tavolet.Start(folder_.Path()));
    ASSERT_TRUE(tavolet.WaitUntilReady());
  }
  static int ListPixels(COLORREF color) {
    HWND list = DesktopListView();
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    Sleep(300);
    RECT r{};
    GetWindowRect(list, &r);
    return CountPixels(r, color);
  }
  // The text of a list-view item of the stand-in, read in its wide form.
  static std::wstring ItemText(int index) {
    HWND list = DesktopListView();
    DWORD owner = 0;
    GetWindowThreadProcessId(list, &owner);
    RemoteBuffer buffer(owner, 4096);
    LVITEMW item{};
    item.pszText = reinterpret_cast<wchar_t*>(buffer.At(1024));
    item.cchTextMax = 512;
    buffer.Write(0, &item, sizeof item);
    SendMessageW(list, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(buffer.At(0)));
    wchar_t text[513] = L"";
    buffer.Read(1024, text, 512 * sizeof(wchar_t));
    return text;
  }
};

TEST_F(ShellE2E, ASplitDesktopUnderWorkerWIsPainted) {
  ASSERT_TRUE(TestDesktop().Start("/workerw"));
  HWND list = DesktopListView();
  char host[32] = "";
  GetClassNameA(GetParent(GetParent(list)), host, sizeof host);
  ASSERT_STREQ(host, "WorkerW");
  StartPainting(tavolet_);
  EXPECT_TRUE(DesktopListSubclassed());
  EXPECT_GT(DesktopPixels(kRed), 200);
  SaveScreenshot(ScreenshotPath("desktop_workerw_painted"));
  EXPECT_EQ(tavolet_.ExitFromMenu(), 0u);
  EXPECT_FALSE(DesktopListSubclassed()) << "its own procedure is back";
}

TEST_F(ShellE2E, AfterTheShellCrashesTheNewDesktopIsPaintedAndExitIsQuick) {
  StartPainting(tavolet_);
  ASSERT_GT(DesktopPixels(kRed), 200);
  TestDesktop().Kill();
  ASSERT_TRUE(TestDesktop().Start());
  EXPECT_EQ(DesktopPixels(kRed), 0) << "a new desktop paints itself";
  DWORD_PTR answer = 0;
  SendMessageTimeoutA(tavolet_.MainWindow(), RegisterWindowMessageA("TaskbarCreated"), 0, 0,
                      SMTO_NORMAL, 15000, &answer);
  EXPECT_TRUE(WaitFor([] { return DesktopPixels(kRed) > 200; }, 5000)) << "attached again";
  EXPECT_TRUE(TrayIconPresent(tavolet_.MainWindow(), 0));
  SaveScreenshot(ScreenshotPath("desktop_after_shell_restart"));
  TestDesktop().Kill();
  const DWORD start = GetTickCount();
  EXPECT_EQ(tavolet_.ExitFromMenu(), 0u);
  EXPECT_LT(GetTickCount() - start, 3000u) << "no wait on a desktop that is gone";
}

TEST_F(ShellE2E, ATavoletThatDiedAttachedIsTakenOverByTheNextStart) {
  StartPainting(tavolet_);
  ASSERT_GT(DesktopPixels(kRed), 200);
  ASSERT_TRUE(tavolet_.Kill());
  EXPECT_TRUE(DesktopListSubclassed()) << "the subclass stays behind";
  EXPECT_GT(SendMessageA(DesktopListView(), LVM_GETITEMCOUNT, 0, 0), 0) << "the desktop works";
  TavoletProcess next;
  StartPainting(next);
  EXPECT_GT(DesktopPixels(kRed), 200);
  EXPECT_EQ(next.ExitFromMenu(), 0u);
  EXPECT_FALSE(DesktopListSubclassed()) << "the list view's own procedure is back";
  EXPECT_EQ(DesktopPixels(kRed), 0);
}

TEST_F(ShellE2E, LabelsOutsideTheCodePageStayWhole) {
  const std::wstring label = L"한국어 Ελληνικά 😀";
  ASSERT_EQ(ItemText(5), label);
  StartPainting(tavolet_);
  HWND list = DesktopListView();
  EXPECT_TRUE(IsWindowUnicode(list)) << "the subclass keeps the list view Unicode";
  EXPECT_EQ(ItemText(5), label);
  ASSERT_TRUE(SetWindowTextW(list, label.c_str()));
  wchar_t text[64] = L"";
  GetWindowTextW(list, text, 64);
  EXPECT_EQ(std::wstring(text), label) << "text through the subclassed procedure";
  SaveScreenshot(ScreenshotPath("desktop_unicode_and_long_labels"));
  EXPECT_EQ(ItemText(6).size(), 255u) << "the 510-byte label is painted without harm";
}

std::wstring Wide(const std::string& text) {
  wchar_t wide[MAX_PATH] = L"";
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide, MAX_PATH);
  return wide;
}

// The user replaced the files (the old library renamed aside, as a loaded one must be) and
// started the new Tavolet while the shell still held the old library: the shell is never made
// to call the new build's offset in the old code. Tavolet says so, runs on, and attaches once
// the shell has been restarted.
TEST_F(ShellE2E, AnUpdateInPlaceWaitsForTheShellsRestart) {
  TempFolder install;
  for (const char* file : {"Tavolet.exe", "Lintrel.dll", "Corvane.dll"}) {
    ASSERT_TRUE(CopyFileA((ProgramFolder() + file).c_str(), install.File(file).c_str(), FALSE));
  }
  const std::wstring program = Wide(install.File("Tavolet.exe"));
  ASSERT_TRUE(WriteBytes(folder_.File("Tavolet.cfg"), LabelSettings(1)));
  TavoletProcess before;
  ASSERT_TRUE(before.Start(Wide(folder_.Path()), program));
  ASSERT_TRUE(before.WaitUntilReady());
  ASSERT_GT(DesktopPixels(kRed), 200);
  ASSERT_EQ(before.ExitFromMenu(), 0u);
  ASSERT_TRUE(MoveFileA(install.File("Corvane.dll").c_str(), install.File("Corvane.old").c_str()));
  ASSERT_TRUE(CopyFileA((ProgramFolder() + "other_build\\Corvane.dll").c_str(),
                        install.File("Corvane.dll").c_str(), FALSE));
  ASSERT_TRUE(tavolet_.Start(Wide(folder_.Path()), program));
  HWND notice = WaitForDialog("", 20000);
  ASSERT_NE(notice, nullptr);
  char text[512] = "";
  GetDlgItemTextA(notice, 0xFFFF, text, sizeof text);
  EXPECT_NE(std::string(text).find("Corvane.dll"), std::string::npos) << text;
  EXPECT_TRUE(Press(notice, IDOK));
  ASSERT_TRUE(tavolet_.WaitForIcon()) << "it runs on";
  EXPECT_GT(SendMessageA(DesktopListView(), LVM_GETITEMCOUNT, 0, 0), 0) << "the shell lives";
  EXPECT_FALSE(DesktopListSubclassed()) << "nothing was asked of the old library";
  ASSERT_TRUE(TestDesktop().Start()) << "the shell restarted";
  DWORD_PTR answer = 0;
  SendMessageTimeoutA(tavolet_.MainWindow(), RegisterWindowMessageA("TaskbarCreated"), 0, 0,
                      SMTO_NORMAL, 15000, &answer);
  EXPECT_TRUE(WaitFor([] { return DesktopPixels(kRed) > 200; }, 5000)) << "the new build attached";
  EXPECT_EQ(tavolet_.ExitFromMenu(), 0u);
  TestDesktop().Stop();  // lets go of the libraries before their folder goes
}

TEST_F(ShellE2E, LargeIconsAreDrawnWhole) {
  ASSERT_TRUE(TestDesktop().Start("/icons48"));
  const int ownPaint = ListPixels(kMagenta);
  ASSERT_GE(ownPaint, 7 * 48 * 48) << "seven whole icons as the list view draws them";
  StartPainting(tavolet_);
  ASSERT_GT(DesktopPixels(kRed), 200);
  EXPECT_EQ(ListPixels(kMagenta), ownPaint);
  SaveScreenshot(ScreenshotPath("desktop_icons_48"));
}

}  // namespace
