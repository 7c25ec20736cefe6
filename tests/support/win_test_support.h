// Helpers shared by the Win32 tests: temporary folders, files, the tray probe, polling.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// A fresh folder under the temporary folder, removed with its files on destruction.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

bool WriteBytes(const std::string& path, const std::string& bytes);
// Empty when the file cannot be read; `exists` tells the two apart. Opened shared every way,
// so a test that reads a file never makes the program under test fail to replace it.
std::string ReadBytes(const std::string& path, bool* exists = nullptr);
bool FileExists(const std::string& path);

// Whether the shell shows the icon (window, id): a modify that changes nothing succeeds only
// for an icon it holds.
bool TrayIconPresent(HWND window, UINT id);

// Polls `condition` every 20 ms, pumping this thread's messages, until it holds or the time
// is up. Returns the last answer; false at once when the abort check says so.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs);
// Ends every WaitFor early when it returns true (a program under test has died); null for none.
void SetWaitAbort(std::function<bool()> abort);

// Puts the text on the clipboard as CF_TEXT, replacing what was there.
bool PutClipboardText(const std::string& text);
// The same as CF_UNICODETEXT.
bool PutClipboardUnicodeText(const std::wstring& text);

// CreateProcess with a second and third try where Wine lost the new process while still setting
// it up (ERROR_INTERNAL_ERROR, seen now and then on a busy machine). The caller owns `info`'s
// handles; on failure GetLastError tells why.
bool StartProcess(std::string commandLine, PROCESS_INFORMATION& info, const char* folder = nullptr);
bool StartProcess(std::wstring commandLine, PROCESS_INFORMATION& info, const wchar_t* folder);

// Runs a program to its end (ended after 15 s); false when it did not start or end.
bool RunToEnd(const std::string& commandLine);

// "Local\<base>-<this user's SID>": the name the hook libraries' objects go by.
std::wstring UserObjectName(const wchar_t* baseName);

// What another process does that takes one of those names first: memory under it with the
// owner and access list it likes, and a writable view it keeps. Where the name is held already
// (Wine's own processes keep the libraries loaded between tests), the object is taken over the
// same way, and given back as it was at the end.
class NameTakenFirst {
 public:
  NameTakenFirst(const wchar_t* baseName, const std::wstring& sddl);
  ~NameTakenFirst();
  NameTakenFirst(const NameTakenFirst&) = delete;
  NameTakenFirst& operator=(const NameTakenFirst&) = delete;
  static constexpr DWORD kSize = 64;
  volatile LONG* view() const { return view_; }

 private:
  HANDLE mapping_ = nullptr;
  volatile LONG* view_ = nullptr;
  PSECURITY_DESCRIPTOR original_ = nullptr;
  char contents_[kSize] = {};
};

// The folder of this test program, with a trailing backslash.
std::string ProgramFolder();
// screenshots\NAME.png in that folder; NAME_144dpi.png and the like at another DPI than 96.
std::string ScreenshotPath(const std::string& name);

// The desktop's list view, under "Progman" or under a "WorkerW"; null when there is none.
HWND DesktopListView();
// What runs the stand-in desktop's list view: 1 its own procedure, 2 the stand-in's own
// subclass, 0 another one (Corvane's); -1 when there is no list view or it does not answer.
int DesktopListProcedure();
// Whether the list view runs another procedure than its own or the stand-in's (Corvane's).
bool DesktopListSubclassed();
// Posts one of the stand-in's registered requests ("TavoletStandInStall" with the time in ms,
// "TavoletStandInSubclass" with 1 or 0, "TavoletStandInResize" with width and height ...) to its
// desktop view.
void TellStandIn(const wchar_t* request, WPARAM wParam = 0, LPARAM lParam = 0);
