#include "tests/e2e/e2e_support.h"

#include <commctrl.h>

#include <cstdio>

#include "tests/support/run_processes.h"
#include "tests/support/tavolet_process.h"
#include "tests/support/win_test_support.h"

std::string ScreenshotPath(const std::string& name) {
  const std::string folder = ProgramFolder() + "screenshots";
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder + "\\" + name + ".png";
}

KeyRecord Record(UINT key, const std::string& target) {
  KeyRecord r;
  r.virtualKey = key;
  r.modifiers = kAllModifiers;
  r.actionType = 1;
  r.target = target;
  return r;
}

std::string KeyFile(const std::vector<KeyRecord>& records) {
  std::vector<const KeyRecord*> pointers;
  for (const KeyRecord& r : records) pointers.push_back(&r);
  return EncodeKeyFile(pointers);
}

namespace {

HWND ListViewOf(HWND parent) {
  HWND view = FindWindowExA(parent, nullptr, "SHELLDLL_DefView", nullptr);
  return view ? FindWindowExA(view, nullptr, "SysListView32", nullptr) : nullptr;
}

}  // namespace

HWND DesktopListView() {
  if (HWND list = ListViewOf(FindWindowExA(nullptr, nullptr, "Progman", "Program Manager"))) {
    return list;
  }
  for (HWND worker = FindWindowExA(nullptr, nullptr, "WorkerW", nullptr); worker;
       worker = FindWindowExA(nullptr, worker, "WorkerW", nullptr)) {
    if (HWND list = ListViewOf(worker)) return list;
  }
  return nullptr;
}

StandInDesktop& TestDesktop() {
  static StandInDesktop desktop;
  return desktop;
}

bool StandInDesktop::Start(const std::string& arguments) {
  Stop();
  std::string commandLine = "\"" + ProgramFolder() + "desktop_standin.exe\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return false;
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  processId_ = info.dwProcessId;
  RecordStartedProcess(process_);
  // The chain of windows comes first and the items after it: wait for the items.
  return WaitFor(
      [this] {
        HWND list = DesktopListView();
        DWORD owner = 0;
        if (list) GetWindowThreadProcessId(list, &owner);
        return owner == processId_ && SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) > 0;
      },
      10000);
}

void StandInDesktop::Stop() {
  if (!process_) return;
  for (HWND w : WindowsOfProcess(processId_, "")) PostMessageA(w, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process_, 5000) != WAIT_OBJECT_0) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 5000);
  }
  CloseHandle(process_);
  process_ = nullptr;
  processId_ = 0;
}

void FreshStartForEveryTest::OnTestStart(const ::testing::TestInfo&) {
  EndLeftoverProcesses();
  if (!TestDesktop().Start()) std::printf("[ desktop  ] the stand-in desktop did not start\n");
}

void FreshStartForEveryTest::OnTestEnd(const ::testing::TestInfo&) { TestDesktop().Stop(); }

std::vector<std::string> ListRows(HWND list, DWORD processId) {
  std::vector<std::string> rows;
  const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  RemoteBuffer buffer(processId, 4096);
  for (int row = 0; row < count; ++row) {
    LVITEMA item{};
    item.pszText = buffer.At(1024);
    item.cchTextMax = 256;
    buffer.Write(0, &item, sizeof item);
    SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(buffer.At(0)));
    char text[257] = "";
    buffer.Read(1024, text, 256);
    rows.push_back(text);
  }
  return rows;
}

bool SelectListRow(HWND list, DWORD processId, const std::string& text) {
  const auto rows = ListRows(list, processId);
  for (size_t row = 0; row < rows.size(); ++row) {
    if (rows[row] != text) continue;
    RemoteBuffer buffer(processId, sizeof(LVITEMA));
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    buffer.Write(0, &item, sizeof item);
    SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(buffer.At(0)));
    return true;
  }
  return false;
}
