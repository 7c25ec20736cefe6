// Tavolet.cfg as the running program reads and writes it, byte for byte.
#include <windows.h>
#include <gtest/gtest.h>

#include "app/settings_file.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/tavolet_process.h"
#include "tests/support/win_test_support.h"

namespace {

class SettingsE2E : public ::testing::Test {
 protected:
  void Start() {
    ASSERT_TRUE(tavolet_.Start(folder_.Path()));
    ASSERT_TRUE(tavolet_.WaitUntilReady());
  }
  std::string Stored() const { return ReadBytes(folder_.File("Tavolet.cfg")); }

  TempFolder folder_;
  TavoletProcess tavolet_;
};

TEST_F(SettingsE2E, WithoutAFileExitWritesTheDefaults) {
  Start();
  EXPECT_FALSE(FileExists(folder_.File("Tavolet.cfg")));
  EXPECT_EQ(tavolet_.ExitFromMenu(), 0u);
  SettingsValues defaults;
  defaults.selectionColor = GetSysColor(COLOR_HIGHLIGHT);  // "automatic", written resolved
  const std::string expected = ToTextMode(EncodeSettings(defaults));
  EXPECT_EQ(Stored(), expected);
  EXPECT_GE(Stored().size(), 28u);
  EXPECT_FALSE(FileExists(folder_.File("Tavolet.cfg.tmp")));
}

TEST_F(SettingsE2E, EverythingReadIsWrittenBackUnchanged) {
  SettingsValues values;
  values.excludedPaths = {"C:\\Windows\\notepad.exe", std::string(300, 'p'), "\x95\x5C.exe"};
  values.labelState = 1;
  values.textColor = 0x000A0B0C;  // holds a 0x0A byte: stored as 0D 0A
  values.outlineColor = 0x80000000;
  values.backgroundColor = 0x00123456;
  values.selectionColor = 0x00FF0000;
  values.stringValues = {{"second", 2}, {"first\n", 0x0A0A0A0A}};
  const std::string stored = ToTextMode(EncodeSettings(values));
  ASSERT_TRUE(WriteBytes(folder_.File("Tavolet.cfg"), stored));
  Start();
  EXPECT_EQ(tavolet_.ExitFromMenu(), 0u);
  EXPECT_EQ(Stored(), stored);
}

TEST_F(SettingsE2E, EndOfSessionQueryWritesTheSettingsToo) {
  Start();
  DWORD_PTR answer = 0;
  ASSERT_TRUE(SendMessageTimeoutA(tavolet_.MainWindow(), WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL,
                                  5000, &answer));
  EXPECT_TRUE(FileExists(folder_.File("Tavolet.cfg")));
  EXPECT_TRUE(FileExists(folder_.File("key.cfg")));
  EXPECT_EQ(tavolet_.ExitFromMenu(), 0u);
}

TEST_F(SettingsE2E, ATruncatedFileKeepsWhatItHeld) {
  SettingsValues values;
  values.excludedPaths = {"kept.exe"};
  values.labelState = 1;
  values.textColor = 0x00112233;
  std::string stored = ToTextMode(EncodeSettings(values));
  stored.resize(4 + 9 + 4 + 2);  // ends inside the text colour
  ASSERT_TRUE(WriteBytes(folder_.File("Tavolet.cfg"), stored));
  Start();
  EXPECT_EQ(tavolet_.ExitFromMenu(), 0u);
  SettingsValues back;
  ASSERT_TRUE(DecodeSettings(FromTextMode(Stored()), back));
  EXPECT_EQ(back.excludedPaths, values.excludedPaths);
  EXPECT_EQ(back.labelState, 1);
  EXPECT_EQ(back.textColor, 0x00FFFFFFu) << "the default for what was cut off";
}

}  // namespace
