#include "hotkeys/hotkey_flags.h"

#include "hotkeys/key_names.h"

bool IsExtendedVirtualKey(uint32_t virtualKey) {
  switch (virtualKey & 0xFF) {
    case 0x03:  // Break
    case 0x21:
    case 0x22:
    case 0x23:
    case 0x24:  // Page Up, Page Down, End, Home
    case 0x25:
    case 0x26:
    case 0x27:
    case 0x28:  // arrows
    case 0x2C:
    case 0x2D:
    case 0x2E:  // Print Screen, Insert, Delete
    case 0x5B:
    case 0x5C:
    case 0x5D:  // Windows keys, application key
    case 0x6F:  // keypad divide
    case 0x90:  // Num Lock
    case 0xA3:
    case 0xA5:  // right Ctrl, right Alt
      return true;
    default:
      return (virtualKey & 0xFF) >= 0xA6 && (virtualKey & 0xFF) <= 0xB7;  // browser, media keys
  }
}

HotKeyControlState HotKeyControlFromEntry(uint32_t virtualKey, uint32_t modifiers) {
  HotKeyControlState state;
  if (virtualKey == 0) return state;
  state.virtualKey = static_cast<uint8_t>(virtualKey & 0xFF);
  if (modifiers & kModAlt) state.flags |= kHotKeyFlagAlt;
  if (modifiers & kModControl) state.flags |= kHotKeyFlagControl;
  if (modifiers & kModShift) state.flags |= kHotKeyFlagShift;
  if (IsExtendedVirtualKey(virtualKey)) state.flags |= kHotKeyFlagExtended;
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

uint32_t ModifiersToRegister(uint32_t modifiers, bool systemHasNoRepeat) {
  return systemHasNoRepeat ? modifiers | kModNoRepeat : modifiers;
}
