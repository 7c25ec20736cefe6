#include <windows.h>

#include <cstring>
#include <string>

#include "actions/text_capture.h"

namespace {

constexpr UINT kIdEditCopy = 0xE122;
constexpr WPARAM kIeCopyCommand = 0x0001000F;  // IDM_COPY from an accelerator
constexpr LPARAM kCtrlCKeyData = 0x002E0001;
// A program that does not answer within this time is given up on, so it cannot hang Tavolet.
constexpr UINT kCopyTimeoutMs = 2000;

void SendCopyMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_NORMAL,
                      kCopyTimeoutMs, &ignored);
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
void CopySelection() {
  HWND foreground = GetForegroundWindow();
  const DWORD foregroundThread = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
  const DWORD ownThread = GetCurrentThreadId();
  if (foregroundThread) AttachThreadInput(ownThread, foregroundThread, TRUE);
  HWND focus = GetFocus();
  if (focus) {
    char text[256] = "";
    char className[256] = "";
    GetWindowTextA(focus, text, sizeof text);
    GetClassNameA(focus, className, sizeof className);
    if (std::strcmp(className, "Internet Explorer_Server") == 0) {
      SendCopyMessage(focus, WM_COMMAND, kIeCopyCommand, 0);
    } else if (std::strcmp(text, "RichChocoa") == 0) {
      SendCopyMessage(foreground, WM_COMMAND, kIdEditCopy, 0);
    } else {
      SendCopyMessage(focus, WM_COMMAND, kIdEditCopy, 0);
      SendCopyMessage(focus, WM_CHAR, 3, kCtrlCKeyData);
    }
  }
  if (foregroundThread) AttachThreadInput(ownThread, foregroundThread, FALSE);
}

}  // namespace

std::string GetSelectedText() {
  CopySelection();
  std::string result;
  GetClipboardText(result);
  return result;
}

std::u16string GetSelectedUnicodeText() {
  CopySelection();
  std::u16string result;
  GetClipboardUnicodeText(result);
  return result;
}
