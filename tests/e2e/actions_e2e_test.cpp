// Hot keys of every kind that needs neither the mixer nor a hook library, posted to the
// running Tavolet as WM_HOTKEY and observed from outside: the recorder program's log, the
// clipboard, this test's own window and its messages, placement and layered attributes.
#include <windows.h>
#include <shellapi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>

#include "actions/copy_keys.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/tavolet_process.h"
#include "tests/support/win_test_support.h"

namespace {

constexpr UINT kRecorderMessage = WM_APP + 0x21;
constexpr UINT kRecorderStall = WM_APP + 0x40;

KeyRecord Entry(int type, UINT key) {
  KeyRecord r = Record(key, "");
  r.actionType = type;
  return r;
}

// By their title: some stand in for other programs with those programs' window classes.
std::vector<HWND> RecorderWindows() {
  std::vector<HWND> found;
  for (HWND w = FindWindowExA(nullptr, nullptr, nullptr, "Tavolet Recorder"); w;
       w = FindWindowExA(nullptr, w, nullptr, "Tavolet Recorder")) {
    found.push_back(w);
  }
  return found;
}

std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return "(clipboard held)";
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const auto* locked = static_cast<const char*>(GlobalLock(data))) {
      text = locked;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

class ActionsE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    logPath_ = folder_.File("recorder.log");
    SetEnvironmentVariableA("TAVOLET_RECORDER_LOG", logPath_.c_str());
    recorder_ = ProgramFolder() + "recorder.exe";
    recorderFolder_ = ProgramFolder().substr(0, ProgramFolder().size() - 1);
  }
  void TearDown() override {
    ReleaseKeys();
    CloseRecorders();
    if (ownWindow_) DestroyWindow(ownWindow_);
    if (tavolet_.MainWindow() && tavolet_.WaitForExit(0) == STILL_ACTIVE) {
      EXPECT_EQ(tavolet_.ExitFromMenu(), 0u);
    }
  }
  static void CloseRecorders() {
    for (HWND w : RecorderWindows()) PostMessageA(w, WM_CLOSE, 0, 0);
    if (WaitFor([] { return RecorderWindows().empty(); }, 5000)) return;
    for (HWND w : RecorderWindows()) {
      DWORD id = 0;
      GetWindowThreadProcessId(w, &id);
      if (HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, id)) {
        TerminateProcess(process, 1);
        CloseHandle(process);
      }
    }
  }

  void StartWith(const std::vector<KeyRecord>& entries) {
    ASSERT_TRUE(WriteBytes(folder_.File("key.cfg"), KeyFile(entries)));
    ASSERT_TRUE(tavolet_.Start(folder_.Path()));
    ASSERT_TRUE(tavolet_.WaitUntilReady());
  }
  void Press(int id) { PostMessageA(tavolet_.MainWindow(), WM_HOTKEY, id, 0); }

  // The complete lines only: the recorder may be writing the last one.
  std::vector<std::string> Log() const {
    std::vector<std::string> lines;
    const std::string text = ReadBytes(logPath_);
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
      lines.push_back(text.substr(start, end - start));
    }
    return lines;
  }
  std::vector<std::string> LinesStartingWith(const std::string& prefix) const {
    std::vector<std::string> lines;
    for (const std::string& line : Log()) {
      if (line.rfind(prefix, 0) == 0) lines.push_back(line);
    }
    return lines;
  }
  std::vector<std::string> Starts() const { return LinesStartingWith("start|"); }
  // The target's presses of C, with the modifiers it saw down.
  std::vector<std::string> CPresses() const { return LinesStartingWith("key|43|"); }
  // The copy messages the target received.
  std::vector<std::string> CopyMessages() const {
    std::vector<std::string> copies = LinesStartingWith("command|");
    for (const std::string& line : LinesStartingWith("char|")) copies.push_back(line);
    return copies;
  }
  // The start lines once there are `count` of them; fewer when the time is up.
  std::vector<std::string> WaitForStarts(size_t count, DWORD timeoutMs = 8000) {
    std::vector<std::string> starts;
    WaitFor(
        [&] {
          starts = Starts();
          return starts.size() >= count;
        },
        timeoutMs);
    return starts;
  }
  HWND WaitForRecorderWindow() {
    HWND found = nullptr;
    WaitFor(
        [&] {
          const auto windows = RecorderWindows();
          found = windows.empty() ? nullptr : windows.front();
          return found && IsWindowVisible(found);
        },
        8000);
    return found;
  }
  // Starts the recorder with hot key `id` and brings its window to the foreground.
  HWND ForegroundRecorder(int id) {
    const size_t startsBefore = Starts().size();
    Press(id);
    if (WaitForStarts(startsBefore + 1).size() <= startsBefore) return nullptr;
    HWND window = WaitForRecorderWindow();
    if (window) SetForegroundWindow(window);
    return WaitFor([&] { return window && GetForegroundWindow() == window; }, 3000) ? window
                                                                                    : nullptr;
  }
  // Holds the keys down, as a user still holding the hot key does, until ReleaseKeys.
  void HoldKeys(const std::vector<WORD>& keys) {
    held_ = keys;
    for (WORD key : keys) SendKey(key, 0);
  }
  void ReleaseKeys() {
    for (auto key = held_.rbegin(); key != held_.rend(); ++key) SendKey(*key, KEYEVENTF_KEYUP);
    held_.clear();
  }
  static void SendKey(WORD key, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = flags;
    SendInput(1, &input, sizeof input);
  }

  // Hot key 1 captures the selection for a recorder's command line; hot key 2 onwards start
  // the recorder in each of these modes.
  void StartCapturing(const std::vector<std::string>& modes) {
    KeyRecord capture = Record(VK_F5, recorder_);
    capture.textOption = 2;
    std::vector<KeyRecord> entries = {capture};
    for (const std::string& mode : modes) {
      entries.push_back(Record(VK_F6 + static_cast<UINT>(entries.size()), recorder_ + mode));
    }
    StartWith(entries);
  }
  // With the recorder of hot key `id` in front and "before" on the clipboard, the text the
  // capture passed along (and how long the capture and the start took).
  std::string CaptureFrom(int id, DWORD* captureMs = nullptr) {
    if (!ForegroundRecorder(id)) return "(the recorder is not in front)";
    if (!PutClipboardText("before")) return "(the clipboard is held)";
    const size_t startsBefore = Starts().size();
    const DWORD pressed = GetTickCount();
    Press(1);
    const auto starts = WaitForStarts(startsBefore + 1, 12000);
    if (captureMs) *captureMs = GetTickCount() - pressed;
    if (starts.size() <= startsBefore) return "(nothing started)";
    const std::string prefix = "start|" + recorder_ + " ";
    const std::string& line = starts.back();
    return line.substr(prefix.size(), line.rfind('|') - prefix.size());
  }

  HWND ForegroundOwnWindow() { return ownWindow_ = MakeForegroundWindow(); }
  // Waits for a message of this test's thread in the recorder range.
  bool WaitForOwnMessage(UINT message, MSG& received, DWORD timeoutMs = 5000) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
      if (PeekMessageA(&received, nullptr, message, message, PM_REMOVE)) return true;
      // Everything but the range the hot keys post, so no awaited message is swallowed here.
      MSG other;
      while (PeekMessageA(&other, nullptr, 0, WM_APP - 1, PM_REMOVE) ||
             PeekMessageA(&other, nullptr, 0xC000, 0xFFFF, PM_REMOVE)) {
        DispatchMessageA(&other);
      }
      Sleep(5);
    }
    return false;
  }

  TempFolder folder_;
  TavoletProcess tavolet_;
  std::string logPath_, recorder_, recorderFolder_;
  HWND ownWindow_ = nullptr;
  std::vector<WORD> held_;
};

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

