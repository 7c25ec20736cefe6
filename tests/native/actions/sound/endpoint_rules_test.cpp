// Mixer steps applied to an endpoint's scalar level, the endpoint id size check, and the
// endpoints a key acts on.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>

#include "actions/sound/endpoint_rules.h"

namespace {

float Stepped(float level, int32_t step, int32_t minimum = 0, int32_t maximum = 0xFFFF) {
  float result = -1.0f;
  EXPECT_TRUE(SteppedLevel(level, step, minimum, maximum, result));
  return result;
}

TEST(EndpointRules, AStepIsItsShareOfTheRecordsRange) {
  EXPECT_NEAR(Stepped(0.5f, 0x1000), 0.5625f, 0.0001f);
  EXPECT_NEAR(Stepped(0.5f, -0x1000), 0.4375f, 0.0001f);
  EXPECT_NEAR(Stepped(0.25f, 50, -100, 100), 0.5f, 1e-6f) << "signed bounds";
  EXPECT_EQ(Stepped(0.3f, 0), 0.3f) << "step 0 gives the level back unchanged";
}

TEST(EndpointRules, ClampsExactlyAtBothEnds) {
  EXPECT_EQ(Stepped(0.97f, 0x1000), 1.0f);
  EXPECT_EQ(Stepped(1.0f, 1), 1.0f);
  EXPECT_EQ(Stepped(0.03f, -0x1000), 0.0f);
  EXPECT_EQ(Stepped(0.0f, -1), 0.0f);
  EXPECT_EQ(Stepped(0.5f, INT_MAX), 1.0f);
  EXPECT_EQ(Stepped(0.5f, INT_MIN), 0.0f);
  EXPECT_EQ(Stepped(0.5f, INT_MIN, INT_MIN, INT_MAX), 0.0f) << "widest range";
  EXPECT_NEAR(Stepped(0.5f, 1 << 30, INT_MIN, INT_MAX), 0.75f, 1e-6f);
}

TEST(EndpointRules, ALevelOutsideTheRangeCountsAsItsEnd) {
  EXPECT_EQ(Stepped(1.5f, 0), 1.0f);
  EXPECT_EQ(Stepped(-0.5f, 0), 0.0f);
  EXPECT_EQ(Stepped(NAN, 0), 0.0f);
  EXPECT_EQ(Stepped(INFINITY, -1), Stepped(1.0f, -1));
}

TEST(EndpointRules, BoundsWithoutARangeAreRefused) {
  float result = 0.25f;
  EXPECT_FALSE(SteppedLevel(0.5f, 10, 100, 100, result));
  EXPECT_FALSE(SteppedLevel(0.5f, 10, 100, 0, result));
  EXPECT_EQ(result, 0.25f) << "left alone";
}

TEST(EndpointRules, MuteValues) {
  EXPECT_TRUE(MutedAfter(-1, false));
  EXPECT_FALSE(MutedAfter(-1, true));
  EXPECT_TRUE(MutedAfter(1, false));
  EXPECT_TRUE(MutedAfter(1, true));
  EXPECT_FALSE(MutedAfter(0, true));
}

TEST(EndpointRules, IdSizes) {
  EXPECT_TRUE(EndpointIdSizeAcceptable(112));
  EXPECT_TRUE(EndpointIdSizeAcceptable(kMaxEndpointIdBytes));
  EXPECT_FALSE(EndpointIdSizeAcceptable(kMaxEndpointIdBytes + 2));
  EXPECT_FALSE(EndpointIdSizeAcceptable(0));
  EXPECT_FALSE(EndpointIdSizeAcceptable(2)) << "the terminator alone";
  EXPECT_FALSE(EndpointIdSizeAcceptable(111));
  EXPECT_FALSE(EndpointIdSizeAcceptable(UINT32_MAX));
}

using Ids = std::vector<std::wstring>;

TEST(EndpointRules, EveryDeviceIsTheDefaultFirstThenEveryOtherActiveOnce) {
  EXPECT_EQ(EndpointTargets(-1, L"b", {L"a", L"b", L"c", L"a"}, L"x"), (Ids{L"b", L"a", L"c"}));
  EXPECT_EQ(EndpointTargets(-1, L"", {L"a", L""}, L""), (Ids{L"a"})) << "no default";
  EXPECT_TRUE(EndpointTargets(-1, L"", {}, L"").empty());
}

TEST(EndpointRules, DeviceZeroIsTheDefaultRenderEndpointOthersTheirOwn) {
  EXPECT_EQ(EndpointTargets(0, L"headphones", {L"speakers", L"headphones"}, L"speakers"),
            (Ids{L"headphones"}));
  EXPECT_EQ(EndpointTargets(2, L"headphones", {L"headphones"}, L"microphone"),
            (Ids{L"microphone"}));
  EXPECT_TRUE(EndpointTargets(3, L"headphones", {L"headphones"}, L"").empty()) << "gone";
  EXPECT_TRUE(EndpointTargets(-7, L"headphones", {L"headphones"}, L"x").empty());
}

TEST(EndpointRules, NotesFitTheIconsTip) {
  EXPECT_EQ(AudioOutcomeNote(AudioOutcome::kDone), nullptr);
  for (AudioOutcome outcome :
       {AudioOutcome::kNoDevice, AudioOutcome::kNoProgramSound, AudioOutcome::kNoAnswer}) {
    ASSERT_NE(AudioOutcomeNote(outcome), nullptr);
    EXPECT_LE(std::strlen("Tavolet ()") + std::strlen(AudioOutcomeNote(outcome)), 63u);
  }
}

}  // namespace
