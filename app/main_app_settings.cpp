// CMainApp's settings file: read once at start-up, written by the properties dialog and at
// every SaveAndRelease.
#include "app/main_app.h"
#include "app/settings_file.h"
#include "framework/file_io.h"

bool CMainApp::LoadSettings() {
  char program[MAX_PATH] = "";
  const DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
  const std::string name = SettingsFileNameFor(std::string(program, length));
  std::string stored;
  const ReadOutcome outcome = settingsFile_.Load(PathFromAnsi(name), stored);
  settingsPath = settingsFile_.Path();
  if (outcome != ReadOutcome::Read) {
    settingsFile_.SetBaseline(EncodedSettings());
    return false;
  }
  SettingsValues values;
  values.excludedPaths = excludedPaths;
  values.labelState = desktopHook->GetState();
  values.textColor = CDesktopHook::textColor;
  values.outlineColor = CDesktopHook::textBdColor;
  values.backgroundColor = CDesktopHook::bkColor;
  values.selectionColor = CDesktopHook::selColor;  // "automatic" stays automatic
  values.stringValues = stringValues;
  // A file that ends early keeps what it holds and the present values for the rest.
  DecodeSettings(FromTextMode(stored), values);
  excludedPaths = std::move(values.excludedPaths);
  desktopHook->SetState(values.labelState);
  desktopHook->SetColors(values.textColor, values.outlineColor, values.backgroundColor,
                         values.selectionColor);
  stringValues = std::move(values.stringValues);
  settingsFile_.SetBaseline(EncodedSettings());
  return true;
}

std::string CMainApp::EncodedSettings() {
  SettingsValues values;
  values.excludedPaths = excludedPaths;
  values.labelState = desktopHook->GetState();
  unsigned long colors[4];
  desktopHook->GetColors(colors[0], colors[1], colors[2], colors[3]);
  values.textColor = colors[0];
  values.outlineColor = colors[1];
  values.backgroundColor = colors[2];
  values.selectionColor = colors[3];  // an automatic colour is written resolved
  values.stringValues = stringValues;
  return ToTextMode(EncodeSettings(values));
}

void CMainApp::SaveSettings(bool finalSave) {
  if (settingsPath.empty() || !desktopHook) return;
  // Written beside the file and moved over it, so a failed save loses nothing.
  settingsFile_.Save(EncodedSettings(), finalSave);
}
