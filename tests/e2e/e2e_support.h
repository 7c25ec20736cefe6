// Shared pieces of the end-to-end suite.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hotkeys/key_file.h"

constexpr UINT kTrayNotify = WM_USER + 100;
constexpr UINT kAllModifiers = MOD_CONTROL | MOD_ALT | MOD_SHIFT;

// build/win64/screenshots/NAME.png
std::string ScreenshotPath(const std::string& name);

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
std::vector<std::string> ListRows(HWND list, DWORD processId);

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
  DWORD Id() const { return processId_; }

 private:
  HANDLE process_ = nullptr;
  DWORD processId_ = 0;
};

// The desktop of the running test.
StandInDesktop& TestDesktop();
// The desktop's list view, under "Progman" or under a "WorkerW"; null when there is none.
HWND DesktopListView();

// Before every test: whatever an earlier test left running is ended and a fresh desktop
// started; after it, the desktop is closed.
class FreshStartForEveryTest : public ::testing::EmptyTestEventListener {
 public:
  void OnTestStart(const ::testing::TestInfo& test) override;
  void OnTestEnd(const ::testing::TestInfo& test) override;
};
