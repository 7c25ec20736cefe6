// What the system hook decides, apart from the hook machinery.
#pragma once

#include <cstdint>

constexpr uint32_t kScreenSaveCommand = 0xF140;
constexpr uint32_t kMonitorPowerCommand = 0xF170;

// While suppression is on, exactly these two system commands are refused; a value with any of
// the low four bits set is a different command.
inline bool RefusesSystemCommand(int32_t state, uintptr_t command) {
  return state != 0 && (command == kScreenSaveCommand || command == kMonitorPowerCommand);
}