// A window that stops answering holds Tavolet up for a bounded time only.
TEST_F(ActionsE2E, AHungWindowCannotHoldTheBossKeyOrTheBringBack) {
  KeyRecord run = Entry(1, VK_F5);
  run.target = recorder_;
  run.singleInstance = 1;
  KeyRecord parameter = Entry(13, VK_F7);
  parameter.param2 = SPI_SETSCREENSAVEACTIVE;
  parameter.param1 = 0;
  StartWith({run, Entry(6, VK_F6), parameter});
  SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, nullptr, 0);
  Press(1);
  HWND window = WaitForRecorderWindow();
  ASSERT_NE(window, nullptr);
  Sleep(600);  // Tavolet's own wait after the start
  PostMessageA(window, kRecorderStall, 15000, 0);
  const DWORD start = GetTickCount();
  Press(1);  // bring-back: SC_RESTORE to the hung window
  Press(2);  // boss key: SC_MINIMIZE to it
  Press(3);
  EXPECT_TRUE(WaitFor([] { return !ScreenSaverActive(); }, 10000))
      << "the next hot key still works";
  EXPECT_LT(GetTickCount() - start, 7000u) << "two bounded waits of 2 s, not the 15 s stall";
  DWORD_PTR answer = 0;
  EXPECT_TRUE(
      SendMessageTimeoutA(tavolet_.MainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 3000, &answer));
  Press(2);  // the boss key gives the levels back
  SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, nullptr, 0);
}

