// Starting programs with text against Wine's registry, clipboard, windows and runtime.
#include <windows.h>
#include <gtest/gtest.h>

#include <clocale>
#include <cstring>

#include "actions/launch/program_start.h"
#include "actions/launch/registry_lookup.h"
#include "actions/launch/text_capture.h"
#include "actions/launch/url_encoding.h"
#include "actions/launch/utf8_encoding.h"
#include "tests/support/test_window.h"
#include "tests/support/win_test_support.h"

namespace {

// Keys made under HKEY_CLASSES_ROOT and removed again. (Windows would also take them from
// HKEY_CURRENT_USER\Software\Classes, but Wine 8 does not merge that into the root.)
class ClassesKeys {
 public:
  ~ClassesKeys() {
    for (const std::string& key : made_) RegDeleteTreeA(HKEY_CLASSES_ROOT, key.c_str());
  }
  void Set(const std::string& subKey, const std::string& value, const char* name = "") {
    const std::string path = subKey;
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    if (!value.empty() || *name) {
      RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>(value.size() + 1));
    }
    RegCloseKey(key);
    const std::string top = subKey.substr(0, subKey.find('\\'));
    made_.push_back(top);
  }

 private:
  std::vector<std::string> made_;
};

TEST(RegistryLookup, AssociatedCommandByRequestedVerb) {
  ClassesKeys keys;
  keys.Set(".tavtesta", "TavTest.A");
  keys.Set("TavTest.A\\shell\\open\\command", "\"C:\\Apps\\A App\\a.exe\" \"%1\"");
  keys.Set("TavTest.A\\shell\\print\\command", "C:\\Apps\\print.exe %1");
  EXPECT_EQ(GetAssociatedCommand(".tavtesta", "open"), "\"C:\\Apps\\A App\\a.exe\"");
  EXPECT_EQ(GetAssociatedCommand("tavtesta", "open"), "\"C:\\Apps\\A App\\a.exe\"");
  EXPECT_EQ(GetAssociatedCommand(".tavtesta", "print"), "\"C:\\Apps\\print.exe\"");
}

TEST(RegistryLookup, AssociatedCommandByDefaultVerbThenFirstVerb) {
  ClassesKeys keys;
  keys.Set(".tavtestb", "TavTest.B");
  keys.Set("TavTest.B\\shell", "edit");
  keys.Set("TavTest.B\\shell\\edit\\command", "C:\\Apps\\edit.exe %1");
  keys.Set("TavTest.B\\shell\\view\\command", "C:\\Apps\\view.exe %1");
  EXPECT_EQ(GetAssociatedCommand(".tavtestb", "open"), "\"C:\\Apps\\edit.exe\"");

  keys.Set(".tavtestc", "TavTest.C");
  keys.Set("TavTest.C\\shell\\aaa", "");  // no command key: passed over
  keys.Set("TavTest.C\\shell\\bbb\\command", "C:\\Apps\\bbb.exe %1");
  keys.Set("TavTest.C\\shell\\ccc\\command", "C:\\Apps\\ccc.exe %1");
  EXPECT_EQ(GetAssociatedCommand(".tavtestc", "open"), "\"C:\\Apps\\bbb.exe\"");
}

TEST(RegistryLookup, NothingRegisteredGivesEmptyText) {
  ClassesKeys keys;
  keys.Set(".tavtestd", "TavTest.D");  // a type without a shell key
  EXPECT_EQ(GetAssociatedCommand(".tavtestd", "open"), "");
  EXPECT_EQ(GetAssociatedCommand(".tavtest-unregistered", "open"), "");
  EXPECT_EQ(GetAssociatedCommand("", "open"), "") << "a path without an extension";
}

TEST(RegistryLookup, EnvironmentIsExpandedAndArgumentsCut) {
  char root[MAX_PATH];
  GetEnvironmentVariableA("SystemRoot", root, sizeof root);
  EXPECT_EQ(GetQuotedProgramPath("%SystemRoot%\\system32\\NOTEPAD.EXE %1"),
            "\"" + std::string(root) + "\\system32\\NOTEPAD.EXE\"");
}

class BrowserKeys : public ::testing::Test {
 protected:
  static constexpr const char* kMachineKey = "SOFTWARE\\Classes\\http\\shell\\open\\command";
  static constexpr const char* kChoiceKey =
      "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\http\\UserChoice";
  static constexpr const char* kLatestChoiceKey =
      "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\http\\"
      "UserChoiceLatest";
  void SetUp() override {
    // A fresh Wine prefix comes with a user choice for http; these tests set their own.
    RegDeleteTreeA(HKEY_CURRENT_USER, kChoiceKey);
    RegDeleteTreeA(HKEY_CURRENT_USER, kLatestChoiceKey);
    HKEY key = nullptr;
    char value[1024] = "";
    DWORD size = sizeof value;
    hadMachineValue_ =
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMachineKey, 0, KEY_READ, &key) == ERROR_SUCCESS &&
        RegQueryValueExA(key, "", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) ==
            ERROR_SUCCESS;
    if (key) RegCloseKey(key);
    machineValue_ = hadMachineValue_ ? value : "";
  }
  void TearDown() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, kChoiceKey);
    if (hadMachineValue_) SetMachineValue(machineValue_);
  }
  static void SetMachineValue(const std::string& value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kMachineKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
  }
  bool hadMachineValue_ = false;
  std::string machineValue_;
};

