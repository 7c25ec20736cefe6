// Shared pieces of the end-to-end suite.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "corvane/shell_values.h"
#include "hotkeys/key_file.h"
#include "tests/support/tavolet_process.h"
#include "tests/support/win_test_support.h"

constexpr UINT kTrayNotify = WM_USER + 100;
constexpr UINT kAllModifiers = MOD_CONTROL | MOD_ALT | MOD_SHIFT;
constexpr BYTE kCtrlAltShift = HOTKEYF_CONTROL | HOTKEYF_ALT | HOTKEYF_SHIFT;
constexpr UINT kEditKeys = 32771, kAdd = 32772, kDelete = 32773, kEdit = 32774;

// A Ctrl+Alt+Shift entry of type RunProgram with the given target.
KeyRecord Record(UINT key, const std::string& target);
std::string KeyFile(const std::vector<KeyRecord>& records);

// A buffer in another process, for the list-view messages that carry pointers.
class RemoteBuffer {
 public:
  RemoteBuffer(DWORD processId, size_t size) : size_(size) {
    process_ =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process_) {
      address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
  }
  ~RemoteBuffer() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  char* At(size_t offset) const { return static_cast<char*>(address_) + offset; }
  bool Write(size_t offset, const void* data, size_t size) const {
    return WriteProcessMemory(process_, At(offset), data, size, nullptr);
  }
  bool Read(size_t offset, void* data, size_t size) const {
    return ReadProcessMemory(process_, At(offset), data, size, nullptr);
  }

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
  size_t size_;
};

// Selects the list-view row with this text (column 0); false when there is none.
bool SelectListRow(HWND list, DWORD processId, const std::string& text);
// The column-0 texts of a list view in another process.
std::vector<std::string> ListRows(HWND list, DWORD processId, int column = 0);
// The tip of Tavolet's icon, as the notification area shows it ("" when it shows none).
std::string TrayTip();

// The stand-in shell desktop (tools/desktop_standin.exe), fresh for every test.
class StandInDesktop {
 public:
  StandInDesktop() = default;
  ~StandInDesktop() { Stop(); }
  StandInDesktop(const StandInDesktop&) = delete;
  StandInDesktop& operator=(const StandInDesktop&) = delete;

  // Starts it (stopping a running one first) and waits until its list view holds its items.
  bool Start(const std::string& arguments = std::string());
  // Closes it, or ends it when it does not close.
  void Stop();
  // Ends it at once, as a crash of the shell would.
  void Kill();
  DWORD Id() const { return processId_; }
  // Why the last Start failed.
  const std::string& Failure() const { return failure_; }

 private:
  std::string failure_;
  HANDLE process_ = nullptr;
  DWORD processId_ = 0;
};

// The desktop of the running test.
StandInDesktop& TestDesktop();

// Before every test: whatever an earlier test left running is ended and a fresh desktop
// started; after it, the desktop is closed.
class FreshStartForEveryTest : public ::testing::EmptyTestEventListener {
 public:
  void OnTestStart(const ::testing::TestInfo& test) override;
  void OnTestEnd(const ::testing::TestInfo& test) override;
};

constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
// What the running (or the last) Tavolet published for the shell's copy of Corvane; false when
// nothing is published.
bool ReadPublishedShellValues(PublishedShellValues& values);

// A stored settings file: labels green on `background` (navy when selected), this outline.
std::string LabelSettings(int state, COLORREF outline = 0x80000000, COLORREF background = kRed);

// A window of this test in the foreground, for the kinds that act on the foreground window;
// the caller destroys it.
HWND MakeForegroundWindow();

// The system's screen-saver switch, which the system-parameter entries of the tests set.
bool ScreenSaverActive();
// Whether another program holds this combination now (a probe window tries to register it).
bool Taken(UINT modifiers, UINT key);
// Pixels of exactly this colour in the desktop's top strip (where the stand-in's labels are),
// after the list view has been repainted.
int DesktopPixels(COLORREF color);

// A Tavolet in a fresh folder, with the ways to reach its dialogs; it exits at the end.
class E2ETest : public ::testing::Test {
 protected:
  void TearDown() override;
  // key.cfg with these entries, then a Tavolet that is ready.
  void StartWith(const std::vector<KeyRecord>& entries);
  void StartReady();
  std::string KeyCfg() const { return ReadBytes(folder_.File("key.cfg")); }
  std::vector<KeyRecord> Keys() const { return DecodeKeyFile(KeyCfg()).records; }
  // Waits until key.cfg holds exactly these records.
  ::testing::AssertionResult KeysBecome(const std::vector<KeyRecord>& expected) const;
  HWND WaitForDialog(const char* caption, DWORD timeoutMs = 5000) const;
  int CountDialogs(const char* caption) const;
  HWND OpenKeyList() const;
  HWND OpenEditor(HWND keyList, UINT command) const;
  static void SetHotKey(HWND editor, BYTE key, BYTE flags);
  static void ChooseType(HWND editor, int position);
  static std::string ControlText(HWND dialog, int id);
  // Presses a button and waits for the dialog to close (false: it stayed open).
  static bool Press(HWND dialog, int id, DWORD timeoutMs = 5000);
  std::vector<std::string> Rows(HWND list) const { return ListRows(list, tavolet_.Id()); }
  // Adds a RunProgram entry (Ctrl+Alt+Shift + key, this target) through the key list and its
  // editor, as a user would, and closes the list again; the record that stands for it.
  KeyRecord AddThroughTheKeyList(BYTE key, const std::string& target) const;
  void SelectRow(HWND list, const std::string& text) const;

  TempFolder folder_;
  TavoletProcess tavolet_;
};
