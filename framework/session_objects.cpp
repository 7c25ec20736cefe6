#include "framework/session_objects.h"

#include <aclapi.h>
#include <ntsecapi.h>
#include <sddl.h>

#include "framework/trust_rules.h"

namespace {

constexpr int kNameChars = 256;
constexpr int kMaxAces = 16;
constexpr int kMaxLabels = 4;
constexpr int kCreateTries = 8;
const wchar_t kAnnouncerClass[] = L"TavoletPublishedName";

// The user's SID and the owner this process gives what it makes, read from its token (on every
// use: threads of one process may ask at the same time).
class TokenSids {
 public:
  TokenSids() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return;
    DWORD size = 0;
    known_ = GetTokenInformation(token, TokenUser, user_, sizeof user_, &size) &&
             GetTokenInformation(token, TokenOwner, owner_, sizeof owner_, &size);
    CloseHandle(token);
  }
  bool known() const { return known_; }
  PSID user() const { return reinterpret_cast<const TOKEN_USER*>(user_)->User.Sid; }
  PSID owner() const { return reinterpret_cast<const TOKEN_OWNER*>(owner_)->Owner; }

 private:
  alignas(8) BYTE user_[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  alignas(8) BYTE owner_[sizeof(TOKEN_OWNER) + SECURITY_MAX_SID_SIZE];
  bool known_ = false;
};

// The user's SID as text; empty when it cannot be had.
class SidText {
 public:
  SidText() {
    TokenSids sids;
    wchar_t* converted = nullptr;
    if (!sids.known() || !ConvertSidToStringSidW(sids.user(), &converted)) return;
    if (lstrlenW(converted) < static_cast<int>(sizeof text_ / sizeof text_[0])) {
      lstrcpyW(text_, converted);
    }
    LocalFree(converted);
  }
  const wchar_t* get() const { return text_; }