// Putting a hung window back, or making it translucent, would wait on it without end: it is
// skipped, and the next hot key still takes effect at once.
TEST_F(ActionsE2E, AHungWindowCannotHoldRestoreOrTranslucency) {
  KeyRecord run = Entry(1, VK_F5);
  run.target = recorder_;
  KeyRecord translucent = Entry(12, VK_F8);
  translucent.param1 = 128;
  KeyRecord parameter = Entry(13, VK_F9);
  parameter.param2 = SPI_SETSCREENSAVEACTIVE;
  StartWith({run, Entry(10, VK_F6), Entry(11, VK_F7), translucent, parameter});
  Press(1);
  HWND window = WaitForRecorderWindow();
  ASSERT_NE(window, nullptr);
  SetForegroundWindow(window);
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == window; }, 3000));
  Press(2);
  Sleep(600);
  for (int hung : {3, 4}) {
    SCOPED_TRACE(hung == 3 ? "restore" : "translucency");
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, nullptr, 0);
    PostMessageA(window, kRecorderStall, 15000, 0);
    Sleep(200);
    const DWORD start = GetTickCount();
    Press(hung);
    Press(5);
    EXPECT_TRUE(WaitFor([] { return !ScreenSaverActive(); }, 10000)) << "the next hot key works";
    EXPECT_LT(GetTickCount() - start, 3000u);
  }
  SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, 1, nullptr, 0);
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

TEST_F(ActionsE2E, SelectedTextOfAnotherProgramIsPassedAlong) {
  KeyRecord run = Entry(1, VK_F5);
  run.target = recorder_;
  KeyRecord withSelection = run;
  withSelection.textOption = 2;
  StartWith({run, withSelection});
  Press(1);
  HWND window = WaitForRecorderWindow();
  ASSERT_NE(window, nullptr);
  SetForegroundWindow(window);
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == window; }, 3000));
  Press(2);
  const auto starts = WaitForStarts(2);
  ASSERT_EQ(starts.size(), 2u);
  EXPECT_EQ(starts[1], "start|" + recorder_ + " selected words|" + recorderFolder_);
  EXPECT_EQ(ClipboardText(), "selected words") << "the copied selection stays on the clipboard";
  EXPECT_EQ(CPresses(), std::vector<std::string>{}) << "the copy messages were enough";
}

// A program with nothing selected copies nothing on Ctrl+C either: the clipboard's earlier text
// goes along.
TEST_F(ActionsE2E, NothingSelectedInAProgramThatCopiesOnCtrlCGivesTheEarlierText) {
  KeyRecord capture = Record(VK_F6, recorder_);
  capture.textOption = 2;
  StartWith({Record(VK_F5, recorder_ + " /keycopy /noselection"), capture});
  ASSERT_NE(ForegroundRecorder(1), nullptr);
  ASSERT_TRUE(PutClipboardText("before"));
  Press(2);
  const auto starts = WaitForStarts(2);
  ASSERT_EQ(starts.size(), 2u);
  EXPECT_EQ(starts.back(), "start|" + recorder_ + " before|" + recorderFolder_);
  EXPECT_EQ(CPresses(), std::vector<std::string>{"key|43|ctrl"}) << "Ctrl+C was tried";
}

