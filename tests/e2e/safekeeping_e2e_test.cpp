// Nothing the user made is lost: key.cfg stays in the start folder whatever the file dialog
// does, the key list waits for its editor, a cancelled end of session brings everything back,
// and a key.cfg another program holds is left byte for byte.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "tests/e2e/e2e_support.h"
#include "tests/support/screen_capture.h"

namespace {

const std::vector<KeyRecord> kThree = {Record(VK_F5, "first"), Record(VK_F6, "second"),
                                       Record(VK_F7, "third")};
const std::vector<KeyRecord> kThreeReversed = {kThree[2], kThree[1], kThree[0]};

class SafekeepingE2E : public E2ETest {
 protected:
  // The system's file-open dialog, the one dialog of Tavolet with a file-name field.
  HWND WaitForFileDialog() const {
    HWND found = nullptr;
    WaitFor(
        [&] {
          for (HWND w : WindowsOfProcess(tavolet_.Id(), "#32770")) {
            if (IsWindowVisible(w) && FileNameField(w)) found = w;
          }
          return found != nullptr;
        },
        10000);
    return found;
  }
  static HWND FileNameField(HWND dialog) {
    if (HWND edit = GetDlgItem(dialog, 0x480)) return edit;  // edt1
    HWND combo = GetDlgItem(dialog, 0x47C);                  // cmb13, a ComboBoxEx here
    return combo ? reinterpret_cast<HWND>(SendMessageA(combo, CBEM_GETEDITCONTROL, 0, 0)) : nullptr;
  }
  // The key list, and the editor opened on its one entry.
  void EditTheEntry(HWND& keyList, HWND& editor) const {
    keyList = OpenKeyList();
    ASSERT_NE(keyList, nullptr);
    SelectRow(GetDlgItem(keyList, 1016), "Ctrl + Shift + Alt + F5");
    editor = OpenEditor(keyList, kEdit);
    ASSERT_NE(editor, nullptr);
  }
  bool AllTaken() const {
    for (UINT key : {VK_F5, VK_F6, VK_F7}) {
      if (!Taken(kAllModifiers, key)) return false;
    }
    return true;
  }
};

TEST_F(SafekeepingE2E, BrowsingAnotherFolderLeavesKeyCfgInTheStartFolder) {
  TempFolder elsewhere;
  const std::string program = elsewhere.File("program.exe");
  ASSERT_TRUE(WriteBytes(program, "MZ"));
  StartReady();
  HWND keyList = OpenKeyList();
  ASSERT_NE(keyList, nullptr);
  HWND editor = OpenEditor(keyList, kAdd);
  ASSERT_NE(editor, nullptr);
  SetHotKey(editor, VK_F8, kCtrlAltShift);
  ChooseType(editor, 0);
  PostMessageA(editor, WM_COMMAND, MAKEWPARAM(1015, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(editor, 1015)));
  HWND open = WaitForFileDialog();
  ASSERT_NE(open, nullptr) << "参照 opens the file dialog";
  SaveWindowScreenshot(ScreenshotPath("browse_dialog"), open);
  SendMessageA(FileNameField(open), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(program.c_str()));
  PostMessageA(open, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(open, IDOK)));
  ASSERT_TRUE(WaitFor([&] { return ControlText(editor, 1014) == program; }, 10000));
  ASSERT_TRUE(Press(editor, IDOK));
  ASSERT_TRUE(Press(keyList, IDOK));
  EXPECT_EQ(tavolet_.ExitFromMenu(), 0u);
  KeyRecord added = Record(VK_F8, program);
  EXPECT_EQ(Keys(), std::vector<KeyRecord>{added}) << "key.cfg in the folder Tavolet started in";
  EXPECT_FALSE(FileExists(elsewhere.File("key.cfg"))) << "and none where the dialog went";
  DeleteFileA(program.c_str());
}

