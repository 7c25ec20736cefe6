// The stored part of one hot key: the fields that key.cfg holds, in declaration order.
#pragma once

#include <cstdint>
#include <string>

struct KeyRecord {
  uint32_t virtualKey = 0;
  uint32_t modifiers = 0;
  int32_t actionType = 0;
  int32_t textOption = 0;
  std::string target;
  uint32_t message = 0;
  uint32_t wParam = 0;
  uint32_t lParam = 0;
  int32_t singleInstance = 0;
  int32_t param1 = 0;
  int32_t param2 = 0;
  int32_t mixerDevice = 0;
  uint32_t mixerLineType = 0;
  std::string reserved;

  bool operator==(const KeyRecord& other) const;
  bool operator!=(const KeyRecord& other) const { return !(*this == other); }
};
