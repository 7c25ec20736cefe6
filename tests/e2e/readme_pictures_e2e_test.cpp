// The pictures of the README (make screenshots copies them to docs/): the painted desktop with
// the key list over it, and the edit dialog of a URL key that takes the selected text.
#include "app/settings_file.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/screen_capture.h"

namespace {

KeyRecord Entry(UINT key, int32_t type, const std::string& target = "", int32_t textOption = 0) {
  KeyRecord r = Record(key, target);
  r.actionType = type;
  r.textOption = textOption;
  return r;
}

constexpr COLORREF kWhite = RGB(255, 255, 255);

// White labels with a black outline, no background, as many users set them.
std::string WhiteLabels() {
  SettingsValues values;
  values.labelState = 1;
  values.textColor = kWhite;
  values.outlineColor = RGB(0, 0, 0);
  values.backgroundColor = 0x80000000;  // transparent
  values.selectionColor = RGB(0, 0, 128);
  return ToTextMode(EncodeSettings(values));
}

class ReadmePictures : public E2ETest {};

TEST_F(ReadmePictures, TheDesktopWithTheKeyListAndTheEditDialog) {
  ASSERT_TRUE(WriteBytes(folder_.File("Tavolet.cfg"), WhiteLabels()));
  const std::string search = "https://www.google.com/search?q=";
  StartWith({Entry('G', 2, search, 4 * 16 + 2), Entry('B', 6), Entry(VK_UP, 7), Entry(VK_DOWN, 8),
             Entry(VK_PRIOR, 17), Entry('M', 19), Entry('T', 12), Entry('I', 15),
             Entry('N', 1, "C:\\Windows\\notepad.exe", 1)});
  ASSERT_GT(DesktopPixels(kWhite), 200) << "the labels are painted";

  HWND keyList = OpenKeyList();
  ASSERT_NE(keyList, nullptr);
  SetWindowPos(keyList, HWND_TOP, 24, 104, 0, 0, SWP_NOSIZE);
  HWND list = GetDlgItem(keyList, 1016);
  ASSERT_EQ(Rows(list).size(), 9u);
  RECT dialog{};
  ASSERT_TRUE(GetWindowRect(keyList, &dialog));
  SetForegroundWindow(keyList);
  RedrawWindow(keyList, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Sleep(300);
  const RECT area{0, 0, dialog.right + 24, dialog.bottom + 24};
  EXPECT_TRUE(SaveScreenshot(ScreenshotPath("readme_desktop_and_keys"), &area));

  SelectRow(list, "Ctrl + Shift + Alt + G");
  HWND editor = OpenEditor(keyList, kEdit);
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(ControlText(editor, 1014), search);
  EXPECT_EQ(IsDlgButtonChecked(editor, 1007), BST_CHECKED) << "the selected text";
  EXPECT_TRUE(SaveWindowScreenshot(ScreenshotPath("readme_edit_dialog"), editor));
  EXPECT_TRUE(Press(editor, IDCANCEL));
  EXPECT_TRUE(Press(keyList, IDOK));
}

}  // namespace
