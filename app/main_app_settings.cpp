// CMainApp's settings file: read once at start-up, written by the properties dialog and at
// every SaveAndRelease.
#include "app/main_app.h"
#include "app/settings_file.h"
#include "framework/file_io.h"

namespace {

// The program's own file name without its extension, followed by ".cfg".
std::string SettingsFileName() {
  char path[MAX_PATH] = "";
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string name(path, length);
  const size_t slash = name.find_last_of("\\/");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.resize(dot);
  return name + ".cfg";
}

}  // namespace

bool CMainApp::LoadSettings() {
  const std::string name = SettingsFileName();
  settingsPath = FullPathName(name);
  std::string stored;
  if (!ReadFileBytes(name, stored)) return false;
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
  return true;
}

void CMainApp::SaveSettings() {
  if (settingsPath.empty() || !desktopHook) return;
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
  // Written beside the file and moved over it, so a failed save loses nothing.
  ReplaceFileContents(settingsPath, ToTextMode(EncodeSettings(values)));
}
