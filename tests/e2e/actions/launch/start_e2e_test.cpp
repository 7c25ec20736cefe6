// Starting programs, URLs and files: the command lines the recorder receives, single instance,
// the browser and file types found in the registry.
#include "tests/e2e/actions/actions_e2e.h"

namespace {

TEST_F(ActionsE2E, RunProgramPassesTargetAndOneSpaceFromTheProgramsFolder) {
  KeyRecord run = Entry(1, VK_F5);
  run.target = recorder_;
  StartWith({run});
  Press(1);
  const auto starts = WaitForStarts(1);
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0], "start|" + recorder_ + " |" + recorderFolder_);
}

TEST_F(ActionsE2E, SingleInstanceBringsTheWindowBackUntilItIsClosed) {
  KeyRecord run = Entry(1, VK_F5);
  run.target = recorder_;
  run.singleInstance = 1;
  StartWith({run});
  Press(1);
  ASSERT_EQ(WaitForStarts(1).size(), 1u);
  HWND window = WaitForRecorderWindow();
  ASSERT_NE(window, nullptr);
  Sleep(600);  // Tavolet's own wait after the start
  ShowWindow(window, SW_MINIMIZE);
  Press(1);
  EXPECT_TRUE(WaitFor([&] { return !IsIconic(window); }, 5000)) << "restored";
  Sleep(800);
  EXPECT_EQ(Starts().size(), 1u) << "nothing started the second time";
  EXPECT_EQ(GetForegroundWindow(), window);
  PostMessageA(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(window); }, 5000));
  Press(1);
  EXPECT_EQ(WaitForStarts(2).size(), 2u) << "a closed window is started again";
}

TEST_F(ActionsE2E, WithoutSingleInstanceEveryPressStarts) {
  KeyRecord run = Entry(1, VK_F5);
  run.target = recorder_;
  StartWith({run});
  Press(1);
  Press(1);
  EXPECT_EQ(WaitForStarts(2).size(), 2u);
}

// A program found on the path (no folder of its own) starts in Tavolet's folder, also with
// passed text that holds backslashes and double-byte characters ending in 0x5C.
TEST_F(ActionsE2E, RunProgramFoundOnThePathWithBackslashBytesInItsText) {
  KeyRecord plain = Entry(1, VK_F5);
  plain.target = "recorder.exe";
  KeyRecord withText = plain;
  withText.textOption = 1;  // the clipboard, as it is ("無変換")
  StartWith({plain, withText});
  const std::string text = "\x95\x5C\x8E\xA6\\\x83\x5C\x83t\x83g";  // 表示\ソフト
  ASSERT_TRUE(PutClipboardText(text));
  Press(1);
  ASSERT_EQ(WaitForStarts(1).size(), 1u);
  Press(2);
  const auto starts = WaitForStarts(2);
  ASSERT_EQ(starts.size(), 2u);
  EXPECT_EQ(starts[0], "start|recorder.exe |" + folder_.Path());
  EXPECT_EQ(starts[1], "start|recorder.exe " + text + "|" + folder_.Path());
}

// Only a visible window is remembered: a program that shows one late is started again.
TEST_F(ActionsE2E, AProgramThatShowsItsWindowLateIsStartedAgain) {
  KeyRecord run = Entry(1, VK_F5);
  run.target = recorder_ + " /late";
  run.singleInstance = 1;
  StartWith({run});
  Press(1);
  ASSERT_EQ(WaitForStarts(1).size(), 1u);
  Press(1);
  EXPECT_EQ(WaitForStarts(2).size(), 2u) << "not a press that raises nothing";
}

// While Tavolet waits for a started program's window it answers what is sent to it (as hooks
// calling back into its thread do), so a program that waits on it still shows its window in
// time and is brought back at the next press.
TEST_F(ActionsE2E, TheWaitAfterAStartAnswersSentMessages) {
  KeyRecord run = Entry(1, VK_F5);
  run.target = recorder_ + " /sendfirst";
  run.singleInstance = 1;
  StartWith({run});
  Press(1);
  HWND window = WaitForRecorderWindow();
  ASSERT_NE(window, nullptr);
  Sleep(600);
  ShowWindow(window, SW_MINIMIZE);
  Press(1);
  EXPECT_TRUE(WaitFor([&] { return !IsIconic(window); }, 5000)) << "brought back";
  EXPECT_EQ(Starts().size(), 1u);
  const auto log = Log();
  EXPECT_NE(std::find(log.begin(), log.end(), "sent|answered"), log.end());
}

