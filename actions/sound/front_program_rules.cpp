#include "actions/sound/front_program_rules.h"

#include <algorithm>

std::set<uint32_t> ProcessTree(uint32_t root, const std::vector<ProcessLink>& processes,
                               const std::function<uint64_t(uint32_t)>& createdOf) {
  std::set<uint32_t> tree;
  if (root == 0) return tree;
  tree.insert(root);
  std::vector<std::pair<uint32_t, uint64_t>> parents = {{root, createdOf(root)}};
  while (!parents.empty()) {
    const auto [parent, parentCreated] = parents.back();
    parents.pop_back();
    if (parentCreated == 0) continue;
    for (const ProcessLink& process : processes) {
      if (process.parentId != parent || process.id == 0 || tree.count(process.id)) continue;
      const uint64_t created = createdOf(process.id);
      if (created != 0 && created >= parentCreated) {
        tree.insert(process.id);
        parents.emplace_back(process.id, created);
      }
    }
  }
  return tree;
}

bool IsShellSurfaceClass(const std::string& className) {
  return className == "Progman" || className == "WorkerW" || className == "Shell_TrayWnd" ||
         className == "Shell_SecondaryTrayWnd";
}

int32_t FrontProgramStep(int32_t param1) { return param1 != 0 ? param1 : 0x1000; }

bool MutedAfterToggle(const std::vector<bool>& muted) {
  return !std::all_of(muted.begin(), muted.end(), [](bool one) { return one; });
}
