// Translation between the hot-key control (HOTKEYF_* flags, no Windows key) plus the
// "Windowsキー" check box, and the MOD_* modifiers kept in an entry.
#pragma once

#include <cstdint>
#include <optional>

constexpr uint8_t kHotKeyFlagShift = 0x01;
constexpr uint8_t kHotKeyFlagControl = 0x02;
constexpr uint8_t kHotKeyFlagAlt = 0x04;
constexpr uint8_t kHotKeyFlagExtended = 0x08;

struct HotKeyControlState {
  uint8_t virtualKey = 0;  // 0: the control stays empty
  uint8_t flags = 0;
  bool windowsKey = false;

  // The word HKM_SETHOTKEY takes: key in the low byte, flags in the high byte.
  uint16_t ControlWord() const { return static_cast<uint16_t>(virtualKey | (flags << 8)); }
};

struct HotKeyCombination {
  uint32_t virtualKey = 0;
  uint32_t modifiers = 0;
};

// Keys whose scan code carries the extended prefix (the cursor and editing block, the keypad's
// divide, Num Lock, Break, Print Screen, the Windows, application and media keys): the control
// reports them with HOTKEYF_EXT.
bool IsExtendedVirtualKey(uint32_t virtualKey);

// HOTKEYF_EXT is set for an extended key, so an entry opened and saved unchanged stays the same
// (an extended key alone is only accepted with that flag).
HotKeyControlState HotKeyControlFromEntry(uint32_t virtualKey, uint32_t modifiers);

// Empty when OK must be refused: no key, or a key with no flag at all and no Windows key.
// HOTKEYF_EXT counts as a flag, so an extended key alone is accepted with modifiers 0.
std::optional<HotKeyCombination> HotKeyCombinationFromControl(uint8_t virtualKey, uint8_t flags,
                                                              bool windowsKey);

// The modifiers a registration is made with: an entry's own, plus "no repeat" where the system
// has it, so a held combination runs its action once. Entries keep their modifiers unchanged.
uint32_t ModifiersToRegister(uint32_t modifiers, bool systemHasNoRepeat);
