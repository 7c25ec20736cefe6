#include "tests/e2e/e2e_support.h"

#include <commctrl.h>

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

void StandInDesktop::SetUp() {
  if (FindWindowA("Progman", nullptr)) return;
  std::string commandLine = "\"" + ProgramFolder() + "desktop_standin.exe\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                     &startup, &info)) {
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    WaitFor([] { return FindWindowA("Progman", nullptr) != nullptr; }, 10000);
  }
}

void StandInDesktop::TearDown() {
  if (!process_) return;
  if (HWND progman = FindWindowA("Progman", nullptr)) PostMessageA(progman, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process_, 5000) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
  CloseHandle(process_);
}

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
