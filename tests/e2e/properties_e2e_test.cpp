// The properties dialog of the running Tavolet, driven through its controls; Tavolet.cfg is
// checked after it closes, whichever way.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <cstring>

#include "app/settings_file.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/screen_capture.h"
#include "tests/support/tavolet_process.h"
#include "tests/support/win_test_support.h"

namespace {

constexpr UINT kProperties = 32775;

class PropertiesE2E : public ::testing::Test {
 protected:
  void TearDown() override {
    if (tavolet_.MainWindow()) {
      EXPECT_EQ(tavolet_.ExitFromMenu(), 0u);
    }
  }
  void StartWith(const SettingsValues& values) {
    ASSERT_TRUE(WriteBytes(folder_.File("Tavolet.cfg"), ToTextMode(EncodeSettings(values))));
    ASSERT_TRUE(tavolet_.Start(folder_.Path()));
    ASSERT_TRUE(tavolet_.WaitUntilReady());
  }
  HWND Open() {
    PostMessageA(tavolet_.MainWindow(), WM_COMMAND, kProperties, 0);
    HWND found = nullptr;
    WaitFor(
        [&] {
          for (HWND w : WindowsOfProcess(tavolet_.Id(), "#32770")) {
            char text[32] = "";
            GetWindowTextA(w, text, sizeof text);
            if (IsWindowVisible(w) && std::strcmp(text, "プロパティ") == 0) found = w;
          }
          return found != nullptr;
        },
        5000);
    return found;
  }
  static void Click(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_SETCHECK,
                 IsDlgButtonChecked(dialog, id) ? BST_UNCHECKED : BST_CHECKED, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
  }
  // Closes the dialog and waits for the settings file it writes afterwards.
  bool CloseAndWaitForSave(HWND dialog, int id) {
    DeleteFileA(folder_.File("Tavolet.cfg").c_str());
    return Close(dialog, id) &&
           WaitFor([&] { return FileExists(folder_.File("Tavolet.cfg")); }, 5000);
  }
  static bool Close(HWND dialog, int id) {
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                        reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)), SMTO_NORMAL, 5000,
                        &answer);
    return WaitFor([&] { return !IsWindow(dialog); }, 5000);
  }
  SettingsValues Stored() const {
    SettingsValues values;
    DecodeSettings(FromTextMode(ReadBytes(folder_.File("Tavolet.cfg"))), values);
    return values;
  }
  static SettingsValues Example() {
    SettingsValues values;
    values.excludedPaths = {"b.exe", "a.exe", "c.exe"};
    values.labelState = 1;
    values.textColor = 0x00112233;
    values.outlineColor = 0x80000000;
    values.backgroundColor = 0x80000000;
    values.selectionColor = 0x00800000;
    return values;
  }

  TempFolder folder_;
  TavoletProcess tavolet_;
};

TEST_F(PropertiesE2E, ShowsTheSettingsAndOkStoresTheRowsReversed) {
  StartWith(Example());
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  HWND list = GetDlgItem(dialog, 1016);
  EXPECT_EQ(ListRows(list, tavolet_.Id()), (std::vector<std::string>{"a.exe", "b.exe", "c.exe"}))
      << "sorted ascending";
  EXPECT_TRUE(IsDlgButtonChecked(dialog, 1038));
  EXPECT_TRUE(IsDlgButtonChecked(dialog, 1041)) << "no outline";
  EXPECT_TRUE(IsDlgButtonChecked(dialog, 1040)) << "transparent";
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, 1034)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 1035)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 1036)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, 1037)));
  Sleep(300);
  SaveWindowScreenshot(ScreenshotPath("properties"), dialog);
  Click(dialog, 1038);
  for (int id : {1034, 1035, 1036, 1037, 1040, 1041}) {
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, id))) << id;
  }
  Sleep(300);
  SaveWindowScreenshot(ScreenshotPath("properties_switched_off"), dialog);
  ASSERT_TRUE(CloseAndWaitForSave(dialog, IDOK));
  const SettingsValues stored = Stored();
  EXPECT_EQ(stored.excludedPaths, (std::list<std::string>{"c.exe", "b.exe", "a.exe"}));
  EXPECT_EQ(stored.labelState, 0);
  EXPECT_EQ(stored.textColor, 0x00112233u);
  EXPECT_EQ(stored.outlineColor, 0x80000000u);
  EXPECT_EQ(stored.backgroundColor, 0x80000000u);
  EXPECT_EQ(stored.selectionColor, 0x00800000u);
}

