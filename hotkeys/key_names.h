// Texts for key combinations as the key list shows them ("Ctrl + Alt + F5").
#pragma once

#include <cstdint>
#include <string>

// Modifier flags as RegisterHotKey takes them.
constexpr uint32_t kModAlt = 0x1;
constexpr uint32_t kModControl = 0x2;
constexpr uint32_t kModShift = 0x4;
constexpr uint32_t kModWin = 0x8;
// Windows 7 and later: a held combination fires once, not again with every key repeat.
constexpr uint32_t kModNoRepeat = 0x4000;

std::string FormatKeyName(uint16_t virtualKey);
std::string FormatHotKeyText(uint32_t modifiers, uint16_t virtualKey);