TEST_F(SafekeepingE2E, TheKeyListWaitsForItsEditor) {
  StartWith({kThree[0]});
  HWND keyList = nullptr, editor = nullptr;
  ASSERT_NO_FATAL_FAILURE(EditTheEntry(keyList, editor));
  EXPECT_FALSE(IsWindowEnabled(keyList)) << "the editor is modal over the list";
  EXPECT_EQ(GetWindow(editor, GW_OWNER), keyList);
  // What the disabled list still receives waits for the editor: 削除, 編集, 閉じる.
  for (WPARAM command : {WPARAM{kDelete}, WPARAM{kEdit}, WPARAM{IDOK}}) {
    PostMessageA(keyList, WM_COMMAND, command, 0);
  }
  DWORD_PTR answer = 0;
  ASSERT_TRUE(SendMessageTimeoutA(keyList, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer));
  EXPECT_TRUE(IsWindow(keyList));
  EXPECT_EQ(CountDialogs("ホットキー追加"), 1);
  SetDlgItemTextA(editor, 1014, "edited");
  ASSERT_TRUE(Press(editor, IDOK));
  KeyRecord edited = kThree[0];
  edited.target = "edited";
  EXPECT_TRUE(KeysBecome({edited})) << "the entry edited, not deleted";
  EXPECT_TRUE(IsWindowEnabled(keyList));
  EXPECT_TRUE(Press(keyList, IDOK));
}

TEST_F(SafekeepingE2E, ACancelledEndOfSessionBringsEverythingBack) {
  ASSERT_TRUE(WriteBytes(folder_.File("Tavolet.cfg"), LabelSettings(1)));
  StartWith(kThree);
  ASSERT_GT(DesktopPixels(kRed), 200);
  DWORD_PTR answer = 0;
  ASSERT_TRUE(SendMessageTimeoutA(tavolet_.MainWindow(), WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL,
                                  15000, &answer));
  const std::string saved = KeyCfg();
  EXPECT_EQ(saved, KeyFile(kThreeReversed));
  EXPECT_FALSE(Taken(kAllModifiers, VK_F5)) << "released for the end of the session";
  ASSERT_TRUE(SendMessageTimeoutA(tavolet_.MainWindow(), WM_ENDSESSION, FALSE, 0, SMTO_NORMAL,
                                  15000, &answer));
  EXPECT_TRUE(WaitFor([&] { return AllTaken(); }, 5000)) << "the hot keys fire again";
  EXPECT_TRUE(WaitFor([] { return DesktopPixels(kRed) > 200; }, 5000)) << "painted again";
  EXPECT_TRUE(TrayIconPresent(tavolet_.MainWindow(), 0));
  HWND keyList = OpenKeyList();
  ASSERT_NE(keyList, nullptr);
  EXPECT_EQ(Rows(GetDlgItem(keyList, 1016)).size(), 3u);
  EXPECT_EQ(KeyCfg(), saved) << "opening the list wrote the same file again";
  EXPECT_TRUE(Press(keyList, IDOK));
}

// The cancelled end registered the entry's old keys again while its editor was open: the
// edited entry holds only its new ones.
TEST_F(SafekeepingE2E, AnEndOfSessionQueryLeavesAnOpenEditorItsEntry) {
  StartWith({kThree[0]});
  HWND keyList = nullptr, editor = nullptr;
  ASSERT_NO_FATAL_FAILURE(EditTheEntry(keyList, editor));
  DWORD_PTR answer = 0;
  for (UINT message : {WM_QUERYENDSESSION, WM_ENDSESSION}) {
    ASSERT_TRUE(
        SendMessageTimeoutA(tavolet_.MainWindow(), message, 0, 0, SMTO_NORMAL, 15000, &answer));
  }
  SetDlgItemTextA(editor, 1014, "edited");
  SetHotKey(editor, VK_F8, kCtrlAltShift);
  ASSERT_TRUE(Press(editor, IDOK));
  KeyRecord edited = kThree[0];
  edited.target = "edited";
  edited.virtualKey = VK_F8;
  EXPECT_TRUE(KeysBecome({edited}));
  EXPECT_TRUE(WaitFor([] { return Taken(kAllModifiers, VK_F8); }, 5000));
  EXPECT_FALSE(Taken(kAllModifiers, VK_F5)) << "the old keys no longer fire it";
  EXPECT_TRUE(Press(keyList, IDOK));
}

