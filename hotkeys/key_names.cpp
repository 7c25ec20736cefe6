#include "hotkeys/key_names.h"

#include <cstdio>

namespace {

std::string Character(int code) { return std::string(1, static_cast<char>(code)); }

std::string Formatted(const char* format, int value) {
  char text[16];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

std::string FormatKeyName(uint16_t key) {
  switch (key) {
    case 0x21:
      return "Page Up";
    case 0x22:
      return "Page Down";
    case 0x23:
      return "End";
    case 0x24:
      return "Home";
    case 0x25:
      return "Left";
    case 0x26:
      return "Up";
    case 0x27:
      return "Right";
    case 0x28:
      return "Down";
    case 0x2D:
      return "Insert";
    case 0x6E:
      return "Num Del";
    case 0x90:
      return "Num Lock";
    case 0x91:
      return "Scroll Lock";
    case 0xE2:
      return "Back Slash";
    default:
      break;
  }
  if ((key >= 0x30 && key <= 0x39) || (key >= 0x41 && key <= 0x5A)) return Character(key);
  if (key >= 0x60 && key <= 0x69) return Formatted("Num %c", key - 0x30);
  if (key >= 0x6A && key <= 0x6F) return Formatted("Num %c", key - 0x40);
  if (key >= 0x70 && key <= 0x7B) return Formatted("F%d", key - 0x6F);
  if (key >= 0xB0 && key <= 0xBF) return Character(key - 0x90);
  if (key >= 0xC0 && key <= 0xDF) return Character(key - 0x80);
  return "";
}

std::string FormatHotKeyText(uint32_t modifiers, uint16_t virtualKey) {
  std::string text;
  if (modifiers & kModControl) text += "Ctrl + ";
  if (modifiers & kModShift) text += "Shift + ";
  if (modifiers & kModAlt) text += "Alt + ";
  if (modifiers & kModWin) text += "Win + ";
  return text + FormatKeyName(virtualKey);
}
