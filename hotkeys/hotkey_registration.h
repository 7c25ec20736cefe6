// The system side of a hot key: registration against the application's main window.
// Tavolet links the Win32 version; the native tests link a recording stand-in.
#pragma once

#include <cstdint>

bool RegisterSystemHotKey(int32_t hotKeyId, uint32_t modifiers, uint32_t virtualKey);
bool UnregisterSystemHotKey(int32_t hotKeyId);