// A console takes WM_CHAR 3 and Ctrl+C for ^C, and an editor copies the whole line on Ctrl+C with
// nothing selected: without a known selection neither gets a key, and the clipboard stays.
TEST_F(ActionsE2E, WhereCtrlCIsNoPlainCopyNothingIsPressedWithoutAKnownSelection) {
  struct Case {
    const char* mode;
    std::vector<std::string> copyMessages;
  };
  const Case cases[] = {
      {" /class:ConsoleWindowClass /keycopy", {}},
      {" /class:PX_WINDOW_CLASS /keycopy /noselection /linecopy",
       {"command|focus|E122|0", "char|focus|3|2E0001"}},
  };
  StartCapturing({cases[0].mode, cases[1].mode});
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(cases[i].mode);
    EXPECT_EQ(CaptureFrom(i + 2), "before");
    EXPECT_EQ(ClipboardText(), "before");
    EXPECT_EQ(CPresses(), std::vector<std::string>{});
    EXPECT_EQ(CopyMessages(), cases[i].copyMessages);
    CloseRecorders();
    DeleteFileA(logPath_.c_str());
  }
}

// A copier that holds the clipboard open a while after emptying it is waited for.
TEST_F(ActionsE2E, TheClipboardIsReadOnceTheCopierHasLetGoOfIt) {
  StartCapturing({" /keycopy /slowcopy"});
  EXPECT_EQ(CaptureFrom(2), "browser words");
}

// Keys held past the wait: the key press is given up (no key of the user's is let go of), and the
// capture still ends within its bound.
TEST_F(ActionsE2E, KeysHeldPastTheWaitGiveUpTheKeyPress) {
  KeyRecord capture = Record(VK_F6, "no-such-program.exe");
  capture.textOption = 2;
  KeyRecord mark = Entry(4, VK_F7);
  mark.message = kRecorderMessage;
  StartWith({Record(VK_F5, recorder_ + " /keycopy /noselection"), capture, mark});
  ASSERT_NE(ForegroundRecorder(1), nullptr);
  // A mark reaches the target once Tavolet has finished what came before it.
  auto marked = [&](size_t count) {
    return WaitFor([&] { return LinesStartingWith("window|").size() >= count; }, 8000);
  };
  Press(3);
  ASSERT_TRUE(marked(1));
  HoldKeys({VK_CONTROL, VK_MENU, VK_SHIFT});
  const DWORD pressed = GetTickCount();
  Press(2);
  Press(3);
  ASSERT_TRUE(marked(2));
  // A start waits 500 ms for the program's window, also when there is none.
  EXPECT_LT(GetTickCount() - pressed, kKeyReleaseWaitMs + 500u + 500u);
  EXPECT_EQ(CPresses(), std::vector<std::string>{});
}

// The focused control decides which copy messages go where; a control that copies nothing
// leaves the clipboard's earlier text as the result.
TEST_F(ActionsE2E, CopyMessagesFollowTheFocusedControl) {
  struct Case {
    const char* mode;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {" /ie", {"command|focus|1000F|0"}},
      {" /rich", {"command|main|E122|0"}},
      {" /plain", {"command|focus|E122|0", "char|focus|3|2E0001"}},
  };
  KeyRecord capture = Entry(1, VK_F6);
  capture.target = recorder_;
  capture.textOption = 2;
  std::vector<KeyRecord> entries = {capture};
  for (const Case& c : cases) {
    KeyRecord start = Entry(1, VK_F7 + static_cast<UINT>(entries.size()));
    start.target = recorder_ + c.mode;
    entries.push_back(start);
  }
  StartWith(entries);
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].mode);
    ASSERT_TRUE(PutClipboardText("before"));
    const size_t startsBefore = Starts().size();
    Press(static_cast<int>(i) + 2);
    ASSERT_EQ(WaitForStarts(startsBefore + 1).size(), startsBefore + 1);
    HWND window = WaitForRecorderWindow();
    SetForegroundWindow(window);
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == window; }, 3000));
    Press(1);
    const auto starts = WaitForStarts(startsBefore + 2);
    ASSERT_EQ(starts.size(), startsBefore + 2);
    EXPECT_EQ(starts.back(), "start|" + recorder_ + " before|" + recorderFolder_);
    EXPECT_EQ(CopyMessages(), cases[i].expected);
    CloseRecorders();
    DeleteFileA(logPath_.c_str());
  }
}

