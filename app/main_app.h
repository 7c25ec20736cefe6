// Tavolet's application object: single-instance start, the order of start-up and shut-down,
// hot-key interception and the notification-area menu's commands.
#pragma once

#include <windows.h>

#include "actions/desktop_icons/desktop_icons.h"
#include "actions/windows/window_positions.h"
#include "framework/app.h"
#include "framework/com_apartment.h"
#include "framework/file_io.h"
#include "framework/handles.h"
#include "hotkeys/hotkey_table.h"
#include "corvane/desktop_hook.h"
#include "lintrel/system_hook.h"

#include <list>
#include <optional>
#include <string>
#include <utility>

class CMainDlg;

// Process exit codes besides the quit message's 0.
constexpr int kExitRefusedStart = 1;  // another copy is running (or the mutex could not be made)
constexpr int kExitFailedStart = 2;   // a hook could not be installed

class CMainApp : public CWinApp {
 public:
  CMainApp() = default;
  ~CMainApp() override;

  BOOL InitInstance() override;
  int ExitInstance() override;
  BOOL PreTranslateMessage(MSG* msg) override;
  bool OnCmdMsg(UINT id, UINT code) override;

  // Releases the hooks, writes the configuration files and empties the hot-key table.
  void SaveAndRelease();
  // WM_QUERYENDSESSION (true) and WM_ENDSESSION FALSE (false). Asked while start-up or another
  // such step waits (those waits answer sent messages), it is carried out once that step ends.
  void RequestSessionEnd(bool ending);
  // Windows asks whether the session may end: the files are written and the hooks and hot
  // keys released, but every entry stays, so an open dialog keeps what it works on and no
  // empty table can be written over key.cfg.
  void SaveAndSuspend();
  // The session did not end after all: hot keys, both hooks and the icon as before.
  void ResumeAfterCancelledEnd();
  // The icon's tip tells of a file that could not be saved, or names the hot keys the system
  // refused ("Tavolet" while there is neither).
  void UpdateRegistrationTip();
  // A note in the icon's tip for a few seconds (what a key could not do), then the tip above.
  void ShowMomentaryTip(const char* note);
  void EndMomentaryTip();
  // Corvane attaches to the desktop (a new shell's, or one that has not answered yet) with the
  // present state and colours. False while it is not attached; a request the shell has not
  // answered is only posted again when `askAgain`.
  bool ReattachDesktop(bool askAgain);
  // WM_HOTKEY with this id, from whatever loop retrieved it.
  void DispatchHotKey(int32_t id);
  void DispatchAction(HotKeyEntry& entry);
  // The key list, modal; a second call while one is open returns at once.
  void ShowKeyList();
  // Switches the suppression of the screen saver and of monitor power-off, and the icon.
  void ToggleScreenSaverBlock();
  // The properties dialog, modal; the settings file is written however it closes.
  void ShowProperties();
  // The settings file; LoadSettings is false when the file could not be opened.
  bool LoadSettings();
  void SaveSettings(bool finalSave = false);
  // Every second: the desktop icons come back by themselves after a change of screen size.
  void WatchScreenSize();

  CMainDlg* mainDialog = nullptr;
  UniqueHandle instanceMutex;
  HotKeyTable hotKeys;
  ExcludedPathList excludedPaths;
  // Carried through the settings file unchanged.
  std::list<std::pair<std::string, uint32_t>> stringValues;
  // Constructed only once the single-instance check passed: constructing one resets the
  // shared hook data, which a refused second copy must leave to the running one.
  std::optional<CSystemHook> systemHook;
  std::optional<CDesktopHook> desktopHook;
  std::string settingsPath;  // in the file layer's form
  WindowPositionList windowPositions;
  DesktopIconKeeper desktopIcons;
  // The boss key has muted and holds the user's levels: the next press gives them back, even
  // when the window it minimised is gone or the entry was edited meanwhile.
  bool bossKeyActive = false;

 protected:
  // The steps of start-up after the pause, in their order (a bench times them one by one).
  // False from the first: another copy runs; from the hooks: they could not be installed.
  bool ClaimSingleInstance();
  void EnterComApartment();
  void ListMixerControls();
  void CreateMainDialog();
  void LoadKeys();
  bool InstallSystemHook();
  bool AttachDesktop();

 private:
  // The volume keys reach the audio endpoints with it.
  std::optional<ComApartment> comApartment_;
  bool startFailed_ = false;
  bool keyListOpen_ = false;
  // Keeps the display on while suppression is on, where the system does not route its
  // screen-saver and power-off commands through an application.
  void HoldDisplay(bool on);
  bool suspended_ = false;
  bool endRequested_ = false;
  // Start-up, shut-down or a session step is under way.
  bool busy_ = true;
  std::string momentaryTip_;  // shown while not empty
  void CarryOutSessionRequests();
  // Both files written as the last save before an end (a failure goes beside them). Only a
  // file that was loaded is written: an end asked for during start-up keeps what is on disk.
  void SaveBeforeEnd();
  bool keysLoaded_ = false;
  bool settingsLoaded_ = false;
  // InitInstance has returned true and ExitInstance has not begun.
  bool running_ = false;
  // Both hooks released, then SaveBeforeEnd.
  void ReleaseHooksAndSave();
  ConfigFile settingsFile_;
  // The settings file's bytes as a save would write them now.
  std::string EncodedSettings();
};

CMainApp& TheApp();
