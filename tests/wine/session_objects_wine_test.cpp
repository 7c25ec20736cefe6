// The named memory and event through which Tavolet reaches the hook libraries' copies in other
// processes: only the user and the system may open them, the shell's side only reads.
#include <windows.h>
#include <aclapi.h>
#include <gtest/gtest.h>

#include "framework/session_objects.h"

namespace {

bool IsUser(PSID sid) {
  HANDLE token = nullptr;
  OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
  alignas(8) BYTE buffer[256];
  DWORD size = 0;
  const bool user = GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size) &&
                    EqualSid(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, sid);
  CloseHandle(token);
  return user;
}

void ExpectOnlyTheUserAndTheSystem(HANDLE object) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_EQ(GetSecurityInfo(object, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                            nullptr, &dacl, nullptr, &descriptor),
            static_cast<DWORD>(ERROR_SUCCESS));
  ASSERT_NE(dacl, nullptr);
  EXPECT_EQ(dacl->AceCount, 2);
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    ACCESS_ALLOWED_ACE* ace = nullptr;
    ASSERT_TRUE(GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
    EXPECT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
    PSID sid = &ace->SidStart;
    EXPECT_TRUE(IsUser(sid) || IsWellKnownSid(sid, WinLocalSystemSid)) << "ACE " << i;
  }
  LocalFree(descriptor);
}

TEST(SessionObjects, OnlyTheUserAndTheSystemMayOpenThem) {
  HANDLE mapping = nullptr;
  void* view = CreateUserMapping(L"TavoletTest", 64, mapping);
  ASSERT_NE(view, nullptr);
  ExpectOnlyTheUserAndTheSystem(mapping);
  bool busy = true;
  HANDLE event = CreateUserEvent(L"TavoletTestEvent", busy);
  ASSERT_NE(event, nullptr);
  EXPECT_FALSE(busy);
  ExpectOnlyTheUserAndTheSystem(event);
  EXPECT_EQ(CreateUserEvent(L"TavoletTestEvent", busy), nullptr);
  EXPECT_TRUE(busy) << "one handshake at a time";
  CloseHandle(event);
  CloseUserMapping(view, mapping);
}

TEST(SessionObjects, ReadersSeeWhatIsPublishedAndCannotWriteIt) {
  HANDLE mapping = nullptr;
  auto* published = static_cast<volatile LONG*>(CreateUserMapping(L"TavoletTest", 64, mapping));
  ASSERT_NE(published, nullptr);
  *published = 42;
  HANDLE readMapping = nullptr;
  const void* read = OpenUserMapping(L"TavoletTest", 64, readMapping);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(*static_cast<const volatile LONG*>(read), 42);
  MEMORY_BASIC_INFORMATION info{};
  ASSERT_NE(VirtualQuery(read, &info, sizeof info), 0u);
  EXPECT_EQ(info.Protect, static_cast<DWORD>(PAGE_READONLY));
  CloseUserMapping(read, readMapping);
  CloseUserMapping(const_cast<LONG*>(published), mapping);
  EXPECT_EQ(OpenUserMapping(L"TavoletTest", 64, readMapping), nullptr) << "gone with its users";
}

}  // namespace
