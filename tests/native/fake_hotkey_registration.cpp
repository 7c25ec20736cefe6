#include "tests/native/fake_hotkey_registration.h"

#include "hotkeys/hotkey_registration.h"

FakeHotKeySystem& FakeHotKeys() {
  static FakeHotKeySystem system;
  return system;
}

bool FakeHotKeySystem::IsTaken(uint32_t modifiers, uint32_t virtualKey) const {
  for (const auto& [id, combination] : registered) {
    if (combination == std::make_pair(modifiers, virtualKey)) return true;
  }
  for (const auto& [id, combination] : keptBeside) {
    if (combination == std::make_pair(modifiers, virtualKey)) return true;
  }
  return false;
}

bool RegisterSystemHotKey(int32_t hotKeyId, uint32_t modifiers, uint32_t virtualKey) {
  FakeHotKeySystem& system = FakeHotKeys();
  ++system.registerCalls;
  if (system.IsTaken(modifiers, virtualKey)) return false;
  auto held = system.registered.find(hotKeyId);
  if (held != system.registered.end()) system.keptBeside.insert(*held);
  system.registered[hotKeyId] = {modifiers, virtualKey};
  return true;
}

bool UnregisterSystemHotKey(int32_t hotKeyId) {
  FakeHotKeySystem& system = FakeHotKeys();
  ++system.unregisterCalls;
  auto kept = system.keptBeside.find(hotKeyId);
  if (kept != system.keptBeside.end()) system.keptBeside.erase(kept);
  return system.registered.erase(hotKeyId) == 1;
}
