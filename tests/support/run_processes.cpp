#include "tests/support/run_processes.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

unsigned long long StartTime(HANDLE process) {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  return (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

std::string RecordPath() {
  char path[MAX_PATH] = "";
  const DWORD length = GetEnvironmentVariableA("TAVOLET_TEST_PROCESSES", path, sizeof path);
  return length > 0 && length < sizeof path ? std::string(path, length) : std::string();
}

// Shared every way, so a reader never stands in the way of a writer.
HANDLE OpenRecord(const std::string& path, DWORD access, DWORD disposition) {
  return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string ReadRecord(const std::string& path) {
  std::string text;
  HANDLE file = OpenRecord(path, GENERIC_READ, OPEN_EXISTING);
  if (file == INVALID_HANDLE_VALUE) return text;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
  CloseHandle(file);
  return text;
}

// The file name of the process's program, lower case ("" when it cannot be read).
std::string ProgramName(HANDLE process) {
  char path[MAX_PATH] = "";
  DWORD length = sizeof path;
  if (!QueryFullProcessImageNameA(process, 0, path, &length)) return std::string();
  std::string name(path, length);
  name.erase(0, name.find_last_of("\\/") + 1);
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name;
}

// Only the very process recorded: same id, same start time, same program.
bool EndIfStillOurs(DWORD processId, unsigned long long startTime, const std::string& name) {
  HANDLE process = OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE,
                               FALSE, processId);
  if (!process) return false;
  bool ended = false;
  if (startTime != 0 && StartTime(process) == startTime && ProgramName(process) == name &&
      WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process, 0xDEAD);
    ended = WaitForSingleObject(process, 5000) == WAIT_OBJECT_0;
  }
  CloseHandle(process);
  return ended;
}

}  // namespace

void RecordStartedProcess(HANDLE process) {
  const std::string path = RecordPath();
  if (path.empty() || !process) return;
  char line[MAX_PATH + 64];
  const int length = std::snprintf(line, sizeof line, "%lu %llu %s\n", GetProcessId(process),
                                   StartTime(process), ProgramName(process).c_str());
  HANDLE file = OpenRecord(path, FILE_APPEND_DATA, OPEN_ALWAYS);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
  CloseHandle(file);
}

int EndLeftoverProcesses() {
  const std::string path = RecordPath();
  if (path.empty()) return 0;
  const std::string text = ReadRecord(path);
  int ended = 0;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    unsigned long processId = 0;
    unsigned long long startTime = 0;
    char name[MAX_PATH] = "";
    const std::string line = text.substr(start, end - start);
    if (std::sscanf(line.c_str(), "%lu %llu %259s", &processId, &startTime, name) != 3 ||
        processId == GetCurrentProcessId()) {
      continue;
    }
    if (EndIfStillOurs(processId, startTime, name)) {
      std::printf("[ leftover ] ended %s (process %lu), started by an earlier test\n", name,
                  processId);
      ++ended;
    }
  }
  std::fflush(stdout);
  return ended;
}