 private:
  wchar_t text_[128] = {};
};

// "Local\<base>-<SID>", followed by "-<suffix>" where there is one.
bool UserObjectName(const wchar_t* baseName, const wchar_t* suffix, wchar_t (&name)[kNameChars]) {
  SidText sid;
  if (!*sid.get() ||
      lstrlenW(baseName) + lstrlenW(sid.get()) + lstrlenW(suffix) + 9 >= kNameChars) {
    return false;
  }
  lstrcpyW(name, L"Local\\");
  lstrcatW(name, baseName);
  lstrcatW(name, L"-");
  lstrcatW(name, sid.get());
  if (*suffix) {
    lstrcatW(name, L"-");
    lstrcatW(name, suffix);
  }
  return true;
}

// An access list for the user and SYSTEM only, with `rights` each, and this mandatory label.
class UserOnlyAttributes {
 public:
  UserOnlyAttributes(const wchar_t* rights, const wchar_t* label) {
    SidText sid;
    if (!*sid.get()) return;
    wchar_t sddl[kNameChars + 64];
    wsprintfW(sddl, L"D:P(A;;%s;;;%s)(A;;%s;;;SY)%s", rights, sid.get(), rights, label);
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

// Read by the medium-level shell also where an elevated Tavolet made it; written by nothing
// below medium.
const wchar_t kMappingRights[] = L"GA";
const wchar_t kMediumLabel[] = L"S:(ML;;NW;;;ME)";

SidKind KindOf(PSID sid, const TokenSids& token) {
  if (!sid || !IsValidSid(sid)) return SidKind::Other;
  if (EqualSid(sid, token.user())) return SidKind::User;
  if (IsWellKnownSid(sid, WinLocalSystemSid)) return SidKind::System;
  if (IsWellKnownSid(sid, WinBuiltinAdministratorsSid)) return SidKind::Administrators;
  if (EqualSid(sid, token.owner())) return SidKind::DefaultOwner;
  return SidKind::Other;
}

// Whether an object found under one of our names is ours: its owner, access list and label.
bool IsTrustworthy(HANDLE object) {
  TokenSids token;
  if (!token.known()) return false;
  PSID owner = nullptr;
  PACL dacl = nullptr;
  PACL sacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetSecurityInfo(
          object, SE_KERNEL_OBJECT,
          OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | LABEL_SECURITY_INFORMATION,
          &owner, nullptr, &dacl, &sacl, &descriptor) != ERROR_SUCCESS) {
    return false;
  }
  AceFacts aces[kMaxAces];
  uint32_t labels[kMaxLabels];
  ObjectFacts facts{KindOf(owner, token), dacl != nullptr, aces, 0, labels, 0};
  bool readable = !dacl || dacl->AceCount <= kMaxAces;
  for (DWORD i = 0; readable && dacl && i < dacl->AceCount; ++i) {
    ACE_HEADER* header = nullptr;
    readable = GetAce(dacl, i, reinterpret_cast<void**>(&header)) != FALSE;
    if (!readable) break;
    const bool allows = header->AceType == ACCESS_ALLOWED_ACE_TYPE;
    const PSID sid = allows ? &reinterpret_cast<ACCESS_ALLOWED_ACE*>(header)->SidStart : nullptr;
    aces[facts.aceCount++] = {allows, KindOf(sid, token)};
  }
  for (DWORD i = 0; readable && sacl && i < sacl->AceCount; ++i) {
    ACE_HEADER* header = nullptr;
    readable = GetAce(sacl, i, reinterpret_cast<void**>(&header)) != FALSE;
    if (!readable || header->AceType != SYSTEM_MANDATORY_LABEL_ACE_TYPE) continue;
    readable = facts.labelCount < kMaxLabels;
    const PSID sid = &reinterpret_cast<SYSTEM_MANDATORY_LABEL_ACE*>(header)->SidStart;
    const UCHAR count = *GetSidSubAuthorityCount(sid);
    if (readable) labels[facts.labelCount++] = count ? *GetSidSubAuthority(sid, count - 1) : 0;
  }
  LocalFree(descriptor);
  return readable && TrustsExistingObject(facts);
}

// "<high 32 bits><low 32 bits>" in hexadecimal.
void NonceText(uint64_t nonce, wchar_t (&text)[20]) {
  wsprintfW(text, L"%08lX%08lX", static_cast<unsigned long>(nonce >> 32),
            static_cast<unsigned long>(nonce & 0xFFFFFFFFu));
}

// The announcer's caption, "<base>-<nonce>".
bool AnnouncedNonce(const wchar_t* caption, const wchar_t* baseName, wchar_t (&nonce)[20]) {
  const int baseLength = lstrlenW(baseName);
  if (lstrlenW(caption) != baseLength + 17 || caption[baseLength] != L'-') return false;
  for (int i = 0; i < baseLength; ++i) {
    if (caption[i] != baseName[i]) return false;
  }
  for (int i = 0; i < 16; ++i) {
    const wchar_t c = caption[baseLength + 1 + i];
    if (!((c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F'))) return false;
    nonce[i] = c;
  }
  nonce[16] = 0;
  return true;
}

HWND Announce(const wchar_t* baseName, const wchar_t* nonce) {
  wchar_t caption[kNameChars];
  if (lstrlenW(baseName) + 18 >= kNameChars) return nullptr;
  lstrcpyW(caption, baseName);
  lstrcatW(caption, L"-");
  lstrcatW(caption, nonce);
  return CreateMessageWindow(kAnnouncerClass, DefWindowProcW, caption);
}

// Memory of that name made here, or an earlier one that is ours; null otherwise.
void* MakeOrTakeUp(const wchar_t* name, DWORD size, bool takeUp, HANDLE& mapping) {
  UserOnlyAttributes attributes(kMappingRights, kMediumLabel);
  if (!attributes.get()) return nullptr;
  HANDLE made =
      CreateFileMappingW(INVALID_HANDLE_VALUE, attributes.get(), PAGE_READWRITE, 0, size, name);
  if (!made) return nullptr;
  void* view = nullptr;
  if (GetLastError() != ERROR_ALREADY_EXISTS || (takeUp && IsTrustworthy(made))) {
    view = MapViewOfFile(made, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, size);
  }
  if (view) {
    mapping = made;
  } else {
    CloseHandle(made);
  }
  return view;
}

// An existing memory of that name that is ours, mapped for reading; null otherwise.
const void* OpenTrustworthy(const wchar_t* name, DWORD size, HANDLE& mapping) {
  HANDLE opened = OpenFileMappingW(FILE_MAP_READ | READ_CONTROL, FALSE, name);
  if (!opened) return nullptr;
  const void* view =
      IsTrustworthy(opened) ? MapViewOfFile(opened, FILE_MAP_READ, 0, 0, size) : nullptr;
  if (view) {
    mapping = opened;
  } else {
    CloseHandle(opened);
  }
  return view;
}

// The first announced memory of that base name that is ours. Windows of other processes may
// announce anything: only what is ours by owner, list and label counts.
const void* FindAnnounced(const wchar_t* baseName, DWORD size, HANDLE& mapping, HWND& announcer) {
  for (HWND window = FindWindowExW(HWND_MESSAGE, nullptr, kAnnouncerClass, nullptr); window;
       window = FindWindowExW(HWND_MESSAGE, window, kAnnouncerClass, nullptr)) {
    wchar_t caption[kNameChars];
    wchar_t nonce[20];
    wchar_t name[kNameChars];
    // Never a message to the window's thread, which may not answer.
    if (!InternalGetWindowText(window, caption, kNameChars) ||
        !AnnouncedNonce(caption, baseName, nonce) || !UserObjectName(baseName, nonce, name)) {
      continue;
    }
    if (const void* view = OpenTrustworthy(name, size, mapping)) {
      announcer = window;
      return view;
    }
  }
  return nullptr;
}

}  // namespace

bool RandomBytes(void* buffer, ULONG size) { return RtlGenRandom(buffer, size) != FALSE; }

HWND CreateMessageWindow(const wchar_t* className, WNDPROC procedure, const wchar_t* caption) {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&CreateMessageWindow), &module);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = module;
  windowClass.lpszClassName = className;
  if (!RegisterClassW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
  return CreateWindowExW(0, className, caption, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module,
                         nullptr);
}

bool CreateUserMapping(const wchar_t* baseName, DWORD size, PublishedMemory& memory) {
  memory = PublishedMemory{};
  wchar_t name[kNameChars];
  if (!UserObjectName(baseName, L"", name)) return false;
  memory.view = MakeOrTakeUp(name, size, true, memory.mapping);
  if (memory.view) return true;
  // Someone else holds the name: a name of our own that nobody can take first.
  for (int tries = 0; tries < kCreateTries; ++tries) {
    uint64_t nonce = 0;
    wchar_t nonceText[20];
    if (!RandomBytes(&nonce, sizeof nonce)) return false;
    NonceText(nonce, nonceText);
    if (!UserObjectName(baseName, nonceText, name)) return false;
    memory.view = MakeOrTakeUp(name, size, false, memory.mapping);
    if (!memory.view) continue;
    memory.announcer = Announce(baseName, nonceText);
    if (memory.announcer) return true;
    CloseUserMapping(memory);
    return false;
  }
  return false;
}

void CloseUserMapping(PublishedMemory& memory) {
  if (memory.announcer) DestroyWindow(memory.announcer);
  if (memory.view) UnmapViewOfFile(memory.view);
  if (memory.mapping) CloseHandle(memory.mapping);
  memory = PublishedMemory{};
}

const void* ReadUserMapping(const wchar_t* baseName, DWORD size, MemoryReader& reader) {
  const void* current = reader.view;
  // Announced memory goes with the Tavolet that announced it; the usual name lives on.
  if (current && (!reader.announcer || IsWindow(reader.announcer))) return current;
  const DWORD now = GetTickCount();
  if (!LooksAgain(reader.looked != 0, static_cast<uint32_t>(reader.lastLook), now)) return nullptr;
  wchar_t name[kNameChars];
  HANDLE mapping = nullptr;
  HWND announcer = nullptr;
  const void* found =
      UserObjectName(baseName, L"", name) ? OpenTrustworthy(name, size, mapping) : nullptr;
  if (!found) found = FindAnnounced(baseName, size, mapping, announcer);
  if (!found) {
    InterlockedExchange(&reader.lastLook, static_cast<LONG>(now));
    InterlockedExchange(&reader.looked, 1);
    return nullptr;
  }
  // Another thread may have found it meanwhile: one view per process. A view replaced after
  // its announcer ended stays mapped, as another thread may still be reading it.
  const void* previous = InterlockedCompareExchangePointer(&reader.view, const_cast<void*>(found),
                                                           const_cast<void*>(current));
  if (previous != current) {
    UnmapViewOfFile(found);
    CloseHandle(mapping);
    return previous;
  }
  reader.mapping = mapping;
  reader.announcer = announcer;
  return found;
}

void CloseUserMapping(MemoryReader& reader) {
  if (reader.view) UnmapViewOfFile(reader.view);
  if (reader.mapping) CloseHandle(reader.mapping);
  reader.view = nullptr;
  reader.mapping = nullptr;
  reader.announcer = nullptr;
  reader.looked = 0;
}

HANDLE CreateUserEvent(const wchar_t* baseName, uint32_t& nonce) {
  // EVENT_ALL_ACCESS for the user and SYSTEM; no write up from below medium level.
  UserOnlyAttributes attributes(L"0x1F0003", kMediumLabel);
  if (!attributes.get()) return nullptr;
  for (int tries = 0; tries < kCreateTries; ++tries) {
    wchar_t suffix[12];
    wchar_t name[kNameChars];
    if (!RandomBytes(&nonce, sizeof nonce)) return nullptr;
    wsprintfW(suffix, L"%08lX", static_cast<unsigned long>(nonce));
    if (!UserObjectName(baseName, suffix, name)) return nullptr;
    HANDLE event = CreateEventW(attributes.get(), TRUE, FALSE, name);
    if (event && GetLastError() != ERROR_ALREADY_EXISTS) return event;
    if (event) CloseHandle(event);  // someone made that name first: another one
  }
  return nullptr;
}

void SetUserEvent(const wchar_t* baseName, uint32_t nonce) {
  wchar_t suffix[12];
  wchar_t name[kNameChars];
  wsprintfW(suffix, L"%08lX", static_cast<unsigned long>(nonce));
  if (!UserObjectName(baseName, suffix, name)) return;
  if (HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, name)) {
    SetEvent(event);
    CloseHandle(event);
  }
}
