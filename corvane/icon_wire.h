// What Tavolet and the shell's copy of Corvane pass each other in WM_COPYDATA to read and move
// the desktop icons. Plain little-endian records, read with memcpy on either side: the shell
// must never trust what arrives.
#pragma once

#include <cstdint>

// COPYDATASTRUCT::dwData of each kind of message.
constexpr uint32_t kIconQueryTag = 0x54564951;  // to the list view: an IconQuery
constexpr uint32_t kIconListTag = 0x5456494C;   // to its receiver: IconReply + the list
constexpr uint32_t kIconMovesTag = 0x5456494D;  // to the list view: IconMovesKey + the moves

// A list larger than this is neither sent nor taken (no desktop holds so many icons).
constexpr uint32_t kMaxIconListBytes = 4u << 20;

// The window of Tavolet's the list goes to, and a random value the answer must carry: a list
// that does not is not the answer to this query.
struct IconQuery {
  uint64_t receiver;
  uint32_t cookie;
  uint32_t reserved;
};
struct IconReply {
  uint32_t cookie;
  uint32_t reserved;
};
// Moves carry the key Tavolet published to the shell for this run.
struct IconMovesKey {
  uint64_t key;
};

// What reaches Tavolet's code after the receiver, and what it hands to MoveIcons:

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
