// Named objects of the current user in the current session, for the two hook libraries: the
// values Tavolet publishes to the copies of a library that run in other processes, and the
// handshake event. Only this user (and SYSTEM) may open them; nothing of a lower integrity
// level may write them. Compiled into both libraries, so it uses no C or C++ runtime.
#pragma once

#include <windows.h>

// Memory of `size` bytes named "Local\<baseName>-<user's SID>", mapped for reading and
// writing; null when it cannot be made, or when one of that name exists that another user made.
// The name lives while some process holds a handle of it: every user of the memory keeps the
// handle (`mapping`) as long as its view, so a later Tavolet finds what the shell reads.
void* CreateUserMapping(const wchar_t* baseName, DWORD size, HANDLE& mapping);
// The same memory, mapped for reading only; null while nobody has made it.
const void* OpenUserMapping(const wchar_t* baseName, DWORD size, HANDLE& mapping);
// Lets go of a view and its handle.
void CloseUserMapping(const void* view, HANDLE mapping);
// A manual-reset event, made non-signalled, that this user's processes of this integrity level
// or above may set (the shell runs at medium level when Tavolet runs elevated). Null when it
// cannot be made or exists already (`busy` is then true).
HANDLE CreateUserEvent(const wchar_t* name, bool& busy);