TEST_F(PropertiesE2E, UncheckingNoOutlineAndTransparentStoresTheButtonsColours) {
  StartWith(Example());
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  Click(dialog, 1041);
  Click(dialog, 1040);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, 1035)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, 1036)));
  ASSERT_TRUE(CloseAndWaitForSave(dialog, IDOK));
  EXPECT_EQ(Stored().outlineColor, 0x00000000u) << "black";
  EXPECT_EQ(Stored().backgroundColor, GetSysColor(COLOR_BACKGROUND)) << "the desktop's colour";
  EXPECT_EQ(Stored().labelState, 1);
}

TEST_F(PropertiesE2E, DeleteRemovesSelectedRowsAndCancelStillWrites) {
  StartWith(Example());
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  HWND list = GetDlgItem(dialog, 1016);
  PostMessageA(list, WM_KEYDOWN, VK_DELETE, 0);  // nothing selected: nothing goes
  Sleep(300);
  EXPECT_EQ(ListRows(list, tavolet_.Id()).size(), 3u);
  ASSERT_TRUE(SelectListRow(list, tavolet_.Id(), "b.exe"));
  PostMessageA(list, WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_TRUE(WaitFor([&] { return ListRows(list, tavolet_.Id()).size() == 2; }, 3000));
  ASSERT_TRUE(SelectListRow(list, tavolet_.Id(), "a.exe"));
  PostMessageA(dialog, WM_KEYDOWN, VK_BACK, 0);  // Backspace, with the focus anywhere
  EXPECT_TRUE(WaitFor([&] { return ListRows(list, tavolet_.Id()).size() == 1; }, 3000));
  ASSERT_TRUE(CloseAndWaitForSave(dialog, IDCANCEL)) << "written after Cancel too";
  EXPECT_EQ(Stored().excludedPaths, Example().excludedPaths) << "Cancel changes nothing";
  EXPECT_EQ(Stored().labelState, 1);

  dialog = Open();
  ASSERT_NE(dialog, nullptr);
  list = GetDlgItem(dialog, 1016);
  ASSERT_TRUE(SelectListRow(list, tavolet_.Id(), "c.exe"));
  PostMessageA(list, WM_KEYDOWN, VK_DELETE, 0);
  EXPECT_TRUE(WaitFor([&] { return ListRows(list, tavolet_.Id()).size() == 2; }, 3000));
  ASSERT_TRUE(CloseAndWaitForSave(dialog, IDOK));
  EXPECT_EQ(Stored().excludedPaths, (std::list<std::string>{"b.exe", "a.exe"}));
}

TEST_F(PropertiesE2E, RowsLongerThanAPathBufferAreStoredWhole) {
  SettingsValues values;
  // 300 bytes, with a double-byte character ("表", second byte 0x5C) across byte 259.
  const std::string path = "C:\\" + std::string(255, 'p') + "\x95\x5C" + std::string(40, 'q');
  values.excludedPaths = {path};
  StartWith(values);
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(CloseAndWaitForSave(dialog, IDOK));
  EXPECT_EQ(Stored().excludedPaths, values.excludedPaths);
}

// A real WM_DROPFILES: the drop record (DROPFILES and the file names) is built in Tavolet's
// memory and its address handed over as the HDROP, as fixed global memory is.
TEST_F(PropertiesE2E, DroppedFilesAddRowsEvenWhenRepeated) {
  SettingsValues values;
  values.excludedPaths = {"C:\\x.exe"};
  StartWith(values);
  HWND dialog = Open();
  ASSERT_NE(dialog, nullptr);
  HWND list = GetDlgItem(dialog, 1016);
  const std::string names = std::string("C:\\x.exe") + '\0' + "D:\\tools\\y.exe" + '\0' + '\0';
  DROPFILES header{};
  header.pFiles = sizeof header;
  for (int drop = 0; drop < 2; ++drop) {
    RemoteBuffer buffer(tavolet_.Id(), 4096);
    ASSERT_TRUE(buffer.Write(0, &header, sizeof header));
    ASSERT_TRUE(buffer.Write(sizeof header, names.data(), names.size()));
    PostMessageA(list, WM_DROPFILES, reinterpret_cast<WPARAM>(buffer.At(0)), 0);
    const size_t expected = 1 + 2 * (drop + 1);
    EXPECT_TRUE(WaitFor([&] { return ListRows(list, tavolet_.Id()).size() == expected; }, 3000))
        << "drop " << drop;
  }
  ASSERT_TRUE(CloseAndWaitForSave(dialog, IDOK));
  EXPECT_EQ(Stored().excludedPaths.size(), 5u) << "duplicates are not checked";
}

}  // namespace
