#include "framework/waits.h"

#include <memory>
#include <thread>
#include <utility>

#include "framework/handles.h"

DWORD WaitHandlingSentMessages(HANDLE handle, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  const DWORD count = handle ? 1 : 0;
  for (;;) {
    const DWORD used = GetTickCount() - start;
    if (used >= timeoutMs) {
      return handle && WaitForSingleObject(handle, 0) == WAIT_OBJECT_0 ? WAIT_OBJECT_0
                                                                       : WAIT_TIMEOUT;
    }
    const DWORD result = MsgWaitForMultipleObjectsEx(count, handle ? &handle : nullptr,
                                                     timeoutMs - used, QS_SENDMESSAGE, 0);
    if (handle && result == WAIT_OBJECT_0) return WAIT_OBJECT_0;
    if (result == WAIT_OBJECT_0 + count) {
      // Only sent messages are handled here; posted ones stay for the message loop.
      MSG msg;
      PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    } else if (result == WAIT_FAILED) {
      Sleep(10);
    }
  }
}

bool WindowAnswers(HWND window, DWORD timeoutMs) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL, timeoutMs,
                             &ignored) != 0;
}

bool RunWithin(DWORD timeoutMs, std::function<void()> work) {
  struct Shared {
    std::function<void()> work;
    UniqueHandle done{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
  };
  auto shared = std::make_shared<Shared>();
  if (!shared->done) return false;
  shared->work = std::move(work);
  std::thread([shared] {
    shared->work();
    SetEvent(shared->done.get());
  }).detach();
  return WaitHandlingSentMessages(shared->done.get(), timeoutMs) == WAIT_OBJECT_0;
}
