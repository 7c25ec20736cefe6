// Taking the selection of the program in front without harming it: which programs get the copy
// messages, which get a copy key press and only when, which keys that press is, and how long
// each step may wait. Plain values; the Win32 glue gathers the facts, asks the program whether
// it has a selection, and sends what is decided here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct KeyEvent {
  uint16_t virtualKey;
  bool up;
  bool extended;  // Insert of the editing block
  bool operator==(const KeyEvent& other) const {
    return virtualKey == other.virtualKey && up == other.up && extended == other.extended;
  }
};

enum class CopyKey : uint8_t { None, CtrlC, CtrlInsert };

// The left Ctrl down, the key down and up, the left Ctrl up; nothing for None. Sent only while
// the user holds no key, so no key of the user's is ever let go of.
std::vector<KeyEvent> CopyKeyEvents(CopyKey key);

// Every Shift, Ctrl, Alt and Windows key, and the hot key's own key (0: none): a copy key press
// waits until all of them are up.
std::vector<uint16_t> KeysToLetGo(uint32_t hotKeyVirtualKey);

// What the foreground window is, as far as copying from it is concerned.
struct ForegroundFacts {
  bool exists = false;
  bool ownProcess = false;   // one of this program's windows
  bool shellWindow = false;  // the desktop window or the shell's window
  std::string className;
  std::string programName;  // the file name of its program, in any case
};

// What Ctrl+C means to the program in front.
enum class ProgramKind : uint8_t {
  NoKeys,            // none, this program, the desktop or the taskbar: nothing to press into
  Ordinary,          // copies the selection, and nothing without one (browsers, Office, ...)
  CopiesUnselected,  // copies without a selection too: the line (code editors), the active cell
                     // (Excel), the selected files (file windows)
  Terminal,          // an interrupt without a selection; Ctrl+Insert copies a selection
  PassesKeysOn,      // remote desktops and virtual machines: the keys go to the other machine
  CtrlCCommand,      // Emacs and Vim: a command of their own
};
ProgramKind KindOf(const ForegroundFacts& foreground);

// The copy messages (and with them a WM_CHAR 3, which consoles take for ^C) go only where they
// can mean nothing but copy.
bool TakesCopyMessages(ProgramKind kind);
// The key press that copies the selection there; None where no key may be pressed.
CopyKey CopyKeyOf(ProgramKind kind);

// What the program said of its selection when asked without a key press.
enum class Selection : uint8_t { Unknown, Empty, NonEmpty };

struct KeyPressWait {
  Selection selection = Selection::Unknown;  // the answer, once there is one
  bool asking = false;                       // the question is still open
  bool keysUp = false;                       // none of KeysToLetGo is down
  uint32_t elapsedMs = 0;                    // since the question was put and the wait began
};
enum class KeyPressStep : uint8_t { Wait, Press, GiveUp };
// A key is pressed only where the selection is known to exist, or cannot be known and Ctrl+C
// copies nothing without one, and only once the user has let go of every key; otherwise the
// press is given up, and the clipboard stays as the user had it.
KeyPressStep NextKeyPressStep(ProgramKind kind, const KeyPressWait& wait);

// Waits, in milliseconds.
constexpr uint32_t kSelectionQueryMs = 500;   // for the program's answer to the question
constexpr uint32_t kKeyReleaseWaitMs = 2000;  // for the user to let go of the hot key
constexpr uint32_t kCopyWaitMs = 1000;        // for the program to copy after the press
constexpr uint32_t kMinWaitMs = 200;
// The whole capture, from its start, ends within this time unless a program is slow to answer
// the copy messages; even then the copy and the reading of the clipboard get kMinWaitMs each.
constexpr uint32_t kCaptureBudgetMs = 3500;

// Milliseconds from `start` to `now` on a tick counter that wraps around.
constexpr uint32_t ElapsedMs(uint32_t start, uint32_t now) { return now - start; }
// How long to wait for the copy after the key press, `elapsed` ms into the capture.
uint32_t CopyWaitMs(uint32_t elapsed);
// How long to wait for the copier to let go of the clipboard, `elapsed` ms into the capture.
uint32_t ClipboardWaitMs(uint32_t elapsed);
