#include <windows.h>

#include "framework/file_io.h"
#include "framework/handles.h"
#include "framework/waits.h"

#include <algorithm>

ReadOutcome ReadFileBytes(const std::string& path, std::string& bytes) {
  bytes.clear();
  UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ,
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
    if (MoveFileExA(temporary.c_str(), path.c_str(),
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
    UniqueHandle file(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    written = WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
  }
  if (!written || !MoveIntoPlace(temporary, path)) {
    DeleteFileA(temporary.c_str());
    return false;
  }
  return true;
}

std::string FullPathName(const std::string& path) {
  char buffer[MAX_PATH];
  const DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
  if (length == 0 || length >= sizeof buffer) return path;
  return std::string(buffer, length);
}
