// What Tavolet and the shell's copy of Corvane pass each other in WM_COPYDATA to read and move
// the desktop icons. Plain little-endian records, read with memcpy on either side: the shell
// must never trust what arrives.
#pragma once

#include <cstdint>

// COPYDATASTRUCT::dwData of each kind of message.
constexpr uint32_t kIconQueryTag = 0x54564951;  // to the list view: a uint64 receiver window
constexpr uint32_t kIconListTag = 0x5456494C;   // to that receiver: IconListHeader + records
constexpr uint32_t kIconMovesTag = 0x5456494D;  // to the list view: IconMovesHeader + moves

// Longer labels are cut here, alike when remembered and when restored.
constexpr uint32_t kMaxIconLabel = 1024;

struct IconListHeader {
  uint32_t count;
  int32_t width, height;  // the list view's client area
  uint32_t autoArrange;   // 1: positions cannot be set
};
// Followed by `length` UTF-16 code units of the label.
struct IconRecordHeader {
  int32_t x, y;
  uint32_t length;
};

// The moves apply only while the list view holds `itemCount` items: indices are its own.
struct IconMovesHeader {
  uint32_t itemCount;
  uint32_t moveCount;
};
struct IconMove {
  int32_t index, x, y;
};

// The list view answers a moves message with 1 + the number of moves carried out, or with
// this when it carried out none: its items changed, auto-arrange is on, or the bytes are bad.
constexpr intptr_t kIconMovesRefused = -1;
