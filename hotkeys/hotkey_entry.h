// One configured hot key: its stored record plus the run-time fields.
#pragma once

#include <cstdint>
#include <string>

#include "hotkeys/key_record.h"

struct HWND__;  // the Win32 window handle type, without the Windows headers

class HotKeyEntry : public KeyRecord {
 public:
  HotKeyEntry() = default;
  // Unregisters the hot key when it holds an id, then unlinks the entry from its table.
  virtual ~HotKeyEntry();
  HotKeyEntry(const HotKeyEntry&) = delete;
  HotKeyEntry& operator=(const HotKeyEntry&) = delete;

  // Copies the stored fields and hotKeyId; leaves window, links and filePath alone.
  void CopyFrom(const HotKeyEntry& other);
  // Both keep `registered` up to date. Register lets go of a combination the entry holds
  // first, so an edited entry never fires for its old keys too.
  bool Register();
  bool Unregister();

  HWND__* window = nullptr;
  int32_t hotKeyId = 0;
  // Run time only: whether the system took the combination (another program may hold it).
  bool registered = false;
  HotKeyEntry* prev = nullptr;
  HotKeyEntry* next = nullptr;
  std::string filePath;
};
