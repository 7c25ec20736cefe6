#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "actions/launch/copy_keys.h"
#include "actions/launch/selection_query.h"
#include "actions/launch/text_capture.h"
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

// Waits while `condition` holds, answering sent messages, for `timeoutMs` at most.
template <typename Condition>
void WaitWhile(Condition condition, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (condition() && ElapsedMs(start, GetTickCount()) < timeoutMs) {
    SleepHandlingSentMessages(10);
  }
}

// A program that has just copied may still hold the clipboard open (it is written between its
// EmptyClipboard and CloseClipboard), and clipboard viewers open it after every change: it is
// opened once nobody holds it, within `waitMs`.
bool OpenClipboardWithin(DWORD waitMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (!GetOpenClipboardWindow() && OpenClipboard(nullptr)) return true;
    if (ElapsedMs(start, GetTickCount()) >= waitMs) return false;
    SleepHandlingSentMessages(10);
  }
}

template <typename Char>
bool ReadClipboard(UINT format, std::basic_string<Char>& text, DWORD waitMs) {
  if (!OpenClipboardWithin(waitMs)) return false;
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

// Has the focused control of the foreground program copy its selection to the clipboard.
// False when one of the copy messages went unanswered.
bool SendCopyMessages(HWND foreground) {
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

bool AllUp(const std::vector<uint16_t>& keys) {
  for (const uint16_t key : keys) {
    if (GetAsyncKeyState(key) & 0x8000) return false;
  }
  return true;
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
  }
  if (!inputs.empty()) SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

std::string ProgramNameOf(DWORD processId) {
  UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  char path[MAX_PATH] = "";
  DWORD size = sizeof path;
  if (!process || !QueryFullProcessImageNameA(process.get(), 0, path, &size)) return {};
  const char* name = std::strrchr(path, '\\');
  return name ? name + 1 : path;
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
  facts.programName = ProgramNameOf(process);
  return facts;
}

// Presses the program's copy key where the decisions allow it, once the user has let go of
// every key; false when no key was pressed.
bool PressCopyKey(ProgramKind kind, uint32_t hotKeyVirtualKey) {
  const CopyKey key = CopyKeyOf(kind);
  if (key == CopyKey::None) return false;
  const std::vector<uint16_t> keys = KeysToLetGo(hotKeyVirtualKey);
  SelectionQuery question;
  const DWORD start = GetTickCount();
  for (;;) {
    KeyPressWait wait;
    wait.asking = !question.Answered();
    wait.selection = question.Answer();
    wait.keysUp = AllUp(keys);
    wait.elapsedMs = ElapsedMs(start, GetTickCount());
    const KeyPressStep step = NextKeyPressStep(kind, wait);
    if (step == KeyPressStep::GiveUp) return false;
    if (step == KeyPressStep::Press) break;
    SleepHandlingSentMessages(10);
  }
  SendKeys(CopyKeyEvents(key));
  return true;
}

// Copies the selection of the foreground program to the clipboard: by the copy messages, and
// by a copy key press where those copied nothing. Returns the capture's start.
DWORD CaptureSelection(uint32_t hotKeyVirtualKey) {
  const DWORD start = GetTickCount();
  const DWORD sequence = GetClipboardSequenceNumber();
  HWND foreground = GetForegroundWindow();
  const ProgramKind kind = KindOf(FactsOf(foreground));
  if (TakesCopyMessages(kind)) {
    // A program that did not answer would only take the key press in later, unasked.
    if (!SendCopyMessages(foreground) || GetClipboardSequenceNumber() != sequence) return start;
  }
  if (PressCopyKey(kind, hotKeyVirtualKey)) {
    WaitWhile([&] { return GetClipboardSequenceNumber() == sequence; },
              CopyWaitMs(ElapsedMs(start, GetTickCount())));
  }
  return start;
}

}  // namespace

bool GetClipboardText(std::string& text) { return ReadClipboard(CF_TEXT, text, 0); }

bool GetClipboardUnicodeText(std::u16string& text) {
  return ReadClipboard(CF_UNICODETEXT, text, 0);
}

std::string GetSelectedText(uint32_t hotKeyVirtualKey) {
  const DWORD start = CaptureSelection(hotKeyVirtualKey);
  std::string result;
  ReadClipboard(CF_TEXT, result, ClipboardWaitMs(ElapsedMs(start, GetTickCount())));
  return result;
}

std::u16string GetSelectedUnicodeText(uint32_t hotKeyVirtualKey) {
  const DWORD start = CaptureSelection(hotKeyVirtualKey);
  std::u16string result;
  ReadClipboard(CF_UNICODETEXT, result, ClipboardWaitMs(ElapsedMs(start, GetTickCount())));
  return result;
}
