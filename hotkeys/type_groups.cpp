#include "hotkeys/type_groups.h"

#include "actions/sound/mixer_rules.h"
#include "hotkeys/action_types.h"

TypeLayout LayoutForTypePosition(int position) {
  switch (position) {
    case 0:  // RunProgram
    case 1:  // OpenUrl
    case 2:  // OpenFile
      return {kPathGroup | (TakesText(position + 1) ? kArgumentGroup : 0u), 0};
    case 3:  // SendWindowMessage
    case 4:  // SendThreadMessage
      return {kMessageGroup, 0};
    case 6:  // VolumeUp
    case 7:  // VolumeDown
      return {kKindGroup | kParam1Group, kVolumeControlType};
    case 8:  // VolumeMute
      return {kKindGroup, kMuteControlType};
    case 11:  // TranslucentWindow
      return {kParam1Group, 0};
    case 12:  // SetSystemParameter
      return {kActionGroup | kParam1Group, 0};
    case 16:  // FrontProgramVolumeUp
    case 17:  // FrontProgramVolumeDown
      return {kParam1Group, 0};
    default:  // BossKey, window and icon positions, ScreenSaverToggle, FrontProgramMute, none
      return {0, 0};
  }
}
