#include "hotkeys/hotkey_flags.h"

#include <gtest/gtest.h>

#include "hotkeys/key_names.h"

namespace {

TEST(HotKeyFlags, IntoTheControl) {
  HotKeyControlState s = HotKeyControlFromEntry(0x41, kModAlt | kModControl | kModShift | kModWin);
  EXPECT_EQ(s.virtualKey, 0x41);
  EXPECT_EQ(s.flags, kHotKeyFlagAlt | kHotKeyFlagControl | kHotKeyFlagShift);
  EXPECT_TRUE(s.windowsKey);
  EXPECT_EQ(s.ControlWord(), 0x0741);

  EXPECT_EQ(HotKeyControlFromEntry(0x41, kModShift).flags, kHotKeyFlagShift);
  EXPECT_EQ(HotKeyControlFromEntry(0x41, kModAlt).flags, kHotKeyFlagAlt);
  EXPECT_FALSE(HotKeyControlFromEntry(0x41, kModAlt).windowsKey);

  const HotKeyControlState empty = HotKeyControlFromEntry(0, kModWin | kModAlt);
  EXPECT_EQ(empty.virtualKey, 0);
  EXPECT_EQ(empty.flags, 0);
  EXPECT_FALSE(empty.windowsKey);
}

TEST(HotKeyFlags, OutOfTheControl) {
  auto c = HotKeyCombinationFromControl(0x74, kHotKeyFlagShift | kHotKeyFlagControl, false);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->virtualKey, 0x74u);
  EXPECT_EQ(c->modifiers, kModShift | kModControl);

  c = HotKeyCombinationFromControl(0x41, kHotKeyFlagAlt | kHotKeyFlagExtended, true);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->modifiers, kModAlt | kModWin) << "the extended flag is not kept";
}

TEST(HotKeyFlags, AcceptanceRules) {
  EXPECT_FALSE(HotKeyCombinationFromControl(0, kHotKeyFlagControl, true)) << "no key";
  EXPECT_FALSE(HotKeyCombinationFromControl(0x41, 0, false)) << "a plain A";
  auto win = HotKeyCombinationFromControl(0x41, 0, true);
  ASSERT_TRUE(win);
  EXPECT_EQ(win->modifiers, kModWin);
  auto left = HotKeyCombinationFromControl(0x25, kHotKeyFlagExtended, false);
  ASSERT_TRUE(left) << "an extended key alone";
  EXPECT_EQ(left->modifiers, 0u);
}

TEST(HotKeyFlags, RoundTripKeepsEveryModifierSet) {
  for (uint32_t modifiers = 1; modifiers < 16; ++modifiers) {
    const HotKeyControlState s = HotKeyControlFromEntry(0x5A, modifiers);
    auto back = HotKeyCombinationFromControl(s.virtualKey, s.flags, s.windowsKey);
    ASSERT_TRUE(back) << modifiers;
    EXPECT_EQ(back->modifiers, modifiers);
    EXPECT_EQ(back->virtualKey, 0x5Au);
  }
}

// Opened and saved unchanged, every entry stays identical, an extended key alone included.
TEST(HotKeyFlags, RoundTripKeepsExtendedKeysWithoutModifiers) {
  for (uint32_t key : {0x25u, 0x2Eu, 0x24u, 0x6Fu, 0x90u, 0xADu}) {
    const HotKeyControlState s = HotKeyControlFromEntry(key, 0);
    EXPECT_EQ(s.flags, kHotKeyFlagExtended) << key;
    auto back = HotKeyCombinationFromControl(s.virtualKey, s.flags, s.windowsKey);
    ASSERT_TRUE(back) << key;
    EXPECT_EQ(back->modifiers, 0u);
    EXPECT_EQ(back->virtualKey, key);
  }
  EXPECT_EQ(HotKeyControlFromEntry(0x41, kModControl).flags, kHotKeyFlagControl) << "A is not";
  EXPECT_EQ(HotKeyControlFromEntry(0x25, kModControl).flags,
            kHotKeyFlagControl | kHotKeyFlagExtended);
}

TEST(HotKeyFlags, RegisteredWithoutRepeatWhereTheSystemHasIt) {
  EXPECT_EQ(ModifiersToRegister(kModControl | kModAlt, true), kModControl | kModAlt | kModNoRepeat);
  EXPECT_EQ(ModifiersToRegister(kModControl | kModAlt, false), kModControl | kModAlt);
}

}  // namespace
