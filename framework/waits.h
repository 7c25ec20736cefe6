// Waits of the user-interface thread that keep answering the messages other threads send it:
// the system calls hooks back on this thread, and other programs wait for those answers.
#pragma once

#include <windows.h>

#include <functional>

// Waits for the handle (or, with a null handle, for the time) up to `timeoutMs`; returns
// WAIT_OBJECT_0 when the handle was signalled and WAIT_TIMEOUT otherwise.
DWORD WaitHandlingSentMessages(HANDLE handle, DWORD timeoutMs);
inline void SleepHandlingSentMessages(DWORD ms) { WaitHandlingSentMessages(nullptr, ms); }

// Whether the window's thread answers within the time: calls that send it messages without a
// bound (placement, style changes) are made only to windows that do.
bool WindowAnswers(HWND window, DWORD timeoutMs = 500);

// Runs `work` on a thread of its own and waits for it up to `timeoutMs`, answering sent
// messages; true when it finished in time. Work that did not goes on alone and must own all it
// touches: a window that stops answering in the middle of a call then holds only that thread.
bool RunWithin(DWORD timeoutMs, std::function<void()> work);
