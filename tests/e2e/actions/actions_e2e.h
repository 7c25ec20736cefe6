// The end-to-end fixture of the action kinds: hot keys posted to the running Tavolet as
// WM_HOTKEY and observed from outside: the recorder program's log, the clipboard, this test's
// own window and its messages, placement and layered attributes.
#pragma once

#include <windows.h>
#include <shellapi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>

#include "actions/launch/copy_keys.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/tavolet_process.h"
#include "tests/support/win_test_support.h"

constexpr UINT kRecorderMessage = WM_APP + 0x21;
constexpr UINT kRecorderStall = WM_APP + 0x40;
constexpr UINT kRecorderStallOnChange = WM_APP + 0x41;

inline KeyRecord Entry(int type, UINT key) {
  KeyRecord r = Record(key, "");
  r.actionType = type;
  return r;
}

// By their title: some stand in for other programs with those programs' window classes.
inline std::vector<HWND> RecorderWindows() {
  std::vector<HWND> found;
  for (HWND w = FindWindowExA(nullptr, nullptr, nullptr, "Tavolet Recorder"); w;
       w = FindWindowExA(nullptr, w, nullptr, "Tavolet Recorder")) {
    found.push_back(w);
  }
  return found;
}

inline std::string ClipboardText() {
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
  void ExpectAWindowThatStopsAnsweringHoldsNothing(UINT stall);

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
