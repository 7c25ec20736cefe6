#include "tests/support/win_test_support.h"

#include <aclapi.h>
#include <sddl.h>
#include <shellapi.h>

#include <cstring>
#include <fstream>
#include <utility>

#include "tests/support/run_processes.h"

TempFolder::TempFolder() {
  char base[MAX_PATH];
  GetTempPathA(sizeof base, base);
  for (unsigned attempt = 0; attempt < 1000; ++attempt) {
    std::string candidate = std::string(base) + "tavolet-test-" +
                            std::to_string(GetCurrentProcessId()) + "-" +
                            std::to_string(GetTickCount() + attempt);
    if (CreateDirectoryA(candidate.c_str(), nullptr)) {
      path_ = candidate;
      return;
    }
  }
}

TempFolder::~TempFolder() {
  if (path_.empty()) return;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name != "." && name != "..") DeleteFileA((path_ + "\\" + name).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(path_.c_str());
}

namespace {
std::function<bool()> waitAbort;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  return static_cast<bool>(out);
}

std::string ReadBytes(const std::string& path, bool* exists) {
  std::string content;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (exists) *exists = file != INVALID_HANDLE_VALUE;
  if (file == INVALID_HANDLE_VALUE) return content;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
    content.append(buffer, got);
  CloseHandle(file);
  return content;
}

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool TrayIconPresent(HWND window, UINT id) {
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = window;
  data.uID = id;
  return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (waitAbort && waitAbort()) return false;
    if (GetTickCount() - start >= timeoutMs) return condition();
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(20);
  }
}

void SetWaitAbort(std::function<bool()> abort) { waitAbort = std::move(abort); }

std::string ProgramFolder() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::string ScreenshotPath(const std::string& name) {
  const std::string folder = ProgramFolder() + "screenshots";
  CreateDirectoryA(folder.c_str(), nullptr);
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  const std::string suffix = dpi == 96 ? "" : "_" + std::to_string(dpi) + "dpi";
  return folder + "\\" + name + suffix + ".png";
}

namespace {

bool PutClipboard(UINT format, const void* data, size_t bytes) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (memory) {
    std::memcpy(GlobalLock(memory), data, bytes);
    GlobalUnlock(memory);
    SetClipboardData(format, memory);
  }
  CloseClipboard();
  return memory != nullptr;
}

}  // namespace

bool PutClipboardText(const std::string& text) {
  return PutClipboard(CF_TEXT, text.c_str(), text.size() + 1);
}

bool PutClipboardUnicodeText(const std::wstring& text) {
  return PutClipboard(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
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

int DesktopListProcedure() {
  HWND list = DesktopListView();
  DWORD_PTR answer = 0;
  if (!list ||
      !SendMessageTimeoutW(GetParent(list), RegisterWindowMessageW(L"TavoletStandInListProcedure"),
                           0, 0, SMTO_NORMAL, 5000, &answer)) {
    return -1;
  }
  return static_cast<int>(answer);
}

bool DesktopListSubclassed() { return DesktopListProcedure() == 0; }

void TellStandIn(const wchar_t* request, WPARAM wParam, LPARAM lParam) {
  if (HWND list = DesktopListView()) {
    PostMessageW(GetParent(list), RegisterWindowMessageW(request), wParam, lParam);
  }
}

namespace {

bool RetriedWhileWineLosesIt(const std::function<BOOL()>& create) {
  for (int attempt = 1;; ++attempt) {
    if (create()) return true;
    const DWORD error = GetLastError();
    if (error != ERROR_INTERNAL_ERROR || attempt == 3) {
      SetLastError(error);
      return false;
    }
    Sleep(200);
  }
}

}  // namespace

bool StartProcess(std::string commandLine, PROCESS_INFORMATION& info, const char* folder) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  return RetriedWhileWineLosesIt([&] {
    return CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder,
                          &startup, &info);
  });
}

bool StartProcess(std::wstring commandLine, PROCESS_INFORMATION& info, const wchar_t* folder) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  return RetriedWhileWineLosesIt([&] {
    return CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder,
                          &startup, &info);
  });
}

bool RunToEnd(const std::string& commandLine) {
  PROCESS_INFORMATION info{};
  if (!StartProcess(commandLine, info)) return false;
  RecordStartedProcess(info.hProcess);
  const bool ended = WaitForSingleObject(info.hProcess, 15000) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(info.hProcess, 1);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return ended;
}

std::wstring UserObjectName(const wchar_t* baseName) {
  HANDLE token = nullptr;
  OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
  alignas(8) BYTE buffer[256];
  DWORD size = 0;
  wchar_t* text = nullptr;
  std::wstring name = L"Local\\" + std::wstring(baseName) + L"-";
  if (GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size) &&
      ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &text)) {
    name += text;
    LocalFree(text);
  }
  CloseHandle(token);
  return name;
}

namespace {

// The owner (where it names one) and access list of `descriptor`, given to the object.
void GiveOwnerAndList(HANDLE object, PSECURITY_DESCRIPTOR descriptor) {
  BOOL present = FALSE, defaulted = FALSE;
  PSID owner = nullptr;
  PACL dacl = nullptr;
  GetSecurityDescriptorOwner(descriptor, &owner, &defaulted);
  GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted);
  SetSecurityInfo(object, SE_KERNEL_OBJECT,
                  (owner ? OWNER_SECURITY_INFORMATION : 0) | DACL_SECURITY_INFORMATION, owner,
                  nullptr, dacl, nullptr);
}

}  // namespace

NameTakenFirst::NameTakenFirst(const wchar_t* baseName, const std::wstring& sddl) {
  PSECURITY_DESCRIPTOR wanted = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &wanted,
                                                            nullptr)) {
    return;
  }
  SECURITY_ATTRIBUTES attributes{sizeof attributes, wanted, FALSE};
  mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, &attributes, PAGE_READWRITE, 0, kSize,
                                UserObjectName(baseName).c_str());
  const bool existed = mapping_ && GetLastError() == ERROR_ALREADY_EXISTS;
  if (mapping_)
    view_ = static_cast<volatile LONG*>(MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, 0));
  if (existed && view_) {
    const SECURITY_INFORMATION parts = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    GetSecurityInfo(mapping_, SE_KERNEL_OBJECT, parts, nullptr, nullptr, nullptr, nullptr,
                    &original_);
    std::memcpy(contents_, const_cast<LONG*>(view_), kSize);
    GiveOwnerAndList(mapping_, wanted);
  }
  LocalFree(wanted);
}

NameTakenFirst::~NameTakenFirst() {
  if (original_) {
    std::memcpy(const_cast<LONG*>(view_), contents_, kSize);
    GiveOwnerAndList(mapping_, original_);
    LocalFree(original_);
  }
  if (view_) UnmapViewOfFile(const_cast<LONG*>(view_));
  if (mapping_) CloseHandle(mapping_);
}
