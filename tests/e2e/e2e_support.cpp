#include "tests/e2e/e2e_support.h"

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
