#include "hotkeys/hotkey_flags.h"

#include "hotkeys/key_names.h"

HotKeyControlState HotKeyControlFromEntry(uint32_t virtualKey, uint32_t modifiers) {
  HotKeyControlState state;
  if (virtualKey == 0) return state;
  state.virtualKey = static_cast<uint8_t>(virtualKey & 0xFF);
  if (modifiers & kModAlt) state.flags |= kHotKeyFlagAlt;
  if (modifiers & kModControl) state.flags |= kHotKeyFlagControl;
  if (modifiers & kModShift) state.flags |= kHotKeyFlagShift;
  state.windowsKey = (modifiers & kModWin) != 0;
  return state;
}

std::optional<HotKeyCombination> HotKeyCombinationFromControl(uint8_t virtualKey, uint8_t flags,
                                                              bool windowsKey) {
  if (virtualKey == 0) return std::nullopt;
  if (flags == 0 && !windowsKey) return std::nullopt;
  HotKeyCombination combination;
  combination.virtualKey = virtualKey;
  if (flags & kHotKeyFlagAlt) combination.modifiers |= kModAlt;
  if (flags & kHotKeyFlagControl) combination.modifiers |= kModControl;
  if (flags & kHotKeyFlagShift) combination.modifiers |= kModShift;
  if (windowsKey) combination.modifiers |= kModWin;
  return combination;
}
