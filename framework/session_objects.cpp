#include "framework/session_objects.h"

#include <aclapi.h>
#include <sddl.h>

namespace {

constexpr int kNameChars = 256;

// The user's SID as text, found once per process. Empty when the token cannot be read.
const wchar_t* UserSid() {
  static wchar_t text[128];
  static bool looked = false;
  if (looked) return text;
  looked = true;
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return text;
  alignas(8) BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  DWORD size = 0;
  wchar_t* converted = nullptr;
  if (GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size) &&
      ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &converted)) {
    if (lstrlenW(converted) < static_cast<int>(sizeof text / sizeof text[0])) {
      lstrcpyW(text, converted);
    }
    LocalFree(converted);
  }
  CloseHandle(token);
  return text;
}

bool UserObjectName(const wchar_t* baseName, wchar_t (&name)[kNameChars]) {
  const wchar_t* sid = UserSid();
  if (!*sid || lstrlenW(baseName) + lstrlenW(sid) + 8 >= kNameChars) return false;
  lstrcpyW(name, L"Local\\");
  lstrcatW(name, baseName);
  lstrcatW(name, L"-");
  lstrcatW(name, sid);
  return true;
}

// An access list for the user and SYSTEM only, with `rights` each, and this mandatory label.
class UserOnlyAttributes {
 public:
  UserOnlyAttributes(const wchar_t* rights, const wchar_t* label) {
    const wchar_t* sid = UserSid();
    if (!*sid) return;
    wchar_t sddl[kNameChars + 64];
    wsprintfW(sddl, L"D:P(A;;%s;;;%s)(A;;%s;;;SY)%s", rights, sid, rights, label);
    if (ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor_,
                                                             nullptr)) {
      attributes_.lpSecurityDescriptor = descriptor_;
    }
  }
  ~UserOnlyAttributes() {
    if (descriptor_) LocalFree(descriptor_);
  }
  UserOnlyAttributes(const UserOnlyAttributes&) = delete;
  UserOnlyAttributes& operator=(const UserOnlyAttributes&) = delete;
  // Null when no descriptor could be made: then nothing is created.
  SECURITY_ATTRIBUTES* get() { return descriptor_ ? &attributes_ : nullptr; }

 private:
  PSECURITY_DESCRIPTOR descriptor_ = nullptr;
  SECURITY_ATTRIBUTES attributes_{sizeof(SECURITY_ATTRIBUTES), nullptr, FALSE};
};

// Whether the SID is the owner this process gives the objects it makes.
bool IsDefaultOwner(PSID sid) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  alignas(8) BYTE buffer[sizeof(TOKEN_OWNER) + SECURITY_MAX_SID_SIZE];
  DWORD size = 0;
  const bool same = GetTokenInformation(token, TokenOwner, buffer, sizeof buffer, &size) &&
                    EqualSid(reinterpret_cast<TOKEN_OWNER*>(buffer)->Owner, sid);
  CloseHandle(token);
  return same;
}

// An object of that name made by this user (its own default owner, the user, or, elevated,
// the administrators; or the system) is ours; one another user made first is not trusted.
bool OwnedByThisUser(HANDLE object) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetSecurityInfo(object, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                      nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
    return false;
  }
  bool ours = IsWellKnownSid(owner, WinBuiltinAdministratorsSid) ||
              IsWellKnownSid(owner, WinLocalSystemSid) || IsDefaultOwner(owner);
  PSID user = nullptr;
  if (!ours && ConvertStringSidToSidW(UserSid(), &user)) {
    ours = EqualSid(owner, user) != FALSE;
    LocalFree(user);
  }
  LocalFree(descriptor);
  return ours;
}

}  // namespace

void* CreateUserMapping(const wchar_t* baseName, DWORD size, HANDLE& mapping) {
  mapping = nullptr;
  wchar_t name[kNameChars];
  if (!UserObjectName(baseName, name)) return nullptr;
  UserOnlyAttributes attributes(L"GA", L"");
  if (!attributes.get()) return nullptr;
  HANDLE made =
      CreateFileMappingW(INVALID_HANDLE_VALUE, attributes.get(), PAGE_READWRITE, 0, size, name);
  if (!made) return nullptr;
  void* view = nullptr;
  if (GetLastError() != ERROR_ALREADY_EXISTS || OwnedByThisUser(made)) {
    view = MapViewOfFile(made, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, size);
  }
  if (view) {
    mapping = made;
  } else {
    CloseHandle(made);
  }
  return view;
}

const void* OpenUserMapping(const wchar_t* baseName, DWORD size, HANDLE& mapping) {
  mapping = nullptr;
  wchar_t name[kNameChars];
  if (!UserObjectName(baseName, name)) return nullptr;
  HANDLE opened = OpenFileMappingW(FILE_MAP_READ, FALSE, name);
  if (!opened) return nullptr;
  const void* view = MapViewOfFile(opened, FILE_MAP_READ, 0, 0, size);
  if (view) {
    mapping = opened;
  } else {
    CloseHandle(opened);
  }
  return view;
}

void CloseUserMapping(const void* view, HANDLE mapping) {
  if (view) UnmapViewOfFile(view);
  if (mapping) CloseHandle(mapping);
}

HANDLE CreateUserEvent(const wchar_t* name, bool& busy) {
  busy = false;
  // EVENT_ALL_ACCESS for the user and SYSTEM; no write up from below medium level.
  UserOnlyAttributes attributes(L"0x1F0003", L"S:(ML;;NW;;;ME)");
  if (!attributes.get()) return nullptr;
  HANDLE event = CreateEventW(attributes.get(), TRUE, FALSE, name);
  if (event && GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(event);
    busy = true;
    return nullptr;
  }
  return event;
}
