#include "app/main_app.h"

#include "actions/sound/mixer_rules.h"
#include "actions/sound/volume_mixer.h"
#include "app/main_dlg.h"
#include "app/properties_dlg.h"
#include "hotkeys/key_list_dlg.h"
#include "resources/resource.h"

#include <cstdio>

static_assert(ID_APP_EXIT == TAVOLET_APP_EXIT);

namespace {
const char kInstanceMutexName[] = "TavoletTavolet";
const char kAnotherBuildInShell[] =
    "デスクトップには別の版の Corvane.dll が読み込まれたままです。\n"
    "エクスプローラーを再起動すると、この版でアイコンの文字に色が付きます。";
// Beside key.cfg and the settings file, in the working folder.
const char kIconsFileName[] = "icons.cfg";
constexpr DWORD kStartPauseMs = 2000;
// The main dialog's own timers are 1 and 2.
constexpr UINT_PTR kMomentaryTipTimer = 3;
constexpr UINT kMomentaryTipMs = 5000;

void CALLBACK MomentaryTipEnds(HWND window, UINT, UINT_PTR id, DWORD) {
  KillTimer(window, id);
  TheApp().EndMomentaryTip();
}
}  // namespace

CMainApp& TheApp() { return *static_cast<CMainApp*>(AfxGetApp()); }

CMainApp::~CMainApp() { delete mainDialog; }

BOOL CMainApp::InitInstance() {
  // The class library's control-container and 3-D control set-up have no counterpart here:
  // the common controls are initialised by the framework before InitInstance.
  if (!ClaimSingleInstance()) return FALSE;
  Sleep(kStartPauseMs);
  EnterComApartment();
  ListMixerControls();
  CreateMainDialog();
  LoadKeys();
  LoadSettings();
  settingsLoaded_ = true;
  desktopIcons.Load(kIconsFileName);
  if (!InstallSystemHook()) {
    MessageBoxA(nullptr, "Can't System Hook!", "", MB_OK);
    startFailed_ = true;
    return FALSE;
  }
  if (!AttachDesktop()) {
    MessageBoxA(nullptr, "Can't Desktop Hook!", "", MB_OK);
    startFailed_ = true;
    return FALSE;
  }
  CarryOutSessionRequests();  // an end-of-session query that came during start-up
  UpdateRegistrationTip();
  running_ = true;
  return TRUE;
}

bool CMainApp::ClaimSingleInstance() {
  instanceMutex.reset(CreateMutexA(nullptr, FALSE, kInstanceMutexName));
  if (!instanceMutex || GetLastError() == ERROR_ALREADY_EXISTS) {
    instanceMutex.reset();
    return false;
  }
  systemHook.emplace();
  desktopHook.emplace();
  return true;
}

void CMainApp::EnterComApartment() { comApartment_.emplace(); }

// Put off to the first use: loading the sound driver is the slowest part of start-up, and the
// icon need not wait for it.
void CMainApp::ListMixerControls() {
  VolumeMixer::Instance().InitializeAtFirstUse(kAnyMixerDevice, 0x100A);
}

void CMainApp::CreateMainDialog() {
  mainDialog = new CMainDlg;
  m_pMainWnd = mainDialog;
  mainDialog->Create();
}

void CMainApp::LoadKeys() {
  hotKeys.Load();
  keysLoaded_ = true;
}

bool CMainApp::InstallSystemHook() {
  if (!systemHook->Init(WH_CBT, m_nThreadID, mainDialog->m_hWnd)) return false;
  // Suppression survives a restart while any process keeps the library mapped.
  if (CSystemHook::state) {
    HoldDisplay(true);
    mainDialog->UpdateTrayIcon(CSystemHook::state);
  }
  return true;
}

bool CMainApp::AttachDesktop() {
  if (desktopHook->Init()) return true;
  // The files were replaced while the shell kept the old library: Tavolet runs, and attaches
  // once the shell has been restarted (its taskbar's new notice).
  if (desktopHook->AnotherBuildInShell()) {
    MessageBoxA(nullptr, kAnotherBuildInShell, "", MB_OK);
    return true;
  }
  // A shell that has not answered yet has the request in its queue and the hook in place:
  // Tavolet runs and looks again, as after a restart of the shell.
  if (!CDesktopHook::hook) return false;
  mainDialog->StartReattaching(false);
  return true;
}

int CMainApp::ExitInstance() {
  // A refused start loaded nothing, so it writes nothing and leaves the running copy alone.
  if (!instanceMutex) return kExitRefusedStart;
  busy_ = true;
  running_ = false;
  SaveAndRelease();
  if (mainDialog) {
    mainDialog->DestroyWindow();
    delete mainDialog;
    mainDialog = nullptr;
    m_pMainWnd = nullptr;
  }
  HoldDisplay(false);
  comApartment_.reset();
  ReleaseMutex(instanceMutex.get());
  instanceMutex.reset();
  const int quitCode = CWinApp::ExitInstance();
  return startFailed_ ? kExitFailedStart : quitCode;
}

void CMainApp::SaveBeforeEnd() {
  if (keysLoaded_) hotKeys.Save(std::string(), true);
  if (settingsLoaded_) SaveSettings(true);
  desktopIcons.Save(true);
  UpdateRegistrationTip();
}

void CMainApp::ReleaseHooksAndSave() {
  if (systemHook) systemHook->Release();
  if (desktopHook) desktopHook->Release();
  SaveBeforeEnd();
}