// A program that stops answering the copy messages holds Tavolet up for a few seconds at most.
TEST_F(ActionsE2E, AHungProgramCannotFreezeTheCapture) {
  KeyRecord capture = Entry(1, VK_F6);
  capture.target = recorder_;
  capture.textOption = 2;
  KeyRecord hung = Entry(1, VK_F7);
  hung.target = recorder_ + " /hang";
  StartWith({capture, hung});
  ASSERT_TRUE(PutClipboardText("before"));
  Press(2);
  HWND window = WaitForRecorderWindow();
  ASSERT_NE(window, nullptr);
  SetForegroundWindow(window);
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == window; }, 3000));
  const DWORD pressed = GetTickCount();
  Press(1);
  const auto starts = WaitForStarts(2, 12000);
  ASSERT_EQ(starts.size(), 2u);
  EXPECT_LT(GetTickCount() - pressed, 8000u) << "the copy messages are bounded";
  EXPECT_EQ(starts.back(), "start|" + recorder_ + " before|" + recorderFolder_);
}

// The stand-in for the system's UI Automation client is registered, so the recorder can say
// whether it has a selection.
class SelectionQuestionE2E : public ActionsE2E {
 protected:
  void SetUp() override {
    ActionsE2E::SetUp();
    const std::string server = ProgramFolder() + "uia_standin.dll";
    ASSERT_EQ(RegSetKeyValueA(HKEY_LOCAL_MACHINE, kServer, nullptr, REG_SZ, server.c_str(),
                              static_cast<DWORD>(server.size() + 1)),
              ERROR_SUCCESS);
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, kServer, "ThreadingModel", REG_SZ, "Both", 5);
  }
  void TearDown() override {
    ActionsE2E::TearDown();
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kClass);
  }
  static constexpr const char* kClass =
      "Software\\Classes\\CLSID\\{FF48DBA4-60EF-4201-AA87-54103EEF594E}";
  static constexpr const char* kServer =
      "Software\\Classes\\CLSID\\{FF48DBA4-60EF-4201-AA87-54103EEF594E}\\InprocServer32";
};

// Neither the copy messages nor Ctrl+C reach a terminal; its known selection is copied with
// Ctrl+Insert.
TEST_F(SelectionQuestionE2E, ATerminalsSelectionIsCopiedWithCtrlInsert) {
  StartCapturing({" /class:CASCADIA_HOSTING_WINDOW_CLASS /keycopy /terminal /uia"});
  EXPECT_EQ(CaptureFrom(2), "browser words");
  EXPECT_EQ(LinesStartingWith("key|2D|"), std::vector<std::string>{"key|2D|ctrl"});
  EXPECT_EQ(CPresses(), std::vector<std::string>{});
  EXPECT_EQ(CopyMessages(), std::vector<std::string>{});
}

// A program that says it has nothing selected gets no key: the clipboard stays as it was.
TEST_F(SelectionQuestionE2E, NothingSelectedByItsOwnAnswerGetsNoKeyPress) {
  StartCapturing({" /keycopy /noselection /uia"});
  EXPECT_EQ(CaptureFrom(2), "before");
  EXPECT_EQ(CPresses(), std::vector<std::string>{});
}

// A program that never answers the question holds the capture for the question's bound only;
// with no answer, Ctrl+C goes where it copies nothing without a selection.
TEST_F(SelectionQuestionE2E, AnUnansweredQuestionHoldsTheCaptureForItsBoundOnly) {
  StartCapturing({" /keycopy /uiahang"});
  DWORD captureMs = 0;
  EXPECT_EQ(CaptureFrom(2, &captureMs), "browser words");
  EXPECT_LT(captureMs, 5000u) << "the question hangs for 10 s";
}

