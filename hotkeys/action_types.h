// The kinds of action: the fourteen of old, values 1 to 14, then the desktop icons' two, then
// the sound of the program in front.
#pragma once

#include <cstdint>

enum class ActionType : int32_t {
  RunProgram = 1,
  OpenUrl = 2,
  OpenFile = 3,
  SendWindowMessage = 4,
  SendThreadMessage = 5,
  BossKey = 6,
  VolumeUp = 7,
  VolumeDown = 8,
  VolumeMute = 9,
  SaveWindowPositions = 10,
  RestoreWindowPositions = 11,
  TranslucentWindow = 12,
  SetSystemParameter = 13,
  ScreenSaverToggle = 14,
  RememberIconPositions = 15,
  RestoreIconPositions = 16,
  FrontProgramVolumeUp = 17,    // param1: the step, as for VolumeUp (0: a sixteenth)
  FrontProgramVolumeDown = 18,  // param1: the step
  FrontProgramMute = 19,        // toggles
};

constexpr int32_t kActionTypeCount = 19;

// The Shift-JIS name shown in the type list and the key list; empty for a value outside 1-19.
const char* ActionTypeName(int32_t actionType);
// Whether the kind passes text along (its text option and the dialog's text controls): starting
// a program or a URL does; opening a file does not, whatever text option its entry holds.
bool TakesText(int32_t actionType);
