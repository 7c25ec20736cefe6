// The key list and the hot-key edit dialog of the running Tavolet, driven through their
// controls from outside; key.cfg is checked byte for byte after each step. Also the boss key.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "tests/e2e/e2e_support.h"
#include "tests/support/screen_capture.h"
#include "tests/support/tavolet_process.h"
#include "tests/support/win_test_support.h"

namespace {

class DialogsE2E : public E2ETest {
 protected:
  RECT RowRect(HWND list, const std::string& text) {
    const auto rows = Rows(list);
    RECT rect{};
    for (size_t row = 0; row < rows.size(); ++row) {
      if (rows[row] != text) continue;
      RemoteBuffer buffer(tavolet_.Id(), sizeof(RECT));
      rect.left = LVIR_BOUNDS;
      buffer.Write(0, &rect, sizeof rect);
      SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(buffer.At(0)));
      buffer.Read(0, &rect, sizeof rect);
    }
    return rect;
  }
};

TEST_F(DialogsE2E, AddEditAndDeleteThroughTheDialogs) {
  const KeyRecord first = Record(VK_F5, "first");
  StartWith({first});
  DeleteFileA(folder_.File("key.cfg").c_str());
  HWND keyList = OpenKeyList();
  ASSERT_NE(keyList, nullptr);
  EXPECT_TRUE(KeysBecome({first})) << "opening the list writes key.cfg";
  HWND list = GetDlgItem(keyList, 1016);

  // A second "キーの編集" while the list is open opens nothing.
  PostMessageA(tavolet_.MainWindow(), WM_COMMAND, kEditKeys, 0);
  Sleep(500);
  EXPECT_EQ(CountDialogs("編集"), 1);

  // Add with OK: clipboard text in UTF-8.
  HWND editor = OpenEditor(keyList, kAdd);
  ASSERT_NE(editor, nullptr);
  SaveWindowScreenshot(ScreenshotPath("edit_dialog_new"), editor);
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(editor, 1014))) << "no type: no parameter controls";
  SetHotKey(editor, VK_F8, kCtrlAltShift);
  ChooseType(editor, 0);
  SetDlgItemTextA(editor, 1014, "C:\\tools\\app.exe");
  CheckDlgButton(editor, 1005, BST_UNCHECKED);
  CheckDlgButton(editor, 1006, BST_CHECKED);
  SendDlgItemMessageA(editor, 1017, CB_SETCURSEL, 4, 0);
  ASSERT_TRUE(Press(editor, IDOK));
  KeyRecord added = Record(VK_F8, "C:\\tools\\app.exe");
  added.textOption = 0x41;
  ASSERT_TRUE(KeysBecome({added, first})) << "newest first";
  EXPECT_TRUE(Taken(kAllModifiers, VK_F8)) << "registered at once";

  // Add cancelled: the file is written again, nothing is added.
  DeleteFileA(folder_.File("key.cfg").c_str());
  editor = OpenEditor(keyList, kAdd);
  ASSERT_NE(editor, nullptr);
  ASSERT_TRUE(Press(editor, IDCANCEL));
  EXPECT_TRUE(KeysBecome({added, first}));

  // A plain key is refused; an extended key alone is taken with modifiers 0. A system
  // parameter entry saved without an Action row gets param2 -1.
  editor = OpenEditor(keyList, kAdd);
  ASSERT_NE(editor, nullptr);
  SetHotKey(editor, 'A', 0);
  EXPECT_FALSE(Press(editor, IDOK, 600)) << "a plain A keeps the dialog open";
  SetHotKey(editor, VK_LEFT, HOTKEYF_EXT);
  ChooseType(editor, 12);
  SaveWindowScreenshot(ScreenshotPath("edit_dialog_system_parameter"), editor);
  ASSERT_TRUE(Press(editor, IDOK));
  KeyRecord left;
  left.virtualKey = VK_LEFT;
  left.actionType = 13;
  left.param2 = -1;
  ASSERT_TRUE(KeysBecome({left, added, first}));

  // Rows are sorted by their key text, not by table order.
  const auto rows = Rows(list);
  ASSERT_EQ(rows.size(), 3u);
  for (size_t i = 1; i < rows.size(); ++i) {
    EXPECT_LE(lstrcmpiA(rows[i - 1].c_str(), rows[i].c_str()), 0)
        << rows[i - 1] << " / " << rows[i];
  }
  SaveWindowScreenshot(ScreenshotPath("key_list"), keyList);

  // Edit cancelled: the entry is free while the dialog is open, registered again after.
  SelectRow(list, "Ctrl + Shift + Alt + F5");
  editor = OpenEditor(keyList, kEdit);
  ASSERT_NE(editor, nullptr);
  EXPECT_FALSE(Taken(kAllModifiers, VK_F5)) << "unregistered while edited";
  EXPECT_EQ(ControlText(editor, 1014), "first");
  ASSERT_TRUE(Press(editor, IDCANCEL));
  EXPECT_TRUE(WaitFor([&] { return Taken(kAllModifiers, VK_F5); }, 3000))
      << "registered again with its old combination";
  EXPECT_TRUE(KeysBecome({left, added, first}));

  // Edit with OK keeps the entry's place (its id) and takes the new fields.
  SelectRow(list, "Ctrl + Shift + Alt + F5");
  editor = OpenEditor(keyList, kEdit);
  ASSERT_NE(editor, nullptr);
  SetDlgItemTextA(editor, 1014, "edited");
  ASSERT_TRUE(Press(editor, IDOK));
  KeyRecord edited = first;
  edited.target = "edited";
  ASSERT_TRUE(KeysBecome({left, added, edited}));

  // A double click on a row opens its edit dialog.
  const RECT row = RowRect(list, "Ctrl + Shift + Alt + F5");
  const LPARAM point = MAKELPARAM(row.left + 20, (row.top + row.bottom) / 2);
  PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
  PostMessageA(list, WM_LBUTTONUP, 0, point);
  PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
  PostMessageA(list, WM_LBUTTONUP, 0, point);
  editor = WaitForDialog("ホットキー追加");
  ASSERT_NE(editor, nullptr) << "double click";
  EXPECT_EQ(ControlText(editor, 1014), "edited");
  ASSERT_TRUE(Press(editor, IDCANCEL));

  // Delete: the entry leaves the file and its combination is free.
  SelectRow(list, "Left");
  PostMessageA(keyList, WM_COMMAND, kDelete, 0);
  ASSERT_TRUE(KeysBecome({added, edited}));
  EXPECT_FALSE(Taken(0, VK_LEFT));

  ASSERT_TRUE(Press(keyList, IDOK)) << "閉じる";
}

