// Corvane attached to the stand-in desktop by the running Tavolet: the labels in the chosen
// colours, the list view's own procedure back after exit, and no desktop at all.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>

#include "app/settings_file.h"
#include "lintrel/system_hook.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/screen_capture.h"
#include "tests/support/tavolet_process.h"
#include "tests/support/win_test_support.h"

namespace {

class CorvaneE2E : public E2ETest {
 protected:
  void StartWithColours(int state, COLORREF outline = 0x80000000, COLORREF background = kRed) {
    ASSERT_TRUE(WriteBytes(folder_.File("Tavolet.cfg"), LabelSettings(state, outline, background)));
    StartReady();
  }
};

TEST_F(CorvaneE2E, LabelsArePaintedInTheChosenColoursWhileOn) {
  ASSERT_NE(DesktopListView(), nullptr) << "the stand-in desktop runs";
  EXPECT_FALSE(DesktopListSubclassed());
  EXPECT_EQ(DesktopPixels(kRed), 0);
  StartWithColours(1);
  EXPECT_GT(DesktopPixels(kRed), 200) << "label backgrounds";
  EXPECT_GT(DesktopPixels(kGreen), 50) << "label texts";
  SaveScreenshot(ScreenshotPath("desktop_labels_painted"));
  EXPECT_EQ(tavolet_.ExitFromMenu(), 0u);
  EXPECT_EQ(DesktopPixels(kRed), 0) << "the list view paints itself again";
  EXPECT_FALSE(DesktopListSubclassed()) << "its own procedure is back";
  EXPECT_GT(SendMessageA(DesktopListView(), LVM_GETITEMCOUNT, 0, 0), 0) << "and it still works";
}

TEST_F(CorvaneE2E, OutlineAroundTheGlyphsAndNoFillWhenTransparent) {
  constexpr COLORREF kBlue = RGB(0, 0, 255);
  StartWithColours(1, kBlue, 0x80000000);
  EXPECT_EQ(DesktopPixels(kRed), 0) << "no background: the wallpaper shows";
  EXPECT_GT(DesktopPixels(kBlue), 100) << "the outline passes";
  EXPECT_GT(DesktopPixels(kGreen), 20) << "the text over them";
  SaveScreenshot(ScreenshotPath("desktop_labels_outlined"));
}

TEST_F(CorvaneE2E, ASelectedItemShowsTheSelectionColourAndFrame) {
  StartWithColours(1);
  HWND list = DesktopListView();
  DWORD standIn = 0;
  GetWindowThreadProcessId(list, &standIn);
  ASSERT_TRUE(SelectListRow(list, standIn, "Documents"));
  const COLORREF selection = RGB(0, 0, 128);
  EXPECT_GT(DesktopPixels(selection), 100) << "the label filled with the selection colour";
  EXPECT_GT(DesktopPixels(RGB(128, 128, 255)), 10) << "light top and left edges";
  EXPECT_GT(DesktopPixels(RGB(0, 0, 0)), 10) << "dark bottom and right edges";
  SaveScreenshot(ScreenshotPath("desktop_label_selected"));
  RemoteBuffer buffer(standIn, sizeof(LVITEMA));
  LVITEMA none{};
  none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  buffer.Write(0, &none, sizeof none);
  SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
               reinterpret_cast<LPARAM>(buffer.At(0)));
}

TEST_F(CorvaneE2E, SwitchedOffTheListViewPaintsItself) {
  StartWithColours(0);
  EXPECT_EQ(DesktopPixels(kRed), 0);
}

TEST_F(CorvaneE2E, ASecondStartLeavesTheAttachedDesktopAlone) {
  StartWithColours(1);
  ASSERT_GT(DesktopPixels(kRed), 200);
  TavoletProcess second;
  ASSERT_TRUE(second.Start(folder_.Path()));
  EXPECT_EQ(second.WaitForExit(5000), 1u);
  EXPECT_GT(DesktopPixels(kRed), 200) << "still painted with the first copy's colours";
}

TEST_F(CorvaneE2E, WithoutADesktopTheStartEndsWithAMessage) {
  TestDesktop().Stop();
  ASSERT_EQ(DesktopListView(), nullptr);
  ASSERT_TRUE(WriteBytes(folder_.File("key.cfg"), KeyFile({Record(VK_F5, "kept")})));
  ASSERT_TRUE(tavolet_.Start(folder_.Path()));
  HWND box = nullptr;
  ASSERT_TRUE(WaitFor(
      [&] {
        for (HWND w : WindowsOfProcess(tavolet_.Id(), "#32770")) {
          char text[64] = "";
          GetDlgItemTextA(w, 0xFFFF, text, sizeof text);
          if (IsWindowVisible(w) && std::strcmp(text, "Can't Desktop Hook!") == 0) box = w;
        }
        return box != nullptr;
      },
      10000));
  char caption[16] = "x";
  GetWindowTextA(box, caption, sizeof caption);
  EXPECT_STREQ(caption, "") << "an empty caption";
  SaveWindowScreenshot(ScreenshotPath("cant_desktop_hook"), box);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(tavolet_.WaitForExit(10000), 2u) << "a failed start";
  EXPECT_EQ(ReadBytes(folder_.File("key.cfg")), KeyFile({Record(VK_F5, "kept")}));
  EXPECT_TRUE(FileExists(folder_.File("Tavolet.cfg")));
}

}  // namespace
