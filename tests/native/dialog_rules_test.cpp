// The edit dialog's number rule and type groups, and the key list's anchor arithmetic.
#include <gtest/gtest.h>

#include "actions/sound/mixer_rules.h"
#include "hotkeys/anchor_math.h"
#include "hotkeys/parse_number.h"
#include "hotkeys/type_groups.h"

namespace {

TEST(ParseNumber, HexWhenTheTextHoldsZeroXElseDecimal) {
  EXPECT_EQ(ParseNumber("10"), 10);
  EXPECT_EQ(ParseNumber("0x1A"), 26);
  EXPECT_EQ(ParseNumber("0x1a"), 26);
  EXPECT_EQ(ParseNumber("1A"), 1);
  EXPECT_EQ(ParseNumber("x0x10"), 0) << "0x not at the start";
  EXPECT_EQ(ParseNumber(" 0x10"), 0);
  EXPECT_EQ(ParseNumber("0x"), 0);
  EXPECT_EQ(ParseNumber("0xF020"), 0xF020);
  EXPECT_EQ(ParseNumber("0xFFFFFFFF"), -1);
  EXPECT_EQ(ParseNumber("0X10"), 0) << "only a lower-case x makes it hexadecimal";
  EXPECT_EQ(ParseNumber("  -42abc"), -42);
  EXPECT_EQ(ParseNumber("+7"), 7);
  EXPECT_EQ(ParseNumber(""), 0);
  EXPECT_EQ(ParseNumber("abc"), 0);
  EXPECT_EQ(ParseNumber("99999999999"), 2147483647) << "saturates";
  EXPECT_EQ(ParseDecimal("0x10"), 0) << "param1 and param2 never read hexadecimal";
  EXPECT_EQ(ParseDecimal("\t 128"), 128);
}

TEST(TypeGroups, EachPositionShowsItsGroups) {
  EXPECT_EQ(LayoutForTypePosition(-1).groups, 0u);
  EXPECT_EQ(LayoutForTypePosition(0).groups, kPathGroup | kArgumentGroup);
  EXPECT_EQ(LayoutForTypePosition(1).groups, kPathGroup | kArgumentGroup);
  EXPECT_EQ(LayoutForTypePosition(2).groups, kPathGroup);
  EXPECT_EQ(LayoutForTypePosition(3).groups, kMessageGroup);
  EXPECT_EQ(LayoutForTypePosition(4).groups, kMessageGroup);
  EXPECT_EQ(LayoutForTypePosition(5).groups, 0u) << "the boss key hides every parameter";
  EXPECT_EQ(LayoutForTypePosition(6).groups, kKindGroup | kParam1Group);
  EXPECT_EQ(LayoutForTypePosition(6).kindControlType, kVolumeControlType);
  EXPECT_EQ(LayoutForTypePosition(7).kindControlType, kVolumeControlType);
  EXPECT_EQ(LayoutForTypePosition(8).groups, kKindGroup);
  EXPECT_EQ(LayoutForTypePosition(8).kindControlType, kMuteControlType);
  EXPECT_EQ(LayoutForTypePosition(9).groups, 0u);
  EXPECT_EQ(LayoutForTypePosition(10).groups, 0u);
  EXPECT_EQ(LayoutForTypePosition(11).groups, kParam1Group);
  EXPECT_EQ(LayoutForTypePosition(12).groups, kActionGroup | kParam1Group);
  EXPECT_EQ(LayoutForTypePosition(13).groups, 0u);
  EXPECT_EQ(LayoutForTypePosition(16).groups, kParam1Group) << "the step of the program in front";
  EXPECT_EQ(LayoutForTypePosition(17).groups, kParam1Group);
  EXPECT_EQ(LayoutForTypePosition(18).groups, 0u) << "its mute toggles";
  for (int position : {-1, 0, 1, 2, 3, 4, 5, 9, 10, 11, 12, 13, 14, 16, 17, 18}) {
    EXPECT_EQ(LayoutForTypePosition(position).kindControlType, 0u) << position;
  }
}

TEST(AnchorMath, EdgesFollowByTheirFlags) {
  const AnchorRect r{10, 20, 110, 220};
  EXPECT_EQ(AnchoredRect(r, 0xF, 30, 40), (AnchorRect{10, 20, 140, 260})) << "stretches";
  EXPECT_EQ(AnchoredRect(r, 0xA, 30, 40), (AnchorRect{40, 60, 140, 260})) << "moves";
  EXPECT_EQ(AnchoredRect(r, 0x5, 30, 40), r) << "stays";
  EXPECT_EQ(AnchoredRect(r, 0x2, -5, 0), (AnchorRect{5, 20, 105, 220}));
  EXPECT_EQ(AnchoredRect(r, 0x8 | 0x4, 0, -10), (AnchorRect{10, 20, 110, 210}));
}

TEST(MixerRules, SelectorsMatchDevicesAndLineTypes) {
  const MixerSelector every = ResolveSelector(kAnyMixerDevice, kAnyLineType, 0, 0);
  EXPECT_TRUE(RecordMatches(0, 4, kVolumeControlType, kVolumeControlType, every));
  EXPECT_TRUE(RecordMatches(3, 0x1008, kVolumeControlType, kVolumeControlType, every));
  EXPECT_FALSE(RecordMatches(0, 4, kMuteControlType, kVolumeControlType, every));
  const MixerSelector deviceZero = ResolveSelector(0, kAnyLineType, -1, 0x100A);
  EXPECT_TRUE(RecordMatches(0, 4, kMuteControlType, kMuteControlType, deviceZero));
  EXPECT_FALSE(RecordMatches(1, 4, kMuteControlType, kMuteControlType, deviceZero));
  const MixerSelector defaults = ResolveSelector(kDefaultMixerDevice, kDefaultLineType, 1, 4);
  EXPECT_EQ(defaults.device, 1);
  EXPECT_EQ(defaults.lineType, 4u);
  EXPECT_TRUE(RecordMatches(1, 4, kVolumeControlType, kVolumeControlType, defaults));
  EXPECT_FALSE(RecordMatches(1, 0x1008, kVolumeControlType, kVolumeControlType, defaults));
  // The start-up default line type 0x100A is a real type, not "every type".
  const MixerSelector startup = ResolveSelector(kDefaultMixerDevice, kDefaultLineType, -1, 0x100A);
  EXPECT_TRUE(RecordMatches(2, 0x100A, kVolumeControlType, kVolumeControlType, startup));
  EXPECT_FALSE(RecordMatches(2, 4, kVolumeControlType, kVolumeControlType, startup));
}

TEST(MixerRules, ClampAndToggleArithmetic) {
  EXPECT_EQ(SteppedVolume(60000, 10000, 0, 65535), 65535);
  EXPECT_EQ(SteppedVolume(1000, -5000, 0, 65535), 0);
  EXPECT_EQ(SteppedVolume(1234, 0, 0, 65535), 1234);
  EXPECT_EQ(SteppedVolume(100, 50, 0, 65535), 150);
  EXPECT_EQ(SteppedVolume(-10, -10, -20, 20), -20) << "signed bounds";
  EXPECT_EQ(SteppedVolume(65535, 0x7FFFFFFF, 0, 65535), 0)
      << "signed 32-bit wrap-around, then the minimum";
  EXPECT_EQ(ToggledMute(0), 1u);
  EXPECT_EQ(ToggledMute(1), 0u);
  EXPECT_EQ(ToggledMute(3), 2u) << "only bit 0";
}

}  // namespace

#include "lintrel/hook_decisions.h"

namespace {

TEST(HookDecisions, OnlyTheTwoExactCommandsAndOnlyWhileOn) {
  EXPECT_TRUE(RefusesSystemCommand(1, 0xF140));
  EXPECT_TRUE(RefusesSystemCommand(1, 0xF170));
  EXPECT_TRUE(RefusesSystemCommand(-5, 0xF170)) << "every non-zero state counts as on";
  for (uintptr_t lowBits = 1; lowBits < 16; ++lowBits) {
    EXPECT_FALSE(RefusesSystemCommand(1, 0xF140 | lowBits));
    EXPECT_FALSE(RefusesSystemCommand(1, 0xF170 | lowBits));
  }
  EXPECT_FALSE(RefusesSystemCommand(0, 0xF140));
  EXPECT_FALSE(RefusesSystemCommand(0, 0xF170));
  EXPECT_FALSE(RefusesSystemCommand(1, 0xF020));
}

}  // namespace