TEST_F(ActionsE2E, MessagesGoToTheForegroundWindowAndItsThread) {
  KeyRecord toWindow = Entry(4, VK_F5);
  toWindow.message = kRecorderMessage;
  toWindow.wParam = 0x1234;
  toWindow.lParam = 0x5678;
  KeyRecord toThread = toWindow;
  toThread.actionType = 5;
  toThread.message = kRecorderMessage + 1;
  StartWith({toWindow, toThread});
  HWND own = ForegroundOwnWindow();
  ASSERT_EQ(GetForegroundWindow(), own);
  Press(1);
  MSG received{};
  ASSERT_TRUE(WaitForOwnMessage(kRecorderMessage, received));
  EXPECT_EQ(received.hwnd, own);
  EXPECT_EQ(received.wParam, 0x1234u);
  EXPECT_EQ(received.lParam, 0x5678);
  Press(2);
  ASSERT_TRUE(WaitForOwnMessage(kRecorderMessage + 1, received));
  EXPECT_EQ(received.hwnd, nullptr) << "a thread message";
  EXPECT_EQ(received.wParam, 0x1234u);
}

TEST_F(ActionsE2E, TranslucentWindowSetsAndClearsTheForegroundWindowsAlpha) {
  KeyRecord half = Entry(12, VK_F5);
  half.param1 = 128;
  KeyRecord opaque = half;
  opaque.param1 = 300;
  StartWith({half, opaque});
  HWND own = ForegroundOwnWindow();
  Press(1);
  ASSERT_TRUE(
      WaitFor([&] { return (GetWindowLongA(own, GWL_EXSTYLE) & WS_EX_LAYERED) != 0; }, 5000));
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(own, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 128);
  EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
  Press(2);
  EXPECT_TRUE(
      WaitFor([&] { return (GetWindowLongA(own, GWL_EXSTYLE) & WS_EX_LAYERED) == 0; }, 5000));
}

TEST_F(ActionsE2E, WindowPositionsAreRememberedAndPutBack) {
  StartWith({Entry(10, VK_F5), Entry(11, VK_F6)});
  HWND own = ForegroundOwnWindow();
  SetWindowPos(own, nullptr, 40, 50, 300, 200, SWP_NOZORDER);
  Press(1);
  Sleep(500);
  SetWindowPos(own, nullptr, 420, 330, 150, 100, SWP_NOZORDER);
  Press(2);
  RECT r{};
  EXPECT_TRUE(WaitFor(
      [&] {
        GetWindowRect(own, &r);
        return r.left == 40 && r.top == 50;
      },
      5000));
  EXPECT_EQ(r.right - r.left, 300);
  SetWindowPos(own, nullptr, 420, 330, 150, 100, SWP_NOZORDER);
  Press(2);  // the same snapshot again
  EXPECT_TRUE(WaitFor(
      [&] {
        GetWindowRect(own, &r);
        return r.left == 40;
      },
      5000));
}

// At any scaling a window comes back to the same pixels, whether its program knows DPI or not.
// (This test sees physical pixels: it is per-monitor aware.)
TEST_F(ActionsE2E, WindowPositionsComeBackToTheSamePixelsWhateverTheProgramKnowsOfDpi) {
  StartWith({Entry(10, VK_F5), Entry(11, VK_F6), Record(VK_F7, recorder_ + " /dpiaware"),
             Record(VK_F8, recorder_)});
  const RECT places[] = {{43, 55, 43 + 301, 55 + 203}, {251, 181, 251 + 333, 181 + 215}};
  std::vector<HWND> windows;
  for (int id : {3, 4}) {
    Press(id);
    ASSERT_TRUE(WaitFor([&] { return RecorderWindows().size() == windows.size() + 1; }, 8000));
    for (HWND w : RecorderWindows()) {
      if (std::find(windows.begin(), windows.end(), w) == windows.end()) windows.push_back(w);
    }
  }
  for (size_t i = 0; i < windows.size(); ++i) {
    const RECT& r = places[i];
    SetWindowPos(windows[i], nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  Press(1);
  Sleep(500);
  for (HWND w : windows) SetWindowPos(w, nullptr, 500, 400, 200, 150, SWP_NOZORDER);
  Press(2);
  for (size_t i = 0; i < windows.size(); ++i) {
    SCOPED_TRACE(i == 0 ? "DPI aware" : "knows no DPI");
    RECT r{};
    EXPECT_TRUE(WaitFor(
        [&] {
          GetWindowRect(windows[i], &r);
          return EqualRect(&r, &places[i]) != FALSE;
        },
        5000))
        << r.left << "," << r.top << " " << r.right - r.left << "x" << r.bottom - r.top;
  }
}

// Putting a maximised window back changes neither the active window nor the order.
TEST_F(ActionsE2E, RestoringAMaximisedWindowLeavesTheActiveWindowAlone) {
  StartWith({Entry(10, VK_F5), Entry(11, VK_F6)});
  HWND maximised =
      CreateWindowExA(0, "STATIC", "Tavolet E2E maximised", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60,
                      60, 300, 200, nullptr, nullptr, nullptr, nullptr);
  ShowWindow(maximised, SW_SHOWMAXIMIZED);
  HWND own = ForegroundOwnWindow();
  Press(1);
  Sleep(500);
  ShowWindow(maximised, SW_SHOWNOACTIVATE);
  ASSERT_FALSE(IsZoomed(maximised));
  SetForegroundWindow(own);
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == own; }, 3000));
  Press(2);
  EXPECT_TRUE(WaitFor([&] { return IsZoomed(maximised) != FALSE; }, 5000));
  Sleep(300);
  EXPECT_EQ(GetForegroundWindow(), own) << "the active window stays active";
  DestroyWindow(maximised);
}

