#include "actions/dispatcher.h"

#include "actions/launch/command_line.h"
#include "actions/sound/front_program.h"
#include "actions/sound/front_program_rules.h"
#include "actions/windows/layered_window.h"
#include "actions/sound/mixer_rules.h"
#include "actions/launch/program_start.h"
#include "actions/launch/registry_lookup.h"
#include "actions/launch/system_lead_byte.h"
#include "actions/launch/text_capture.h"
#include "actions/launch/text_option.h"
#include "actions/launch/url_encoding.h"
#include "actions/sound/volume_mixer.h"
#include "app/main_app.h"
#include "hotkeys/action_types.h"

namespace {

// A program that has stopped answering holds Tavolet up for this long at most.
constexpr UINT kSystemCommandTimeoutMs = 2000;

void SendSystemCommand(HWND window, WPARAM command) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(window, WM_SYSCOMMAND, command, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL,
                      kSystemCommandTimeoutMs, &ignored);
}

// Restores, activates and raises the window an earlier start left; false when it is gone.
bool BringBack(HWND window) {
  if (!IsTopLevelWindow(window)) return false;
  SendSystemCommand(window, SC_RESTORE);
  SetActiveWindow(window);
  SetForegroundWindow(window);
  return true;
}

// A sound key that could not do what it was set for says so in the icon's tip.
void Tell(CMainApp& app, AudioOutcome outcome) { app.ShowMomentaryTip(AudioOutcomeNote(outcome)); }

// First press: minimise the foreground window and silence every mixer control; the next press
// brings the levels back, and the window if it still exists. Only a first press saves levels,
// so the muted ones can never be taken for the user's.
void RunBossKey(CMainApp& app, HotKeyEntry& entry, bool& active) {
  VolumeMixer& mixer = VolumeMixer::Instance();
  if (active) {
    if (IsTopLevelWindow(entry.window)) SendSystemCommand(entry.window, SC_RESTORE);
    entry.window = nullptr;
    Tell(app, mixer.RestoreLevels());
    active = false;
    return;
  }
  HWND foreground = GetForegroundWindow();
  if (!foreground) return;
  entry.window = foreground;
  SendSystemCommand(foreground, SC_MINIMIZE);
  AudioOutcome outcome = mixer.SaveLevels();
  if (outcome == AudioOutcome::kDone) outcome = mixer.SetMute(1, kAnyMixerDevice, kAnyLineType);
  Tell(app, outcome);
  active = true;
}

// The sound of the program in front. Tavolet, the desktop or a taskbar in front: no program's.
void RunFrontProgramKey(CMainApp& app, const HotKeyEntry& entry) {
  const DWORD front = FrontProgramProcess();
  if (!front) return;
  VolumeMixer& mixer = VolumeMixer::Instance();
  const int32_t step = FrontProgramStep(entry.param1);
  switch (static_cast<ActionType>(entry.actionType)) {
    case ActionType::FrontProgramVolumeUp:
      Tell(app, mixer.ChangeProgramVolume(front, step));
      return;
    case ActionType::FrontProgramVolumeDown:
      Tell(app, mixer.ChangeProgramVolume(front,
                                          static_cast<int32_t>(0u - static_cast<uint32_t>(step))));
      return;
    default:  // FrontProgramMute
      Tell(app, mixer.ToggleProgramMute(front));
      return;
  }
}

std::string CommandLineFor(const HotKeyEntry& entry) {
  const std::string argument =
      TakesText(entry.actionType) ? BuildArgument(entry.textOption, entry.virtualKey) : "";
  switch (static_cast<ActionType>(entry.actionType)) {
    case ActionType::RunProgram:
      return entry.target + " " + argument;
    case ActionType::OpenUrl:
      // Whatever the text holds, it cannot add arguments or switches to the browser.
      return GetBrowserCommandLine(EscapeUrlBytes(entry.target + argument));
    default:  // OpenFile
      return GetAssociatedCommand(ExtensionOf(entry.target), "open") + " " +
             QuotedArgument(entry.target, SystemLeadByte);
  }
}

}  // namespace

