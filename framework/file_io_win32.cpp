#include <windows.h>

#include "framework/file_io.h"
#include "framework/handles.h"
#include "framework/waits.h"

#include <algorithm>

namespace {

std::wstring Wide(std::string_view text, UINT codePage) {
  std::wstring wide;
  if (text.empty()) return wide;
  const int length =
      MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (length <= 0) return wide;
  wide.resize(static_cast<size_t>(length));
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

std::string Utf8(std::wstring_view wide) {
  std::string text;
  if (wide.empty()) return text;
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
  if (length <= 0) return text;
  text.resize(static_cast<size_t>(length));
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length,
                      nullptr, nullptr);
  return text;
}

std::wstring WidePath(const std::string& path) { return Wide(path, CP_UTF8); }

}  // namespace

std::string PathFromAnsi(std::string_view ansi) { return Utf8(Wide(ansi, CP_ACP)); }

bool PathExists(const std::string& path) {
  return GetFileAttributesW(WidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

ReadOutcome ReadFileBytes(const std::string& path, std::string& bytes) {
  bytes.clear();
  UniqueHandle file(CreateFileW(WidePath(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ReadOutcome::Missing
                                                                          : ReadOutcome::Unreadable;
  }
  char buffer[65536];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) {
      bytes.clear();
      return ReadOutcome::Unreadable;
    }
    if (got == 0) break;
    bytes.append(buffer, got);
  }
  return ReadOutcome::Read;
}

namespace {

bool WriteAll(HANDLE file, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
      return false;
    }
    done += written;
  }
  return true;
}

constexpr int kReplaceAttempts = 10;
constexpr DWORD kReplaceRetryMs = 100;

// Another program has the file open (an editor, a backup or virus scanner): worth a retry.
bool HeldByAnotherProgram(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
         error == ERROR_ACCESS_DENIED;
}

bool MoveIntoPlace(const std::string& temporary, const std::string& path) {
  for (int attempt = 1;; ++attempt) {
    if (MoveFileExW(WidePath(temporary).c_str(), WidePath(path).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return true;
    }
    if (attempt == kReplaceAttempts || !HeldByAnotherProgram(GetLastError())) return false;
    SleepHandlingSentMessages(kReplaceRetryMs);
  }
}

}  // namespace

bool ReplaceFileContents(const std::string& path, std::string_view bytes) {
  const std::string temporary = path + ".tmp";
  bool written = false;
  {
    UniqueHandle file(CreateFileW(WidePath(temporary).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    written = WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
  }
  if (!written || !MoveIntoPlace(temporary, path)) {
    DeleteFileW(WidePath(temporary).c_str());
    return false;
  }
  return true;
}

std::string FullPathName(const std::string& path) {
  const std::wstring wide = WidePath(path);
  const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::wstring full(needed, L'\0');
  const DWORD length = GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return path;
  full.resize(length);
  return Utf8(full);
}