TEST_F(ActionsE2E, SystemParameterSwitchesTheScreenSaver) {
  KeyRecord off = Entry(13, VK_F5);
  off.param2 = SPI_SETSCREENSAVEACTIVE;
  off.param1 = 0;
  KeyRecord on = off;
  on.param1 = 1;
  StartWith({off, on});
  Press(1);
  EXPECT_TRUE(WaitFor([] { return !ScreenSaverActive(); }, 5000));
  Press(2);
  EXPECT_TRUE(WaitFor(ScreenSaverActive, 5000));
}

// A flood of hot keys leaves Tavolet responsive and its handle and object counts where they
// started.
TEST_F(ActionsE2E, FiveThousandHotKeysLeakNothing) {
  KeyRecord post = Entry(4, VK_F5);
  post.message = kRecorderMessage;
  KeyRecord translucent = Entry(12, VK_F8);
  translucent.param1 = 255;
  KeyRecord parameter = Entry(13, VK_F9);
  parameter.param2 = SPI_SETSCREENSAVEACTIVE;
  parameter.param1 = 1;
  KeyRecord done = Entry(4, VK_F11);
  done.message = kRecorderMessage + 2;
  StartWith({post, Entry(10, VK_F6), Entry(11, VK_F7), translucent, parameter, done});
  ForegroundOwnWindow();
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, tavolet_.Id());
  ASSERT_NE(process, nullptr);
  auto counts = [&] {
    DWORD handles = 0;
    GetProcessHandleCount(process, &handles);
    return std::vector<DWORD>{handles, GetGuiResources(process, GR_GDIOBJECTS),
                              GetGuiResources(process, GR_USEROBJECTS)};
  };
  // One round first, so that lazily loaded libraries are in before counting.
  for (int id = 1; id <= 6; ++id) Press(id);
  MSG received{};
  ASSERT_TRUE(WaitForOwnMessage(kRecorderMessage + 2, received, 20000));
  const std::vector<DWORD> before = counts();
  const int ids[] = {1, 2, 3, 4, 5, 77};
  for (int i = 0; i < 5000; ++i) Press(ids[i % 6]);
  Press(6);
  ASSERT_TRUE(WaitForOwnMessage(kRecorderMessage + 2, received, 120000)) << "Tavolet stopped";
  DWORD_PTR answer = 0;
  EXPECT_TRUE(SendMessageTimeoutA(tavolet_.MainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 2000, &answer))
      << "responsive";
  const std::vector<DWORD> after = counts();
  EXPECT_LE(after[0], before[0] + 5) << "handles " << before[0] << " -> " << after[0];
  EXPECT_LE(after[1], before[1] + 5) << "GDI objects";
  EXPECT_LE(after[2], before[2] + 5) << "USER objects";
  CloseHandle(process);
}

}  // namespace