TEST_F(DialogsE2E, EditDialogShowsTheGroupsOfEachType) {
  KeyRecord message = Record(VK_F5, "");
  message.actionType = 4;
  message.message = 0x111;
  message.wParam = 0x10;
  StartWith({message});
  HWND keyList = OpenKeyList();
  ASSERT_NE(keyList, nullptr);
  SelectRow(GetDlgItem(keyList, 1016), "Ctrl + Shift + Alt + F5");
  HWND editor = OpenEditor(keyList, kEdit);
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(ControlText(editor, 1013), "0x0111");
  EXPECT_EQ(ControlText(editor, 1010), "0x00000010");
  // Preset "最大化".
  SendDlgItemMessageA(editor, 1009, CB_SETCURSEL, 1, 0);
  SendMessageA(editor, WM_COMMAND, MAKEWPARAM(1009, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(GetDlgItem(editor, 1009)));
  EXPECT_EQ(ControlText(editor, 1013), "0x00000112");
  EXPECT_EQ(ControlText(editor, 1010), "0x0000f030") << "formatted \"0x%08x\"";
  EXPECT_EQ(ControlText(editor, 1012), "0x00000000");

  struct Expected {
    int position;
    bool path, argument, message, param1, kind, action;
  };
  const Expected table[] = {
      {0, true, true, false, false, false, false},    {2, true, false, false, false, false, false},
      {3, false, false, true, false, false, false},   {5, false, false, false, false, false, false},
      {6, false, false, false, true, true, false},    {8, false, false, false, false, true, false},
      {11, false, false, false, true, false, false},  {12, false, false, false, true, false, true},
      {15, false, false, false, false, false, false}, {16, false, false, false, true, false, false},
      {18, false, false, false, false, false, false},
  };
  EXPECT_EQ(SendDlgItemMessageA(editor, 1004, CB_GETCOUNT, 0, 0), 19) << "the icon kinds, sound";
  for (const Expected& e : table) {
    SCOPED_TRACE(e.position);
    ChooseType(editor, e.position);
    EXPECT_EQ(IsWindowVisible(GetDlgItem(editor, 1014)) != FALSE, e.path);
    EXPECT_EQ(IsWindowVisible(GetDlgItem(editor, 1006)) != FALSE, e.argument);
    EXPECT_EQ(IsWindowVisible(GetDlgItem(editor, 1013)) != FALSE, e.message);
    EXPECT_EQ(IsWindowVisible(GetDlgItem(editor, 1020)) != FALSE, e.param1);
    EXPECT_EQ(IsWindowVisible(GetDlgItem(editor, 1011)) != FALSE, e.kind);
    EXPECT_EQ(IsWindowVisible(GetDlgItem(editor, 1032)) != FALSE, e.action);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(editor, 1021))) << "param2 is never shown";
    if (e.kind) {
      EXPECT_GT(SendDlgItemMessageA(editor, 1011, CB_GETCOUNT, 0, 0), 0) << "mixer controls";
      EXPECT_EQ(SendDlgItemMessageA(editor, 1011, CB_GETCURSEL, 0, 0), 0);
    }
    SaveWindowScreenshot(ScreenshotPath("edit_dialog_type_" + std::to_string(e.position)), editor);
  }
  ASSERT_TRUE(Press(editor, IDCANCEL));
  EXPECT_TRUE(KeysBecome({message})) << "cancel changes nothing";
  ASSERT_TRUE(Press(keyList, IDCANCEL)) << "Escape's button closes the list";
}

