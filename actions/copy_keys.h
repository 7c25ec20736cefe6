// Pressing Ctrl+C for the user, for the programs that copy their selection on that key press
// only (browsers, Chromium-based editors, Office, terminals): which keys to send while the hot
// key's own modifiers may still be down, which to press again afterwards, when not to press at
// all, and how long to wait. Plain values; the Win32 glue reads the key state and sends them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Each side of each modifier on its own, as the system reports them.
enum ModifierKey : uint8_t {
  LeftShift,
  RightShift,
  LeftCtrl,
  RightCtrl,
  LeftAlt,
  RightAlt,
  LeftWin,
  RightWin,
  kModifierKeyCount
};
// One bit per ModifierKey.
using ModifierSet = uint8_t;
constexpr ModifierSet ModifierBit(ModifierKey key) { return static_cast<ModifierSet>(1u << key); }

// Its virtual-key code (VK_LSHIFT ... VK_RWIN).
uint16_t VirtualKeyOf(ModifierKey key);
// The modifiers a virtual-key code stands for: one side, both sides for the generic codes
// (VK_SHIFT, VK_CONTROL, VK_MENU), none for any other key.
ModifierSet ModifiersOfVirtualKey(uint32_t virtualKey);

struct KeyEvent {
  uint16_t virtualKey;
  bool up;
  bool extended;  // the right Ctrl and Alt and both Windows keys
  bool operator==(const KeyEvent& other) const {
    return virtualKey == other.virtualKey && up == other.up && extended == other.extended;
  }
};

// A key no keyboard has: pressed between the down and the up of Alt or Windows, it keeps their
// release from opening the window's menu or the start menu.
constexpr uint16_t kMaskVirtualKey = 0xE8;
constexpr uint16_t kCopyVirtualKey = 'C';

// Ctrl+C while the keys of `held` are down: those are released first (so the program does not
// see Ctrl+Alt+C or Win+C), then the left Ctrl and C go down and up. Afterwards none of the
// modifiers is down any more.
std::vector<KeyEvent> CopyKeyEvents(ModifierSet held);
// Presses again the modifiers that the copy released and the user still holds.
std::vector<KeyEvent> RestoreKeyEvents(ModifierSet stillHeld);

// What the foreground window is, as far as the copy key press is concerned.
struct ForegroundFacts {
  bool exists = false;
  bool ownProcess = false;   // one of this program's windows
  bool shellWindow = false;  // the desktop window or the shell's window
  std::string className;
};
// Never into this program, the desktop or the taskbar, where Ctrl+C copies nothing the user
// selected, or does something else.
bool MayPressCopyKeys(const ForegroundFacts& foreground);

// Waits, in milliseconds.
constexpr uint32_t kModifierReleaseWaitMs = 500;  // for the user to let go of the hot key
constexpr uint32_t kCopyWaitMs = 1000;            // for the program to copy after the press
constexpr uint32_t kMinCopyWaitMs = 200;
// The whole capture, from its start, ends within this time unless a program is slow to answer
// the copy messages, and even then it waits kMinCopyWaitMs at most after the press.
constexpr uint32_t kCaptureBudgetMs = 1200;

// Milliseconds from `start` to `now` on a tick counter that wraps around.
constexpr uint32_t ElapsedMs(uint32_t start, uint32_t now) { return now - start; }
// How long to wait for the copy after the key press, `elapsed` ms into the capture.
uint32_t CopyWaitMs(uint32_t elapsed);
