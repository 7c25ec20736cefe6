// The processes of the program in front, and the decisions of the front-program keys.
#include "actions/sound/front_program_rules.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using Tree = std::set<uint32_t>;

// Browser 10 with its children 11 (audio) and 12 (renderer, with its own child 13); 20 is
// another program; 30 names 10 as its parent but is older: 10's id was given again.
const std::vector<ProcessLink> kProcesses = {{10, 1}, {11, 10}, {12, 10}, {13, 12},
                                             {20, 1}, {30, 10}, {1, 0}};
const std::map<uint32_t, uint64_t> kCreated = {{1, 1},    {10, 100}, {11, 110}, {12, 120},
                                               {13, 130}, {20, 200}, {30, 50}};

uint64_t Created(uint32_t id) {
  auto found = kCreated.find(id);
  return found == kCreated.end() ? 0 : found->second;
}

TEST(FrontProgramRules, TheTreeIsTheProgramAndEveryProcessDescendedFromIt) {
  EXPECT_EQ(ProcessTree(10, kProcesses, &Created), (Tree{10, 11, 12, 13}));
  EXPECT_EQ(ProcessTree(12, kProcesses, &Created), (Tree{12, 13})) << "never upward";
  EXPECT_EQ(ProcessTree(20, kProcesses, &Created), (Tree{20}));
  EXPECT_TRUE(ProcessTree(0, kProcesses, &Created).empty());
}

TEST(FrontProgramRules, AChildOlderThanItsParentOrOfUnknownAgeIsNotIts) {
  EXPECT_EQ(ProcessTree(10, kProcesses, &Created).count(30), 0u) << "a reused parent id";
  const std::vector<ProcessLink> unknown = {{10, 1}, {11, 10}, {40, 10}};
  EXPECT_EQ(ProcessTree(10, unknown, &Created), (Tree{10, 11}));
  EXPECT_EQ(ProcessTree(40, unknown, &Created), (Tree{40})) << "its own age unknown";
}

TEST(FrontProgramRules, ARingOfParentIdsEnds) {
  const std::vector<ProcessLink> ring = {{5, 6}, {6, 5}};
  EXPECT_EQ(ProcessTree(5, ring, [](uint32_t) { return uint64_t{7}; }), (Tree{5, 6}));
}

TEST(FrontProgramRules, ShellSurfacesStepsAndMute) {
  for (const char* name : {"Progman", "WorkerW", "Shell_TrayWnd", "Shell_SecondaryTrayWnd"}) {
    EXPECT_TRUE(IsShellSurfaceClass(name)) << name;
  }
  EXPECT_FALSE(IsShellSurfaceClass("Chrome_WidgetWin_1"));
  EXPECT_FALSE(IsShellSurfaceClass("progman")) << "class names as the shell registers them";
  EXPECT_EQ(FrontProgramStep(0), 0x1000) << "a sixteenth of 0..0xFFFF";
  EXPECT_EQ(FrontProgramStep(-300), -300);
  EXPECT_TRUE(MutedAfterToggle({false, false}));
  EXPECT_TRUE(MutedAfterToggle({true, false})) << "sessions that disagree end up muted";
  EXPECT_FALSE(MutedAfterToggle({true, true}));
}

}  // namespace
