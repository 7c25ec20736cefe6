// The hot-key table against the system's real registrations, on a real main window.
#include <gtest/gtest.h>

#include "app/main_app.h"
#include "hotkeys/key_file.h"
#include "tests/support/win_test_support.h"

namespace {

constexpr UINT kAllModifiers = MOD_CONTROL | MOD_ALT | MOD_SHIFT;

class HotKeyTableWine : public ::testing::Test {
 protected:
  void SetUp() override {
    mainWindow_ =
        CreateWindowExA(0, "STATIC", "main", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    probeWindow_ =
        CreateWindowExA(0, "STATIC", "probe", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(mainWindow_ && probeWindow_);
    ASSERT_TRUE(mainObject_.SubclassWindow(mainWindow_));
    TheApp().m_pMainWnd = &mainObject_;
  }
  void TearDown() override {
    table_.Clear();
    TheApp().m_pMainWnd = nullptr;
    mainObject_.UnsubclassWindow();
    DestroyWindow(mainWindow_);
    DestroyWindow(probeWindow_);
  }

  // Whether some window holds the combination: the probe window cannot register it.
  bool Taken(UINT modifiers, UINT key) {
    if (RegisterHotKey(probeWindow_, 0xBF00, modifiers, key)) {
      UnregisterHotKey(probeWindow_, 0xBF00);
      return false;
    }
    return GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED;
  }

  static KeyRecord Record(UINT key) {
    KeyRecord r;
    r.virtualKey = key;
    r.modifiers = kAllModifiers;
    r.actionType = 4;
    return r;
  }

  HWND mainWindow_ = nullptr;
  HWND probeWindow_ = nullptr;
  CWnd mainObject_;
  HotKeyTable table_;
};

TEST_F(HotKeyTableWine, LoadRegistersEachRecordUnderItsFileOrderId) {
  TempFolder folder;
  const KeyRecord f7 = Record(VK_F7), f8 = Record(VK_F8), f9 = Record(VK_F9);
  ASSERT_TRUE(WriteBytes(folder.File("key.cfg"), EncodeKeyFile({&f7, &f8, &f9})));
  ASSERT_TRUE(table_.Load(folder.File("key.cfg")));
  EXPECT_TRUE(Taken(kAllModifiers, VK_F7));
  EXPECT_TRUE(Taken(kAllModifiers, VK_F8));
  EXPECT_TRUE(Taken(kAllModifiers, VK_F9));
  // Releasing id 2 by hand frees exactly the second record's combination.
  EXPECT_TRUE(UnregisterHotKey(mainWindow_, 2));
  EXPECT_FALSE(Taken(kAllModifiers, VK_F8));
  EXPECT_TRUE(Taken(kAllModifiers, VK_F7));
  EXPECT_TRUE(UnregisterHotKey(mainWindow_, 1));
  EXPECT_FALSE(Taken(kAllModifiers, VK_F7));
  EXPECT_TRUE(UnregisterHotKey(mainWindow_, 3));
  EXPECT_FALSE(Taken(kAllModifiers, VK_F9));
}

TEST_F(HotKeyTableWine, DuplicateCombinationStaysButOnlyTheFirstHoldsIt) {
  HotKeyEntry source;
  static_cast<KeyRecord&>(source) = Record(VK_F10);
  HotKeyEntry* first = table_.Add(&source);
  HotKeyEntry* second = table_.Add(&source);
  EXPECT_EQ(table_.Count(), 2);
  EXPECT_EQ(first->hotKeyId, 1);
  EXPECT_EQ(second->hotKeyId, 2);
  EXPECT_FALSE(second->Register()) << "the system refuses a taken combination";
  EXPECT_FALSE(UnregisterHotKey(mainWindow_, 2)) << "id 2 holds nothing";
  EXPECT_TRUE(Taken(kAllModifiers, VK_F10));
}

TEST_F(HotKeyTableWine, ClearReleasesEveryHotKey) {
  HotKeyEntry source;
  for (UINT key : {VK_F5, VK_F6, VK_F11}) {
    static_cast<KeyRecord&>(source) = Record(key);
    table_.Add(&source);
  }
  ASSERT_TRUE(Taken(kAllModifiers, VK_F5));
  table_.Clear();
  for (UINT key : {VK_F5, VK_F6, VK_F11}) {
    ASSERT_TRUE(RegisterHotKey(probeWindow_, 0x100 + key, kAllModifiers, key)) << key;
    UnregisterHotKey(probeWindow_, 0x100 + key);
  }
}

TEST_F(HotKeyTableWine, DeletingOneEntryReleasesOnlyItsKey) {
  HotKeyEntry source;
  static_cast<KeyRecord&>(source) = Record(VK_F5);
  table_.Add(&source);
  static_cast<KeyRecord&>(source) = Record(VK_F6);
  delete table_.Add(&source);
  EXPECT_TRUE(Taken(kAllModifiers, VK_F5));
  EXPECT_FALSE(Taken(kAllModifiers, VK_F6));
}

TEST_F(HotKeyTableWine, SaveReplacesTheFileAndLeavesNoTemporaryFile) {
  TempFolder folder;
  const std::string path = folder.File("key.cfg");
  ASSERT_TRUE(WriteBytes(path, std::string(200, 'x')));
  HotKeyEntry source;
  static_cast<KeyRecord&>(source) = Record(VK_F5);
  table_.Add(&source);
  ASSERT_TRUE(table_.Save(path));
  const KeyRecord expected = Record(VK_F5);
  EXPECT_EQ(ReadBytes(path), EncodeKeyFile({&expected}));
  EXPECT_FALSE(FileExists(path + ".tmp"));
}

TEST_F(HotKeyTableWine, FailedSaveKeepsTheOldFile) {
  TempFolder folder;
  const std::string path = folder.File("key.cfg");
  ASSERT_TRUE(WriteBytes(path, "old"));
  ASSERT_TRUE(CreateDirectoryA((path + ".tmp").c_str(), nullptr));
  EXPECT_FALSE(table_.Save(path));
  EXPECT_EQ(ReadBytes(path), "old");
  RemoveDirectoryA((path + ".tmp").c_str());
}

}  // namespace