TEST_F(BrowserKeys, MachineKeyWithoutAUserChoice) {
  SetMachineValue("\"C:\\Program Files\\Browser\\browser.exe\" -nohome");
  EXPECT_EQ(GetBrowserCommand(), "\"C:\\Program Files\\Browser\\browser.exe\"");
  // Unquoted values lose their arguments by the program-path rules.
  SetMachineValue("C:\\Browser\\b.exe -url \"%1\"");
  EXPECT_EQ(GetBrowserCommand(), "\"C:\\Browser\\b.exe\"");
  SetMachineValue("C:\\Browser\\b.exe %1");
  EXPECT_EQ(GetBrowserCommand(), "\"C:\\Browser\\b.exe\"");
  // 259 characters fit the 260-byte buffer; 260 do not.
  const std::string longest = "C:\\" + std::string(252, 'b') + ".exe";
  ASSERT_EQ(longest.size(), 259u);
  SetMachineValue(longest);
  EXPECT_EQ(GetBrowserCommand(), "\"" + longest + "\"");
  SetMachineValue(longest + "x");
  EXPECT_EQ(GetBrowserCommand(), "\"\"");
}

TEST_F(BrowserKeys, UserChoiceComesFirst) {
  SetMachineValue("\"C:\\Machine\\browser.exe\" %1");
  ClassesKeys keys;
  keys.Set("TavTest.Browser\\shell\\open\\command", "\"C:\\Chosen\\chosen.exe\" -- \"%1\"");
  HKEY choice = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kChoiceKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &choice, nullptr),
            ERROR_SUCCESS);
  const char progId[] = "TavTest.Browser";
  RegSetValueExA(choice, "ProgId", 0, REG_SZ, reinterpret_cast<const BYTE*>(progId), sizeof progId);
  RegCloseKey(choice);
  EXPECT_EQ(GetBrowserCommand(), "\"C:\\Chosen\\chosen.exe\"");
}

TEST(Utf8Encoding, ThroughTheRuntimeAndBackToTheCLocale) {
  std::setlocale(LC_ALL, "Japanese");
  EXPECT_EQ(UrlEncodeUtf8("\x82\xA0"), "%E3%81%82");
  EXPECT_STREQ(std::setlocale(LC_ALL, nullptr), "C");
  EXPECT_EQ(UrlEncodeUtf8("\xB1"), "%EF%BD%B1");
  EXPECT_EQ(UrlEncodeUtf8("a b"), "a%20b");
  EXPECT_EQ(UrlEncodeUtf8("A_1-x"), "A_1%2Dx");
  EXPECT_EQ(UrlEncodeUtf8("\x82\xA0\x82\xA2\x82\xA4 abc"), "%E3%81%82%E3%81%84%E3%81%86%20abc");
  EXPECT_EQ(UrlEncodeUtf8(""), "");
  UrlEncodeUtf8("ab\x82");  // a lone lead byte at the end: no crash, locale back to C
  EXPECT_STREQ(std::setlocale(LC_ALL, nullptr), "C");
}

TEST(ProgramStart, TopLevelWindowsAndProcessWindows) {
  TestWindow top;
  TestWindow child(0, WS_CHILD | WS_VISIBLE, top.get());
  EXPECT_FALSE(IsTopLevelWindow(nullptr));
  EXPECT_TRUE(IsTopLevelWindow(top.get()));
  EXPECT_FALSE(IsTopLevelWindow(child.get()));
  HWND gone = TestWindow().get();
  EXPECT_FALSE(IsTopLevelWindow(gone));
  HWND found = FindProcessWindow(GetCurrentProcessId());
  ASSERT_NE(found, nullptr);
  DWORD owner = 0;
  GetWindowThreadProcessId(found, &owner);
  EXPECT_EQ(owner, GetCurrentProcessId());
  EXPECT_TRUE(IsWindowVisible(found)) << "never the hidden IME window";
  EXPECT_EQ(FindProcessWindow(0xFFFFFFF0u), nullptr);
}

TEST(TextCapture, ClipboardTextAndABitmapOnlyClipboard) {
  ASSERT_TRUE(PutClipboardText("\x82\xA0 abc"));
  std::string text = "old";
  EXPECT_TRUE(GetClipboardText(text));
  EXPECT_EQ(text, "\x82\xA0 abc");

  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HDC screen = GetDC(nullptr);
  SetClipboardData(CF_BITMAP, CreateCompatibleBitmap(screen, 4, 4));
  ReleaseDC(nullptr, screen);
  CloseClipboard();
  text = "kept";
  EXPECT_FALSE(GetClipboardText(text));
  EXPECT_EQ(text, "kept");
}

// The clipboard's Unicode form of text that the code page holds gives, encoded in UTF-8, byte
// for byte what the ANSI form gives: every JIS X 0208 character (and the rest of CP932's
// double-byte ones), printable ASCII and the half-width katakana.
TEST(TextCapture, UnicodeClipboardTextEncodesAsTheAnsiPathDoes) {
  std::string sample;
  for (int byte = 0x20; byte < 0x7F; ++byte) sample += static_cast<char>(byte);
  for (int byte = 0xA1; byte <= 0xDF; ++byte) sample += static_cast<char>(byte);
  int characters = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (lead > 0x9F && lead < 0xE0) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      wchar_t unit = 0;
      if (trail == 0x7F || MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, pair, 2, &unit, 1) != 1) {
        continue;
      }
      sample.append(pair, 2);
      ++characters;
    }
  }
  ASSERT_GT(characters, 6879) << "JIS X 0208 and more";
  ASSERT_TRUE(PutClipboardText(sample));
  std::u16string wide;
  ASSERT_TRUE(GetClipboardUnicodeText(wide));
  EXPECT_EQ(UrlEncodeUtf8Wide(wide), UrlEncodeUtf8(sample));
}

}  // namespace