std::string BuildArgument(int32_t textOption, uint32_t hotKeyVirtualKey) {
  // UTF-8 can carry every character, so it takes the text in its Unicode form.
  if (TextEncodingOf(textOption) == Utf8Url) {
    std::u16string wide;
    if (TextSourceOf(textOption) == ClipboardText) GetClipboardUnicodeText(wide);
    if (TextSourceOf(textOption) == SelectedText) wide = GetSelectedUnicodeText(hotKeyVirtualKey);
    return UrlEncodeUtf8Wide(wide);
  }
  std::string text;
  switch (TextSourceOf(textOption)) {
    case ClipboardText:
      GetClipboardText(text);
      break;
    case SelectedText:
      text = GetSelectedText(hotKeyVirtualKey);
      break;
    default:
      break;
  }
  switch (TextEncodingOf(textOption)) {
    case SjisUrl:
      return UrlEncodeSjis(text, SystemLeadByte);
    case JisUrl:
      return UrlEncodeJis(text, SystemLeadByte);
    case EucUrl:
      return UrlEncodeEuc(text, SystemLeadByte);
    default:
      return text;
  }
}

void CMainApp::DispatchAction(HotKeyEntry& entry) {
  switch (static_cast<ActionType>(entry.actionType)) {
    case ActionType::RunProgram:
    case ActionType::OpenUrl:
    case ActionType::OpenFile: {
      if (BringBack(entry.window)) return;
      HWND started = StartProgram(CommandLineFor(entry));
      entry.window = entry.singleInstance ? started : nullptr;
      return;
    }
    case ActionType::SendWindowMessage:
      if (HWND foreground = GetForegroundWindow()) {
        PostMessageA(foreground, entry.message, entry.wParam, entry.lParam);
      }
      return;
    case ActionType::SendThreadMessage:
      if (HWND foreground = GetForegroundWindow()) {
        PostThreadMessageA(GetWindowThreadProcessId(foreground, nullptr), entry.message,
                           entry.wParam, entry.lParam);
      }
      return;
    case ActionType::BossKey:
      RunBossKey(*this, entry, bossKeyActive);
      return;
    case ActionType::VolumeUp:
      Tell(*this, VolumeMixer::Instance().ChangeVolume(entry.param1, entry.mixerDevice,
                                                       entry.mixerLineType));
      return;
    case ActionType::VolumeDown:
      Tell(*this, VolumeMixer::Instance().ChangeVolume(
                      static_cast<int32_t>(0u - static_cast<uint32_t>(entry.param1)),
                      entry.mixerDevice, entry.mixerLineType));
      return;
    case ActionType::VolumeMute:
      Tell(*this, VolumeMixer::Instance().SetMute(-1, entry.mixerDevice, entry.mixerLineType));
      return;
    case ActionType::SaveWindowPositions:
      CaptureWindowPositions(windowPositions, excludedPaths);
      return;
    case ActionType::RestoreWindowPositions:
      ApplyWindowPositions(windowPositions);
      return;
    case ActionType::TranslucentWindow:
      if (HWND foreground = GetForegroundWindow()) SetWindowAlpha(foreground, entry.param1);
      return;
    case ActionType::SetSystemParameter:
      SystemParametersInfoA(static_cast<UINT>(entry.param2), static_cast<UINT>(entry.param1),
                            nullptr, SPIF_SENDCHANGE);
      return;
    case ActionType::ScreenSaverToggle:
      ToggleScreenSaverBlock();
      return;
    case ActionType::RememberIconPositions:
      if (desktopHook) desktopIcons.Remember(*desktopHook);
      UpdateRegistrationTip();  // a failed save shows in the tip
      return;
    case ActionType::RestoreIconPositions:
      if (desktopHook) desktopIcons.Restore(*desktopHook);
      return;
    case ActionType::FrontProgramVolumeUp:
    case ActionType::FrontProgramVolumeDown:
    case ActionType::FrontProgramMute:
      RunFrontProgramKey(*this, entry);
      return;
    default:  // no type chosen, or unknown
      return;
  }
}
