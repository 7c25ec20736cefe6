#include "hotkeys/key_names.h"

#include <gtest/gtest.h>

namespace {

TEST(KeyNames, NamedKeys) {
  const std::pair<uint16_t, const char*> named[] = {
      {0x21, "Page Up"},   {0x22, "Page Down"}, {0x23, "End"},      {0x24, "Home"},
      {0x25, "Left"},      {0x26, "Up"},        {0x27, "Right"},    {0x28, "Down"},
      {0x2D, "Insert"},    {0x6E, "Num Del"},   {0x90, "Num Lock"}, {0x91, "Scroll Lock"},
      {0xE2, "Back Slash"}};
  for (const auto& [key, name] : named) EXPECT_EQ(FormatKeyName(key), name) << std::hex << key;
}

TEST(KeyNames, FormulaRanges) {
  for (uint16_t key = 0x30; key <= 0x39; ++key)
    EXPECT_EQ(FormatKeyName(key), std::string(1, char(key)));
  for (uint16_t key = 0x41; key <= 0x5A; ++key)
    EXPECT_EQ(FormatKeyName(key), std::string(1, char(key)));
  for (uint16_t key = 0x60; key <= 0x69; ++key) {
    EXPECT_EQ(FormatKeyName(key), "Num " + std::string(1, char('0' + key - 0x60)));
  }
  EXPECT_EQ(FormatKeyName(0x6A), "Num *");
  EXPECT_EQ(FormatKeyName(0x6B), "Num +");
  EXPECT_EQ(FormatKeyName(0x6C), "Num ,");
  EXPECT_EQ(FormatKeyName(0x6D), "Num -");
  EXPECT_EQ(FormatKeyName(0x6F), "Num /");
  EXPECT_EQ(FormatKeyName(0x70), "F1");
  EXPECT_EQ(FormatKeyName(0x7B), "F12");
  for (uint16_t key = 0xB0; key <= 0xBF; ++key) {
    EXPECT_EQ(FormatKeyName(key), std::string(1, char(key - 0x90))) << std::hex << key;
  }
  EXPECT_EQ(FormatKeyName(0xB0), " ");
  EXPECT_EQ(FormatKeyName(0xBA), "*");
  EXPECT_EQ(FormatKeyName(0xBF), "/");
  for (uint16_t key = 0xC0; key <= 0xDF; ++key) {
    EXPECT_EQ(FormatKeyName(key), std::string(1, char(key - 0x80))) << std::hex << key;
  }
  EXPECT_EQ(FormatKeyName(0xC0), "@");
  EXPECT_EQ(FormatKeyName(0xDC), "\\");
  EXPECT_EQ(FormatKeyName(0xDF), "_");
}

TEST(KeyNames, UnnamedKeysAreEmpty) {
  for (uint16_t key :
       {0x00, 0x08, 0x09, 0x0D, 0x13, 0x1B, 0x20, 0x29, 0x2A, 0x2B, 0x2C, 0x2E, 0x2F,  0x3A,
        0x40, 0x5B, 0x5F, 0x7C, 0x87, 0x8F, 0x92, 0xAF, 0xE0, 0xE1, 0xE3, 0xFF, 0x100, 0x141}) {
    EXPECT_EQ(FormatKeyName(key), "") << std::hex << key;
  }
}

TEST(HotKeyText, PrefixesInFixedOrder) {
  EXPECT_EQ(FormatHotKeyText(kModControl | kModShift | kModAlt | kModWin, 0x41),
            "Ctrl + Shift + Alt + Win + A");
  EXPECT_EQ(FormatHotKeyText(kModControl | kModAlt, 0x74), "Ctrl + Alt + F5");
  EXPECT_EQ(FormatHotKeyText(kModControl, 0x6E), "Ctrl + Num Del");
  EXPECT_EQ(FormatHotKeyText(kModControl, 0x2E), "Ctrl + ");
  EXPECT_EQ(FormatHotKeyText(kModWin | kModShift, 0x25), "Shift + Win + Left");
  EXPECT_EQ(FormatHotKeyText(0, 0x7C), "");
}

}  // namespace