TEST_F(DialogsE2E, BossKeyMinimisesAndRestoresTheForegroundWindow) {
  KeyRecord boss = Record(VK_F5, "");
  boss.actionType = 6;
  StartWith({boss});
  HWND own = CreateWindowExA(0, "STATIC", "Tavolet boss target", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                             100, 100, 300, 200, nullptr, nullptr, nullptr, nullptr);
  SetForegroundWindow(own);
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == own; }, 3000));
  PostMessageA(tavolet_.MainWindow(), WM_HOTKEY, 1, 0);
  EXPECT_TRUE(WaitFor([&] { return IsIconic(own) != FALSE; }, 5000)) << "first press";
  PostMessageA(tavolet_.MainWindow(), WM_HOTKEY, 1, 0);
  EXPECT_TRUE(WaitFor([&] { return IsIconic(own) == FALSE; }, 5000)) << "second press";
  DestroyWindow(own);
}

// A combination another program holds is marked in the list and counted in the icon's tip,
// until that program lets it go and the list is opened again.
TEST_F(DialogsE2E, AHotKeyAnotherProgramHoldsIsMarkedAndCounted) {
  HWND holder = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(RegisterHotKey(holder, 1, MOD_CONTROL | MOD_ALT, VK_F9));
  KeyRecord taken = Record(VK_F9, "taken");
  taken.modifiers = MOD_CONTROL | MOD_ALT;
  StartWith({Record(VK_F5, "first"), taken, Record(VK_F6, "second")});
  EXPECT_TRUE(WaitFor([] { return TrayTip() == "Tavolet (登録できないキー: 1)"; }, 5000))
      << TrayTip();
  auto marks = [&](HWND keyList) {
    std::vector<std::string> marks;
    HWND list = GetDlgItem(keyList, 1016);
    const auto keys = Rows(list);
    const auto registered = ListRows(list, tavolet_.Id(), 3);
    for (size_t i = 0; i < keys.size() && i < registered.size(); ++i) {
      marks.push_back(keys[i] + "=" + registered[i]);
    }
    return marks;
  };
  HWND keyList = OpenKeyList();
  ASSERT_NE(keyList, nullptr);
  EXPECT_EQ(marks(keyList),
            (std::vector<std::string>{"Ctrl + Alt + F9=×", "Ctrl + Shift + Alt + F5=○",
                                      "Ctrl + Shift + Alt + F6=○"}));
  SendMessageA(GetDlgItem(keyList, 1016), LVM_SCROLL, 400, 0);  // the marks are past "etc"
  Sleep(200);
  SaveWindowScreenshot(ScreenshotPath("key_list_registration"), keyList);
  ASSERT_TRUE(Press(keyList, IDOK));
  UnregisterHotKey(holder, 1);
  DestroyWindow(holder);
  keyList = OpenKeyList();
  ASSERT_NE(keyList, nullptr);
  EXPECT_EQ(marks(keyList),
            (std::vector<std::string>{"Ctrl + Alt + F9=○", "Ctrl + Shift + Alt + F5=○",
                                      "Ctrl + Shift + Alt + F6=○"}));
  EXPECT_TRUE(WaitFor([] { return TrayTip() == "Tavolet"; }, 5000)) << TrayTip();
  EXPECT_TRUE(Taken(MOD_CONTROL | MOD_ALT, VK_F9)) << "Tavolet holds it now";
  ASSERT_TRUE(Press(keyList, IDOK));
}

}  // namespace
