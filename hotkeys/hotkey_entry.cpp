#include "hotkeys/hotkey_entry.h"

#include "hotkeys/hotkey_registration.h"

HotKeyEntry::~HotKeyEntry() {
  if (hotKeyId != 0) Unregister();
  if (prev) prev->next = next;
  if (next) next->prev = prev;
}

void HotKeyEntry::CopyFrom(const HotKeyEntry& other) {
  static_cast<KeyRecord&>(*this) = other;
  hotKeyId = other.hotKeyId;
}

bool HotKeyEntry::Register() {
  // The system keeps an earlier combination under the same id beside a new one.
  if (registered) UnregisterSystemHotKey(hotKeyId);
  registered = RegisterSystemHotKey(hotKeyId, modifiers, virtualKey);
  return registered;
}

bool HotKeyEntry::Unregister() {
  registered = false;
  return UnregisterSystemHotKey(hotKeyId);
}