// A file held by another program at start-up and at exit: read where sharing allows it, never
// replaced, and a run that changed nothing puts nothing beside it.
TEST_F(SafekeepingE2E, AKeyCfgHeldByAnotherProgramIsLeftByteForByte) {
  const std::string path = folder_.File("key.cfg");
  struct Case {
    DWORD sharing;
    std::vector<KeyRecord> loaded;
  };
  for (const Case& c : {Case{FILE_SHARE_READ, kThreeReversed}, Case{0, {}}}) {
    SCOPED_TRACE(c.sharing);
    ASSERT_TRUE(WriteBytes(path, KeyFile(kThree)));
    DeleteFileA((path + ".unsaved").c_str());
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, c.sharing, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    TavoletProcess tavolet;
    ASSERT_TRUE(tavolet.Start(folder_.Path()));
    ASSERT_TRUE(tavolet.WaitUntilReady());
    EXPECT_EQ(Taken(kAllModifiers, VK_F5), !c.loaded.empty());
    EXPECT_EQ(tavolet.ExitFromMenu(), 0u);
    CloseHandle(held);
    EXPECT_EQ(KeyCfg(), KeyFile(kThree)) << "left byte for byte";
    EXPECT_FALSE(FileExists(path + ".unsaved"))
        << "a run that changed nothing puts nothing beside it";
  }
}

// What a run made while key.cfg was held goes beside it, and a later run that changed nothing
// leaves that copy alone.
TEST_F(SafekeepingE2E, WhatARunMadeBesideAHeldKeyCfgOutlivesTheNextRun) {
  const std::string path = folder_.File("key.cfg");
  ASSERT_TRUE(WriteBytes(path, KeyFile(kThree)));
  HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  StartReady();
  const KeyRecord made = AddThroughTheKeyList(VK_F9, "made in the first run");
  EXPECT_TRUE(WaitFor([] { return TrayTip() == "Tavolet (保存できません: key.cfg)"; }, 5000))
      << "the icon's tip tells of it: " << TrayTip();
  EXPECT_EQ(tavolet_.ExitFromMenu(), 0u);
  TavoletProcess next;
  ASSERT_TRUE(next.Start(folder_.Path()));
  ASSERT_TRUE(next.WaitUntilReady());
  EXPECT_EQ(next.ExitFromMenu(), 0u);
  CloseHandle(held);
  EXPECT_EQ(KeyCfg(), KeyFile(kThree));
  EXPECT_EQ(ReadBytes(path + ".unsaved"), KeyFile({made}));
}

// The paths fixed at start-up keep every character of the folder's name, so saves reach it.
TEST_F(SafekeepingE2E, AStartFolderOutsideTheCodePageKeepsWhatIsAdded) {
  wchar_t base[MAX_PATH] = L"";
  MultiByteToWideChar(CP_ACP, 0, folder_.Path().c_str(), -1, base, MAX_PATH);
  const std::wstring folder = std::wstring(base) + L"\\한국";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  ASSERT_TRUE(tavolet_.Start(folder));
  ASSERT_TRUE(tavolet_.WaitUntilReady());
  const KeyRecord made = AddThroughTheKeyList(VK_F9, "kept");
  EXPECT_EQ(tavolet_.ExitFromMenu(), 0u);
  std::string bytes;
  HANDLE file = CreateFileW((folder + L"\\key.cfg").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    char buffer[4096];
    DWORD got = 0;
    if (ReadFile(file, buffer, sizeof buffer, &got, nullptr)) bytes.assign(buffer, got);
    CloseHandle(file);
  }
  EXPECT_EQ(bytes, KeyFile({made}));
  for (const wchar_t* name : {L"\\key.cfg", L"\\Tavolet.cfg"}) DeleteFileW((folder + name).c_str());
  RemoveDirectoryW(folder.c_str());
}

}  // namespace
