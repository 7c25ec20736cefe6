// The benchmarks measure the table and the file, not a registry: registration always succeeds.
#include "hotkeys/hotkey_registration.h"

bool RegisterSystemHotKey(int32_t, uint32_t, uint32_t) { return true; }
bool UnregisterSystemHotKey(int32_t) { return true; }
