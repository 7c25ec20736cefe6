// Which groups of the edit dialog's controls each position of its type list shows, and which
// mixer control type its kind list offers.
#pragma once

#include <cstdint>

enum ControlGroup : uint32_t {
  kPathGroup = 1,
  kArgumentGroup = 2,
  kMessageGroup = 4,
  kParam1Group = 8,
  kKindGroup = 16,
  kActionGroup = 32,
};

struct TypeLayout {
  uint32_t groups;
  uint32_t kindControlType;  // 0: no mixer control matches
};

// Position in the type list (value - 1); -1 for no selection.
TypeLayout LayoutForTypePosition(int position);