class RegistryKeysE2E : public ActionsE2E {
 protected:
  void TearDown() override {
    ActionsE2E::TearDown();
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "TavoletE2E.Browser");
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "TavoletE2E.Document");
    RegDeleteTreeA(HKEY_CLASSES_ROOT, ".tavdoc");
    RegDeleteTreeA(HKEY_CURRENT_USER, kChoice);
  }
  static void SetValue(HKEY root, const std::string& path, const char* name,
                       const std::string& value) {
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
  }
  // The user's choice of browser, with this command.
  static void ChooseBrowser(const std::string& command) {
    SetValue(HKEY_CLASSES_ROOT, "TavoletE2E.Browser\\shell\\open\\command", "", command);
    RegDeleteTreeA(HKEY_CURRENT_USER, kLatestChoice);
    SetValue(HKEY_CURRENT_USER, kChoice, "ProgId", "TavoletE2E.Browser");
  }
  static constexpr const char* kChoice =
      "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\http\\UserChoice";
  static constexpr const char* kLatestChoice =
      "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\http\\"
      "UserChoiceLatest";
};

TEST_F(RegistryKeysE2E, OpenUrlAppendsTheClipboardEncodedInUtf8) {
  ChooseBrowser("\"" + recorder_ + "\" \"%1\"");
  KeyRecord url = Entry(2, VK_F5);
  url.target = "http://example.invalid/search?q=";
  url.textOption = 0x41;
  StartWith({url});
  ASSERT_TRUE(PutClipboardText("\x82\xA0\x82\xA2\x82\xA4 abc"));  // "あいう abc"
  Press(1);
  const auto starts = WaitForStarts(1);
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0],
            "start|\"" + recorder_ +
                "\" \"http://example.invalid/search?q=%E3%81%82%E3%81%84%E3%81%86%20abc\"|" +
                recorderFolder_);
}

// Characters outside the code page reach a UTF-8 URL whole.
TEST_F(RegistryKeysE2E, Utf8UrlsCarryEveryCharacterOfTheClipboard) {
  ChooseBrowser("\"" + recorder_ + "\" \"%1\"");
  KeyRecord url = Entry(2, VK_F5);
  url.target = "http://example.invalid/?q=";
  url.textOption = 0x41;
  StartWith({url});
  ASSERT_TRUE(PutClipboardUnicodeText(L"caf\u00E9 \uD55C\uAD6D\uC5B4 \U0001F600"));
  Press(1);
  const auto starts = WaitForStarts(1);
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0],
            "start|\"" + recorder_ +
                "\" \"http://example.invalid/?q=caf%C3%A9%20%ED%95%9C%EA%B5%AD%EC%96%B4%20"
                "%F0%9F%98%80\"|" +
                recorderFolder_);
}

// Programs that copy only on a real Ctrl+C (browsers and the like) get a plain one once the user
// has let go of the hot key: while the keys are held nothing is pressed and none is let go of.
TEST_F(RegistryKeysE2E, ASelectionCopiedOnlyOnCtrlCReachesTheUrlAndTheProgram) {
  ChooseBrowser("\"" + recorder_ + "\" \"%1\"");
  KeyRecord url = Entry(2, VK_F6);
  url.target = "http://example.invalid/?q=";
  url.textOption = 0x42;  // the selection, UTF-8 URL
  KeyRecord run = Record(VK_F7, recorder_);
  run.textOption = 2;  // the selection, as it is
  StartWith({Record(VK_F5, recorder_ + " /keycopy"), url, run});
  HWND window = ForegroundRecorder(1);
  ASSERT_NE(window, nullptr);
  const std::string expected[] = {
      "\"" + recorder_ + "\" \"http://example.invalid/?q=browser%20words\"",
      recorder_ + " browser words"};
  for (int id : {2, 3}) {
    SCOPED_TRACE(id);
    SetForegroundWindow(window);  // the program started before may have taken it
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == window; }, 3000));
    ASSERT_TRUE(PutClipboardText("before"));
    const size_t startsBefore = Starts().size(), pressesBefore = CPresses().size();
    HoldKeys({VK_CONTROL, VK_MENU, VK_SHIFT});
    Press(id);
    Sleep(kKeyReleaseWaitMs / 2);
    EXPECT_EQ(CPresses().size(), pressesBefore) << "nothing pressed while the keys are held";
    ReleaseKeys();
    const auto starts = WaitForStarts(startsBefore + 1);
    ASSERT_EQ(starts.size(), startsBefore + 1);
    EXPECT_EQ(starts.back(), "start|" + expected[id - 2] + "|" + recorderFolder_);
  }
  EXPECT_EQ(CPresses(), (std::vector<std::string>{"key|43|ctrl", "key|43|ctrl"}));
}

