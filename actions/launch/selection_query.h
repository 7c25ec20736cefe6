// Whether the program in front has text selected, asked through UI Automation's text pattern
// without pressing anything. The question runs on a thread of its own, since a program may be
// slow to answer or not answer at all; whoever waits for it gives up after kSelectionQueryMs.
#pragma once

#include <memory>

#include "actions/launch/copy_keys.h"

class SelectionQuery {
 public:
  // Puts the question. While an earlier one is still unanswered, none is put: that program is
  // not asked twice, and the answer is Unknown at once.
  SelectionQuery();
  bool Answered() const;
  // Unknown until answered, and where the focused element offers no text pattern.
  Selection Answer() const;

  struct State;

 private:
  std::shared_ptr<State> state_;
};
