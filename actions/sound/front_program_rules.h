// Which processes and audio sessions are "the program in front", without the system itself.
// A browser's or an Electron program's sound comes from a child process of the window's own.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

struct ProcessLink {
  uint32_t id;
  uint32_t parentId;
};

// `root` and every process descended from it. A child counts only when both creation times are
// known and it was created no earlier than its parent: a parent id may name a process that has
// ended, its id since given to another. `createdOf` gives a creation time, 0 when unknown; it is
// asked only about the root and the children of the tree. Root 0 gives nothing.
std::set<uint32_t> ProcessTree(uint32_t root, const std::vector<ProcessLink>& processes,
                               const std::function<uint64_t(uint32_t)>& createdOf);

// The desktop and the taskbars, whose windows belong to no program of the user's.
bool IsShellSurfaceClass(const std::string& className);
// A Store app's frame, whose program is the process of the window inside it.
constexpr char kStoreAppFrameClass[] = "ApplicationFrameWindow";

// A front-program key's step: its param1, or a sixteenth of the mixer's range when that is 0.
int32_t FrontProgramStep(int32_t param1);

// The mute of every session of the program after a toggle: muted unless all are muted already,
// so sessions that disagree end up alike.
bool MutedAfterToggle(const std::vector<bool>& muted);