TEST_F(RegistryKeysE2E, AnUnquotedBrowserCommandStartsTheBrowserWithTheUrl) {
  ChooseBrowser(recorder_ + " %1");
  KeyRecord url = Entry(2, VK_F5);
  url.target = "http://example.invalid/page";
  StartWith({url});
  Press(1);
  const auto starts = WaitForStarts(1);
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0], "start|" + recorder_ + " http://example.invalid/page|" + recorderFolder_);
}

// Text planted on the clipboard can add neither arguments nor switches: in every encoding the
// browser gets exactly its own switch and one URL.
TEST_F(RegistryKeysE2E, ClipboardTextIsNeverMoreThanOneUrlArgument) {
  ChooseBrowser("\"" + recorder_ + "\" --single-argument %1");
  std::vector<KeyRecord> entries;
  for (int encoding = 0; encoding <= 4; ++encoding) {
    KeyRecord url = Entry(2, VK_F5 + encoding);
    url.target = "http://example.invalid/?q=";
    url.textOption = 0x01 | (encoding << 4);
    entries.push_back(url);
  }
  StartWith(entries);
  ASSERT_TRUE(PutClipboardText("a b\" --x \\\\host\\share"));
  for (int id = 1; id <= 5; ++id) {
    Press(id);
    const auto starts = WaitForStarts(static_cast<size_t>(id));
    ASSERT_EQ(starts.size(), static_cast<size_t>(id));
    const std::string line = starts.back().substr(6, starts.back().rfind('|') - 6);
    wchar_t wide[1024] = L"";
    MultiByteToWideChar(CP_ACP, 0, line.c_str(), -1, wide, 1024);
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(wide, &count);
    ASSERT_NE(arguments, nullptr);
    EXPECT_EQ(count, 3) << line;
    if (count == 3) {
      EXPECT_STREQ(arguments[1], L"--single-argument");
      EXPECT_EQ(std::wstring(arguments[2]).rfind(L"http://example.invalid/?q=a", 0), 0u) << line;
    }
    LocalFree(arguments);
  }
}

// 能 ends in the byte 0x5C, which is no backslash: the closing quote still closes the URL.
TEST_F(RegistryKeysE2E, TextEndingInASecondByte0x5CReachesTheBrowserWhole) {
  ChooseBrowser("\"" + recorder_ + "\" \"%1\"");
  KeyRecord url = Entry(2, VK_F5);
  url.target = "http://example.invalid/?q=";
  url.textOption = 0x01;  // the clipboard, as it is ("無変換")
  StartWith({url});
  ASSERT_TRUE(PutClipboardText("\x8B\x40\x94\x5C"));  // 機能
  Press(1);
  const auto starts = WaitForStarts(1);
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0], "start|\"" + recorder_ +
                           "\" \"http://example.invalid/?q=\x8B\x40\x94\x5C\"|" + recorderFolder_);
}

TEST_F(RegistryKeysE2E, OpenFileStartsTheTypesProgramWithTheQuotedPath) {
  SetValue(HKEY_CLASSES_ROOT, ".tavdoc", "", "TavoletE2E.Document");
  SetValue(HKEY_CLASSES_ROOT, "TavoletE2E.Document\\shell\\open\\command", "", recorder_ + " %1");
  KeyRecord file = Entry(3, VK_F5);
  file.target = "C:\\some folder\\report.tavdoc";
  StartWith({file});
  Press(1);
  const auto starts = WaitForStarts(1);
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0],
            "start|\"" + recorder_ + "\" \"C:\\some folder\\report.tavdoc\"|" + recorderFolder_);
}

// Opening a file passes no text, whatever text option its entry holds; the entry keeps it.
TEST_F(RegistryKeysE2E, OpenFileTakesNoTextAndItsEntryKeepsItsBytes) {
  SetValue(HKEY_CLASSES_ROOT, ".tavdoc", "", "TavoletE2E.Document");
  SetValue(HKEY_CLASSES_ROOT, "TavoletE2E.Document\\shell\\open\\command", "", recorder_ + " %1");
  KeyRecord file = Entry(3, VK_F5);
  file.target = "C:\\report.tavdoc";
  file.textOption = 0x01;  // the clipboard, as it is
  StartWith({file});
  const std::string stored = ReadBytes(folder_.File("key.cfg"));
  ASSERT_TRUE(PutClipboardText(" extra"));
  Press(1);
  const auto starts = WaitForStarts(1);
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0], "start|\"" + recorder_ + "\" \"C:\\report.tavdoc\"|" + recorderFolder_);
  EXPECT_EQ(tavolet_.ExitFromMenu(), 0u);
  EXPECT_EQ(ReadBytes(folder_.File("key.cfg")), stored);
}

}  // namespace
