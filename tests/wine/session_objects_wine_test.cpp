// The named memory and event through which Tavolet reaches the hook libraries' copies in other
// processes: only the user and the system may open them, the shell's side only reads, and a
// name someone else made first neither stops nor steers them.
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "framework/session_objects.h"
#include "tests/support/win_test_support.h"

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
  ASSERT_EQ(GetSecurityInfo(object, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                            &dacl, nullptr, &descriptor),
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

// The first word of the test's memory as a reader in another process finds it; -1 for none.
LONG WhatAReaderSees() {
  MemoryReader reader{};
  const auto* read = static_cast<const volatile LONG*>(ReadUserMapping(L"TavoletTest", 64, reader));
  const LONG value = read ? *read : -1;
  CloseUserMapping(reader);
  return value;
}

TEST(SessionObjects, OnlyTheUserAndTheSystemMayOpenThem) {
  PublishedMemory memory{};
  ASSERT_TRUE(CreateUserMapping(L"TavoletTest", 64, memory));
  ExpectOnlyTheUserAndTheSystem(memory.mapping);
  uint32_t nonce = 0, otherNonce = 0;
  HANDLE event = CreateUserEvent(L"TavoletTestEvent", nonce);
  ASSERT_NE(event, nullptr);
  ExpectOnlyTheUserAndTheSystem(event);
  HANDLE other = CreateUserEvent(L"TavoletTestEvent", otherNonce);
  ASSERT_NE(other, nullptr) << "every request has an event of its own";
  EXPECT_NE(nonce, otherNonce);
  SetUserEvent(L"TavoletTestEvent", nonce);
  EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_EQ(WaitForSingleObject(other, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  CloseHandle(other);
  CloseHandle(event);
  CloseUserMapping(memory);
}

TEST(SessionObjects, ReadersSeeWhatIsPublishedAndCannotWriteIt) {
  PublishedMemory memory{};
  ASSERT_TRUE(CreateUserMapping(L"TavoletTest", 64, memory));
  *static_cast<volatile LONG*>(memory.view) = 42;
  MemoryReader reader{};
  const void* read = ReadUserMapping(L"TavoletTest", 64, reader);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(*static_cast<const volatile LONG*>(read), 42);
  MEMORY_BASIC_INFORMATION info{};
  ASSERT_NE(VirtualQuery(read, &info, sizeof info), 0u);
  EXPECT_EQ(info.Protect, static_cast<DWORD>(PAGE_READONLY));
  CloseUserMapping(reader);
  CloseUserMapping(memory);
  MemoryReader later{};
  EXPECT_EQ(ReadUserMapping(L"TavoletTest", 64, later), nullptr) << "gone with its users";
}

// Taken first with an access list that lets others write: Tavolet publishes elsewhere, and
// readers find what it wrote, whatever the squatter writes afterwards.
TEST(SessionObjects, ANameTakenFirstWithAnOpenListSteersNothing) {
  NameTakenFirst squatter(L"TavoletTest", L"D:(A;;GA;;;WD)");
  ASSERT_NE(squatter.view(), nullptr);
  PublishedMemory memory{};
  ASSERT_TRUE(CreateUserMapping(L"TavoletTest", 64, memory));
  *static_cast<volatile LONG*>(memory.view) = 42;
  *squatter.view() = 666;
  EXPECT_EQ(WhatAReaderSees(), 42);
  CloseUserMapping(memory);
}

// Another user's object of that name (SIDs are public) does not keep Tavolet from publishing.
TEST(SessionObjects, ANameAnotherUserTookFirstStopsNothing) {
  const std::wstring name = UserObjectName(L"TavoletTest");
  const std::wstring sid = name.substr(name.find(L"-S-") + 1);
  NameTakenFirst squatter(L"TavoletTest",
                          L"O:S-1-5-21-1-2-3-1001D:P(A;;GA;;;" + sid + L")(A;;GA;;;SY)");
  ASSERT_NE(squatter.view(), nullptr);
  *squatter.view() = 666;
  PublishedMemory memory{};
  ASSERT_TRUE(CreateUserMapping(L"TavoletTest", 64, memory));
  EXPECT_EQ(*static_cast<volatile LONG*>(memory.view), 0) << "memory of its own";
  *static_cast<volatile LONG*>(memory.view) = 42;
  EXPECT_EQ(WhatAReaderSees(), 42);
  CloseUserMapping(memory);
}

// A hook procedure that found nothing does not look on every call of its program.
TEST(SessionObjects, AReaderThatFoundNothingLooksAgainOnlyASecondLater) {
  MemoryReader reader{};
  EXPECT_EQ(ReadUserMapping(L"TavoletTest", 64, reader), nullptr);
  PublishedMemory memory{};
  ASSERT_TRUE(CreateUserMapping(L"TavoletTest", 64, memory));
  EXPECT_EQ(ReadUserMapping(L"TavoletTest", 64, reader), nullptr);
  Sleep(1100);
  EXPECT_NE(ReadUserMapping(L"TavoletTest", 64, reader), nullptr);
  CloseUserMapping(reader);
  CloseUserMapping(memory);
}

// The first calls of several threads of one program map one view between them.
TEST(SessionObjects, ThreadsThatLookAtOnceShareOneView) {
  PublishedMemory memory{};
  ASSERT_TRUE(CreateUserMapping(L"TavoletTest", 64, memory));
  MemoryReader reader{};
  volatile LONG waiting = 8;
  std::vector<const void*> views(8);
  std::vector<std::thread> threads;
  for (int i = 0; i < 8; ++i) {
    threads.emplace_back([&, i] {
      InterlockedDecrement(&waiting);
      while (waiting > 0) {
      }
      views[i] = ReadUserMapping(L"TavoletTest", 64, reader);
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (const void* view : views) EXPECT_EQ(view, reader.view);
  CloseUserMapping(reader);
  CloseUserMapping(memory);
}

}  // namespace
