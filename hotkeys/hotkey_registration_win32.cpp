#include <windows.h>
#include <versionhelpers.h>

#include "framework/app.h"
#include "hotkeys/hotkey_flags.h"
#include "hotkeys/hotkey_registration.h"
#include "hotkeys/key_names.h"

static_assert(kModAlt == MOD_ALT && kModControl == MOD_CONTROL && kModShift == MOD_SHIFT &&
              kModWin == MOD_WIN && kModNoRepeat == MOD_NOREPEAT);

namespace {

// The main window is looked up at every call: it is created before the first registration.
HWND RegistrationWindow() {
  CWnd* mainWindow = AfxGetMainWnd();
  return mainWindow ? mainWindow->m_hWnd : nullptr;
}

}  // namespace

bool RegisterSystemHotKey(int32_t hotKeyId, uint32_t modifiers, uint32_t virtualKey) {
  static const bool hasNoRepeat = IsWindows7OrGreater();
  return RegisterHotKey(RegistrationWindow(), hotKeyId, ModifiersToRegister(modifiers, hasNoRepeat),
                        virtualKey) != FALSE;
}

bool UnregisterSystemHotKey(int32_t hotKeyId) {
  return UnregisterHotKey(RegistrationWindow(), hotKeyId) != FALSE;
}
