// A stand-in for the system's hot-key registry: refuses a taken combination as Windows does.
#pragma once

#include <cstdint>
#include <map>
#include <utility>

struct FakeHotKeySystem {
  // id -> (modifiers, virtual key)
  std::map<int32_t, std::pair<uint32_t, uint32_t>> registered;
  // Windows keeps an earlier combination registered under the same id beside the new one.
  std::multimap<int32_t, std::pair<uint32_t, uint32_t>> keptBeside;
  int registerCalls = 0;
  int unregisterCalls = 0;

  bool IsTaken(uint32_t modifiers, uint32_t virtualKey) const;
  void Reset() { *this = FakeHotKeySystem(); }
};

FakeHotKeySystem& FakeHotKeys();
