#include "actions/copy_keys.h"

#include <algorithm>

namespace {

// The system's virtual-key codes, side by side in ModifierKey order.
constexpr uint16_t kVirtualKeys[kModifierKeyCount] = {0xA0, 0xA1, 0xA2, 0xA3,
                                                      0xA4, 0xA5, 0x5B, 0x5C};
constexpr uint16_t kGenericShift = 0x10, kGenericCtrl = 0x11, kGenericAlt = 0x12;

constexpr ModifierSet kCtrlKeys = ModifierBit(LeftCtrl) | ModifierBit(RightCtrl);
constexpr ModifierSet kMenuKeys =
    ModifierBit(LeftAlt) | ModifierBit(RightAlt) | ModifierBit(LeftWin) | ModifierBit(RightWin);

bool IsExtended(ModifierKey key) {
  return key == RightCtrl || key == RightAlt || key == LeftWin || key == RightWin;
}

KeyEvent Event(ModifierKey key, bool up) { return {kVirtualKeys[key], up, IsExtended(key)}; }

void AddEach(std::vector<KeyEvent>& events, ModifierSet keys, bool up) {
  for (int key = 0; key < kModifierKeyCount; ++key) {
    if (keys & ModifierBit(static_cast<ModifierKey>(key))) {
      events.push_back(Event(static_cast<ModifierKey>(key), up));
    }
  }
}

void AddMaskTap(std::vector<KeyEvent>& events) {
  events.push_back({kMaskVirtualKey, false, false});
  events.push_back({kMaskVirtualKey, true, false});
}

}  // namespace

uint16_t VirtualKeyOf(ModifierKey key) { return key < kModifierKeyCount ? kVirtualKeys[key] : 0; }

ModifierSet ModifiersOfVirtualKey(uint32_t virtualKey) {
  switch (virtualKey) {
    case kGenericShift:
      return ModifierBit(LeftShift) | ModifierBit(RightShift);
    case kGenericCtrl:
      return kCtrlKeys;
    case kGenericAlt:
      return ModifierBit(LeftAlt) | ModifierBit(RightAlt);
    default:
      break;
  }
  for (int key = 0; key < kModifierKeyCount; ++key) {
    if (kVirtualKeys[key] == virtualKey) return ModifierBit(static_cast<ModifierKey>(key));
  }
  return 0;
}

std::vector<KeyEvent> CopyKeyEvents(ModifierSet held) {
  std::vector<KeyEvent> events;
  // Ctrl goes first: let go while Alt is down, it already ends "Alt pressed alone".
  AddEach(events, static_cast<ModifierSet>(held & kCtrlKeys), true);
  if (held & kMenuKeys) AddMaskTap(events);
  AddEach(events, static_cast<ModifierSet>(held & ~kCtrlKeys), true);
  events.push_back(Event(LeftCtrl, false));
  events.push_back({kCopyVirtualKey, false, false});
  events.push_back({kCopyVirtualKey, true, false});
  events.push_back(Event(LeftCtrl, true));
  return events;
}

std::vector<KeyEvent> RestoreKeyEvents(ModifierSet stillHeld) {
  std::vector<KeyEvent> events;
  // Ctrl first, so an Alt pressed again under it is not an Alt pressed alone.
  AddEach(events, static_cast<ModifierSet>(stillHeld & kCtrlKeys), false);
  AddEach(events, static_cast<ModifierSet>(stillHeld & ~kCtrlKeys), false);
  // The user lets go of Alt or Windows later: that must not open a menu either.
  if (stillHeld & kMenuKeys) AddMaskTap(events);
  return events;
}

bool MayPressCopyKeys(const ForegroundFacts& foreground) {
  if (!foreground.exists || foreground.ownProcess || foreground.shellWindow) return false;
  static const char* const kShellClasses[] = {"Progman", "WorkerW", "Shell_TrayWnd",
                                              "Shell_SecondaryTrayWnd"};
  return std::none_of(std::begin(kShellClasses), std::end(kShellClasses),
                      [&](const char* name) { return foreground.className == name; });
}

uint32_t CopyWaitMs(uint32_t elapsed) {
  if (elapsed >= kCaptureBudgetMs - kMinCopyWaitMs) return kMinCopyWaitMs;
  return std::min(kCopyWaitMs, kCaptureBudgetMs - elapsed);
}
