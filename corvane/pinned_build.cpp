#include "corvane/pinned_build.h"

#include <tlhelp32.h>

namespace {

// The build's identity the linker writes (--build-id): a hash of the library's contents, in a
// CodeView record of its debug directory.
struct BuildId {
  DWORD signature;  // 'RSDS'
  BYTE hash[20];    // GUID and age
};
constexpr DWORD kCodeViewSignature = 0x53445352;
constexpr DWORD kMaxDebugEntries = 8;

bool Read(HANDLE process, const BYTE* address, void* into, SIZE_T size) {
  SIZE_T done = 0;
  return ReadProcessMemory(process, address, into, size, &done) && done == size;
}

bool ReadBuildId(HANDLE process, const BYTE* base, BuildId& id) {
  IMAGE_DOS_HEADER dos{};
  IMAGE_NT_HEADERS headers{};
  if (!Read(process, base, &dos, sizeof dos) || dos.e_magic != IMAGE_DOS_SIGNATURE ||
      !Read(process, base + dos.e_lfanew, &headers, sizeof headers) ||
      headers.Signature != IMAGE_NT_SIGNATURE ||
      headers.OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR_MAGIC) {
    return false;
  }
  const IMAGE_DATA_DIRECTORY& debug =
      headers.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_DEBUG];
  const DWORD entries = debug.Size / sizeof(IMAGE_DEBUG_DIRECTORY);
  for (DWORD i = 0; debug.VirtualAddress && i < entries && i < kMaxDebugEntries; ++i) {
    IMAGE_DEBUG_DIRECTORY entry{};
    if (Read(process, base + debug.VirtualAddress + i * sizeof entry, &entry, sizeof entry) &&
        entry.Type == IMAGE_DEBUG_TYPE_CODEVIEW && entry.AddressOfRawData &&
        entry.SizeOfData >= sizeof id &&
        Read(process, base + entry.AddressOfRawData, &id, sizeof id) &&
        id.signature == kCodeViewSignature) {
      return true;
    }
  }
  return false;
}

bool SameBuild(const BuildId& a, const BuildId& b) {
  for (DWORD i = 0; i < sizeof a.hash; ++i) {
    if (a.hash[i] != b.hash[i]) return false;
  }
  return true;
}

}  // namespace

bool ShellHoldsAnotherBuild(HWND list, HMODULE library) {
  wchar_t path[MAX_PATH];
  BuildId ours{};
  DWORD shellId = 0;
  if (!GetModuleFileNameW(library, path, MAX_PATH) || !GetWindowThreadProcessId(list, &shellId) ||
      !ReadBuildId(GetCurrentProcess(), reinterpret_cast<const BYTE*>(library), ours)) {
    return false;
  }
  HANDLE modules = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, shellId);
  if (modules == INVALID_HANDLE_VALUE) return false;
  const BYTE* held = nullptr;
  MODULEENTRY32W module{};
  module.dwSize = sizeof module;
  for (BOOL more = Module32FirstW(modules, &module); more && !held;
       more = Module32NextW(modules, &module)) {
    // The path it was loaded from, also after the file was renamed aside for an update.
    if (lstrcmpiW(module.szExePath, path) == 0) held = module.modBaseAddr;
  }
  CloseHandle(modules);
  if (!held) return false;
  HANDLE shell = OpenProcess(PROCESS_VM_READ | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, shellId);
  BuildId theirs{};
  const bool known = shell && ReadBuildId(shell, held, theirs);
  if (shell) CloseHandle(shell);
  return !known || !SameBuild(ours, theirs);
}
