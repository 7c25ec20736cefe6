#include "tests/support/win_test_support.h"

#include <shellapi.h>

#include <cstring>
#include <fstream>
#include <utility>

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