void CMainApp::SaveAndRelease() {
  ReleaseHooksAndSave();
  hotKeys.Clear();
}

void CMainApp::SaveAndSuspend() {
  ReleaseHooksAndSave();
  hotKeys.UnregisterAll();
  suspended_ = true;
}

void CMainApp::RequestSessionEnd(bool ending) {
  endRequested_ = ending;
  if (!busy_) {
    busy_ = true;
    CarryOutSessionRequests();
  } else if (ending && mainDialog) {
    SaveBeforeEnd();  // before the answer all the same; the rest follows the step
  }
}

void CMainApp::CarryOutSessionRequests() {
  while (endRequested_ != suspended_) {
    if (endRequested_) {
      SaveAndSuspend();
    } else {
      ResumeAfterCancelledEnd();
    }
  }
  busy_ = false;
}

bool CMainApp::ReattachDesktop(bool askAgain) {
  if (!desktopHook || suspended_ || busy_) return true;
  if (desktopHook->Attached()) return true;
  const bool asked = CDesktopHook::hook && IsWindow(CDesktopHook::desktop);
  if (asked && !askAgain) return false;
  return desktopHook->Init();
}

void CMainApp::WatchScreenSize() {
  if (running_ && !suspended_ && !busy_ && desktopHook) desktopIcons.WatchMonitors(*desktopHook);
}

void CMainApp::ResumeAfterCancelledEnd() {
  if (!suspended_) return;
  suspended_ = false;
  if (!mainDialog) return;
  // An entry edited meanwhile holds its key already; every other one takes it back.
  hotKeys.RegisterUnregistered();
  if (systemHook) systemHook->Init(WH_CBT, m_nThreadID, mainDialog->m_hWnd);
  if (desktopHook) desktopHook->Init();
  mainDialog->trayIcon.Reset();
  mainDialog->UpdateTrayIcon(CSystemHook::state);
  UpdateRegistrationTip();
}

BOOL CMainApp::PreTranslateMessage(MSG* msg) {
  // Taken here, so the main dialog sees only those that other loops deliver.
  if (msg->message == WM_HOTKEY) {
    DispatchHotKey(static_cast<int32_t>(msg->wParam));
    return TRUE;
  }
  return CWinApp::PreTranslateMessage(msg);
}

void CMainApp::DispatchHotKey(int32_t id) {
  if (!running_) return;
  if (HotKeyEntry* entry = hotKeys.FindById(id)) DispatchAction(*entry);
}

bool CMainApp::OnCmdMsg(UINT id, UINT code) {
  switch (id) {
    case ID_APP_EXIT:
      PostQuitMessage(0);
      return true;
    case ID_EDIT_KEYS:
      ShowKeyList();
      return true;
    case ID_PROPERTIES:
      ShowProperties();
      return true;
    default:
      return CWinApp::OnCmdMsg(id, code);
  }
}

void CMainApp::UpdateRegistrationTip() {
  if (!mainDialog) return;
  char tip[64] = "Tavolet";
  const int32_t refused = suspended_ ? 0 : hotKeys.UnregisteredCount();
  if (!momentaryTip_.empty()) {
    std::snprintf(tip, sizeof tip, "Tavolet (%s)", momentaryTip_.c_str());
  } else if (keysLoaded_ && hotKeys.LastSaveFailed()) {
    std::snprintf(tip, sizeof tip, "Tavolet (保存できません: key.cfg)");
  } else if (settingsLoaded_ && settingsFile_.LastSaveFailed()) {
    std::snprintf(tip, sizeof tip, "Tavolet (保存できません: 設定)");
  } else if (desktopIcons.LastSaveFailed()) {
    std::snprintf(tip, sizeof tip, "Tavolet (保存できません: icons.cfg)");
  } else if (refused > 0) {
    std::snprintf(tip, sizeof tip, "Tavolet (登録できないキー: %d)", refused);
  }
  mainDialog->trayIcon.SetTip(tip);
}

void CMainApp::ShowMomentaryTip(const char* note) {
  if (!mainDialog || !note) return;
  momentaryTip_ = note;
  SetTimer(mainDialog->m_hWnd, kMomentaryTipTimer, kMomentaryTipMs, &MomentaryTipEnds);
  UpdateRegistrationTip();
}

void CMainApp::EndMomentaryTip() {
  momentaryTip_.clear();
  UpdateRegistrationTip();
}

void CMainApp::ShowKeyList() {
  if (keyListOpen_) return;
  keyListOpen_ = true;
  // A combination another program has let go of since is taken now.
  if (!suspended_) hotKeys.RegisterUnregistered();
  {
    CKeyListDlg keyList(hotKeys, [this] { UpdateRegistrationTip(); });
    keyList.DoModal();
  }
  keyListOpen_ = false;
}

void CMainApp::ToggleScreenSaverBlock() {
  if (!systemHook) return;
  if (CSystemHook::state) {
    systemHook->Stop();
  } else {
    systemHook->Start();
  }
  HoldDisplay(CSystemHook::state != 0);
  if (mainDialog) mainDialog->UpdateTrayIcon(CSystemHook::state);
}

void CMainApp::HoldDisplay(bool on) {
  SetThreadExecutionState(on ? ES_CONTINUOUS | ES_DISPLAY_REQUIRED : ES_CONTINUOUS);
}

void CMainApp::ShowProperties() {
  {
    CPropertiesDlg properties;
    properties.DoModal();
  }
  SaveSettings();
  UpdateRegistrationTip();
}
