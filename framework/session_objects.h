// Named objects of the current user in the current session, for the two hook libraries: the
// values Tavolet publishes to the copies of a library that run in other processes, and the
// handshake event. Only this user (and SYSTEM) may open them; nothing of a lower integrity
// level may write them. A name another process made first (another user, a sandboxed process of
// this user) is never taken for ours, and never keeps Tavolet from publishing: it then uses a
// name nobody can guess. Compiled into both libraries, so it uses no C or C++ runtime.
#pragma once

#include <windows.h>

#include <cstdint>

// Tavolet's side: memory it writes and the copies in other processes read.
struct PublishedMemory {
  void* view;
  HANDLE mapping;
  // A window of this process that tells readers the unguessable name, where the usual one was
  // taken by someone else.
  HWND announcer;
};

// Memory of `size` bytes named "Local\<baseName>-<user's SID>", mapped for reading and writing:
// made here, or taken up where an earlier Tavolet's still lives (some process holds it) and it is
// ours by owner, access list and label. Where that name belongs to someone else, the memory gets
// a name of 64 random bits, announced by a window of this thread. False when nothing could be
// made.
bool CreateUserMapping(const wchar_t* baseName, DWORD size, PublishedMemory& memory);
void CloseUserMapping(PublishedMemory& memory);

// A reader's read-only view of that memory. Zero-initialised; kept once found (or until the
// Tavolet that announced it has ended). After a look that found nothing, the next is at least a
// second later. Safe for several threads of one process to use at once.
struct MemoryReader {
  void* volatile view;  // mapped read-only
  HANDLE mapping;
  HWND announcer;
  volatile LONG lastLook;
  volatile LONG looked;
};
const void* ReadUserMapping(const wchar_t* baseName, DWORD size, MemoryReader& reader);
// Only where no other thread can be reading (the library leaving the process).
void CloseUserMapping(MemoryReader& reader);

// A manual-reset event, made non-signalled, named "Local\<baseName>-<SID>-<nonce>" with a fresh
// random nonce that this user's processes of medium integrity or above may set. Null when it
// cannot be made.
HANDLE CreateUserEvent(const wchar_t* baseName, uint32_t& nonce);
// Sets the event of that name and nonce, where there is one.
void SetUserEvent(const wchar_t* baseName, uint32_t nonce);

// A message-only window of this thread, of a class of this library's; null when none can be made.
HWND CreateMessageWindow(const wchar_t* className, WNDPROC procedure, const wchar_t* caption);

// Random bytes from the system; false when it has none to give.
bool RandomBytes(void* buffer, ULONG size);
