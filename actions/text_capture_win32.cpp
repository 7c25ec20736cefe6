#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "actions/copy_keys.h"
#include "actions/text_capture.h"
#include "framework/handles.h"
#include "framework/waits.h"

namespace {

constexpr UINT kIdEditCopy = 0xE122;
constexpr WPARAM kIeCopyCommand = 0x0001000F;  // IDM_COPY from an accelerator
constexpr LPARAM kCtrlCKeyData = 0x002E0001;
// A program that does not answer within this time is given up on, so it cannot hang Tavolet.
constexpr UINT kCopyTimeoutMs = 2000;

// False when the window did not answer in time (or is gone).
bool SendCopyMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_NORMAL,
                             kCopyTimeoutMs, &ignored) != 0;
}

template <typename Char>
bool ReadClipboard(UINT format, std::basic_string<Char>& text) {
  if (!OpenClipboard(nullptr)) return false;
  HANDLE data = GetClipboardData(format);
  bool read = false;
  // A handle that cannot be locked holds no readable text.
  if (const auto* locked = data ? static_cast<const Char*>(GlobalLock(data)) : nullptr) {
    // The handle's size bounds the read even when the text lacks its terminator.
    const size_t limit = GlobalSize(data) / sizeof(Char);
    size_t length = 0;
    while (length < limit && locked[length]) ++length;
    text.assign(locked, length);
    GlobalUnlock(data);
    read = true;
  }
  CloseClipboard();
  return read;
}

}  // namespace

bool GetClipboardText(std::string& text) { return ReadClipboard(CF_TEXT, text); }

bool GetClipboardUnicodeText(std::u16string& text) { return ReadClipboard(CF_UNICODETEXT, text); }

namespace {

// Has the focused control of the foreground program copy its selection to the clipboard.
// False when one of the copy messages went unanswered.
bool CopySelection() {
  HWND foreground = GetForegroundWindow();
  const DWORD foregroundThread = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
  const DWORD ownThread = GetCurrentThreadId();
  if (foregroundThread) AttachThreadInput(ownThread, foregroundThread, TRUE);
  bool answered = true;
  HWND focus = GetFocus();
  if (focus) {
    char text[256] = "";
    char className[256] = "";
    GetWindowTextA(focus, text, sizeof text);
    GetClassNameA(focus, className, sizeof className);
    if (std::strcmp(className, "Internet Explorer_Server") == 0) {
      answered = SendCopyMessage(focus, WM_COMMAND, kIeCopyCommand, 0);
    } else if (std::strcmp(text, "RichChocoa") == 0) {
      answered = SendCopyMessage(foreground, WM_COMMAND, kIdEditCopy, 0);
    } else {
      const bool command = SendCopyMessage(focus, WM_COMMAND, kIdEditCopy, 0);
      answered = SendCopyMessage(focus, WM_CHAR, 3, kCtrlCKeyData) && command;
    }
  }
  if (foregroundThread) AttachThreadInput(ownThread, foregroundThread, FALSE);
  return answered;
}

// Marks the key events this program sends, so that watching the keyboard tells them apart.
constexpr ULONG_PTR kOwnKeyMark = 0x54564C43;

// The modifiers that the copy key press released and the user still holds. The hook runs on
// this thread, called back while the capture waits.
ModifierSet stillHeld = 0;

LRESULT CALLBACK WatchUserKeys(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    if ((key->flags & LLKHF_UP) && key->dwExtraInfo != kOwnKeyMark) {
      stillHeld &= static_cast<ModifierSet>(~ModifiersOfVirtualKey(key->vkCode));
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

ModifierSet HeldModifiers() {
  ModifierSet held = 0;
  for (int key = 0; key < kModifierKeyCount; ++key) {
    const auto modifier = static_cast<ModifierKey>(key);
    if (GetAsyncKeyState(VirtualKeyOf(modifier)) & 0x8000) held |= ModifierBit(modifier);
  }
  return held;
}

void SendKeys(const std::vector<KeyEvent>& events) {
  std::vector<INPUT> inputs(events.size());
  for (size_t i = 0; i < events.size(); ++i) {
    KEYBDINPUT& key = inputs[i].ki;
    inputs[i].type = INPUT_KEYBOARD;
    key.wVk = events[i].virtualKey;
    key.wScan = static_cast<WORD>(MapVirtualKeyA(events[i].virtualKey, MAPVK_VK_TO_VSC));
    key.dwFlags =
        (events[i].up ? KEYEVENTF_KEYUP : 0) | (events[i].extended ? KEYEVENTF_EXTENDEDKEY : 0);
    key.dwExtraInfo = kOwnKeyMark;
  }
  if (!inputs.empty()) SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

ForegroundFacts FactsOf(HWND window) {
  ForegroundFacts facts;
  facts.exists = window != nullptr;
  if (!window) return facts;
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  facts.ownProcess = process == GetCurrentProcessId();
  facts.shellWindow = window == GetDesktopWindow() || window == GetShellWindow();
  char className[256] = "";
  GetClassNameA(window, className, sizeof className);
  facts.className = className;
  return facts;
}

// Waits while `condition` holds, answering sent messages, for `timeoutMs` at most.
template <typename Condition>
void WaitWhile(Condition condition, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (condition() && ElapsedMs(start, GetTickCount()) < timeoutMs) {
    SleepHandlingSentMessages(10);
  }
}

// Programs that copy only on a real Ctrl+C get one, once the user has let go of the hot key
// (or the keys still down have been released for them).
void PressCopyKeys(DWORD captureStart, DWORD sequence) {
  WaitWhile([] { return HeldModifiers() != 0; }, kModifierReleaseWaitMs);
  // Without the watch there is no telling which keys the user lets go of meanwhile: none is
  // pressed again then, since a key left up is better than one stuck down.
  UniqueHook watch(SetWindowsHookExA(WH_KEYBOARD_LL, WatchUserKeys, GetModuleHandleA(nullptr), 0));
  const ModifierSet held = HeldModifiers();
  stillHeld = held;
  SendKeys(CopyKeyEvents(held));
  WaitWhile([&] { return GetClipboardSequenceNumber() == sequence; },
            CopyWaitMs(ElapsedMs(captureStart, GetTickCount())));
  if (watch) SendKeys(RestoreKeyEvents(stillHeld));
}

// Copies the selection of the foreground program to the clipboard: by the copy messages, and
// by the Ctrl+C key press where those copied nothing.
void CaptureSelection() {
  const DWORD start = GetTickCount();
  const DWORD sequence = GetClipboardSequenceNumber();
  // A program that did not answer would only take the key press in later, unasked.
  if (!CopySelection() || GetClipboardSequenceNumber() != sequence) return;
  if (MayPressCopyKeys(FactsOf(GetForegroundWindow()))) PressCopyKeys(start, sequence);
}

}  // namespace

std::string GetSelectedText() {
  CaptureSelection();
  std::string result;
  GetClipboardText(result);
  return result;
}

std::u16string GetSelectedUnicodeText() {
  CaptureSelection();
  std::u16string result;
  GetClipboardUnicodeText(result);
  return result;
}
