#include "actions/launch/copy_keys.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr uint16_t kLeftCtrl = 0xA2, kInsert = 0x2D;
// Shift, Ctrl and Alt of both sides, then both Windows keys.
constexpr uint16_t kModifierKeys[] = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0x5B, 0x5C};

struct NamedKind {
  const char* name;
  ProgramKind kind;
};

// Window classes of the foreground window.
constexpr NamedKind kClassKinds[] = {
    {"Progman", ProgramKind::NoKeys},
    {"WorkerW", ProgramKind::NoKeys},
    {"Shell_TrayWnd", ProgramKind::NoKeys},
    {"Shell_SecondaryTrayWnd", ProgramKind::NoKeys},
    {"ConsoleWindowClass", ProgramKind::Terminal},
    {"CASCADIA_HOSTING_WINDOW_CLASS", ProgramKind::Terminal},  // Windows Terminal
    {"PuTTY", ProgramKind::Terminal},
    {"KiTTY", ProgramKind::Terminal},
    {"pterm", ProgramKind::Terminal},
    {"mintty", ProgramKind::Terminal},                      // Git Bash, MSYS2, Cygwin
    {"VirtualConsoleClass", ProgramKind::Terminal},         // ConEmu
    {"VTWin32", ProgramKind::Terminal},                     // Tera Term
    {"TscShellContainerClass", ProgramKind::PassesKeysOn},  // Remote Desktop Connection
    {"RAIL_WINDOW", ProgramKind::PassesKeysOn},             // a remote program's window
    {"Emacs", ProgramKind::CtrlCCommand},
    {"Vim", ProgramKind::CtrlCCommand},
    {"PX_WINDOW_CLASS", ProgramKind::CopiesUnselected},  // Sublime Text
    {"XLMAIN", ProgramKind::CopiesUnselected},           // Excel
    {"CabinetWClass", ProgramKind::CopiesUnselected},    // file windows
    {"ExploreWClass", ProgramKind::CopiesUnselected},
};

// Programs whose windows have classes of no help (Electron, Qt, WPF, Java).
constexpr NamedKind kProgramKinds[] = {
    {"windowsterminal.exe", ProgramKind::Terminal},
    {"openconsole.exe", ProgramKind::Terminal},
    {"putty.exe", ProgramKind::Terminal},
    {"puttytel.exe", ProgramKind::Terminal},
    {"kitty.exe", ProgramKind::Terminal},
    {"mintty.exe", ProgramKind::Terminal},
    {"conemu.exe", ProgramKind::Terminal},
    {"conemu64.exe", ProgramKind::Terminal},
    {"ttermpro.exe", ProgramKind::Terminal},
    {"alacritty.exe", ProgramKind::Terminal},
    {"wezterm-gui.exe", ProgramKind::Terminal},
    {"mobaxterm.exe", ProgramKind::Terminal},
    {"securecrt.exe", ProgramKind::Terminal},
    {"xshell.exe", ProgramKind::Terminal},
    {"tabby.exe", ProgramKind::Terminal},
    {"hyper.exe", ProgramKind::Terminal},
    {"mstsc.exe", ProgramKind::PassesKeysOn},
    {"msrdc.exe", ProgramKind::PassesKeysOn},
    {"vmconnect.exe", ProgramKind::PassesKeysOn},  // Hyper-V
    {"virtualboxvm.exe", ProgramKind::PassesKeysOn},
    {"vmware.exe", ProgramKind::PassesKeysOn},
    {"vmplayer.exe", ProgramKind::PassesKeysOn},
    {"vncviewer.exe", ProgramKind::PassesKeysOn},
    {"tvnviewer.exe", ProgramKind::PassesKeysOn},
    {"anydesk.exe", ProgramKind::PassesKeysOn},
    {"teamviewer.exe", ProgramKind::PassesKeysOn},
    {"rustdesk.exe", ProgramKind::PassesKeysOn},
    {"wfica32.exe", ProgramKind::PassesKeysOn},  // Citrix
    {"cdviewer.exe", ProgramKind::PassesKeysOn},
    {"qemu-system-x86_64.exe", ProgramKind::PassesKeysOn},
    {"qemu-system-x86_64w.exe", ProgramKind::PassesKeysOn},
    {"emacs.exe", ProgramKind::CtrlCCommand},
    {"runemacs.exe", ProgramKind::CtrlCCommand},
    {"gvim.exe", ProgramKind::CtrlCCommand},
    {"nvim-qt.exe", ProgramKind::CtrlCCommand},
    {"neovide.exe", ProgramKind::CtrlCCommand},
    {"code.exe", ProgramKind::CopiesUnselected},  // Visual Studio Code
    {"code - insiders.exe", ProgramKind::CopiesUnselected},
    {"codium.exe", ProgramKind::CopiesUnselected},
    {"vscodium.exe", ProgramKind::CopiesUnselected},
    {"cursor.exe", ProgramKind::CopiesUnselected},
    {"windsurf.exe", ProgramKind::CopiesUnselected},
    {"devenv.exe", ProgramKind::CopiesUnselected},  // Visual Studio
    {"sublime_text.exe", ProgramKind::CopiesUnselected},
    {"idea.exe", ProgramKind::CopiesUnselected},  // JetBrains
    {"idea64.exe", ProgramKind::CopiesUnselected},
    {"pycharm.exe", ProgramKind::CopiesUnselected},
    {"pycharm64.exe", ProgramKind::CopiesUnselected},
    {"clion64.exe", ProgramKind::CopiesUnselected},
    {"webstorm64.exe", ProgramKind::CopiesUnselected},
    {"phpstorm64.exe", ProgramKind::CopiesUnselected},
    {"rider64.exe", ProgramKind::CopiesUnselected},
    {"goland64.exe", ProgramKind::CopiesUnselected},
    {"rubymine64.exe", ProgramKind::CopiesUnselected},
    {"datagrip64.exe", ProgramKind::CopiesUnselected},
    {"rustrover64.exe", ProgramKind::CopiesUnselected},
    {"studio64.exe", ProgramKind::CopiesUnselected},  // Android Studio
    {"excel.exe", ProgramKind::CopiesUnselected},
};

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Window classes and file names are told apart without regard to case, as the system does.
bool SameName(const std::string& name, const char* known) {
  return std::equal(name.begin(), name.end(), known, known + std::char_traits<char>::length(known),
                    [](char a, char b) { return AsciiLower(a) == AsciiLower(b); });
}

template <size_t N>
const NamedKind* Find(const NamedKind (&table)[N], const std::string& name) {
  const auto found = std::find_if(std::begin(table), std::end(table), [&](const NamedKind& entry) {
    return SameName(name, entry.name);
  });
  return found == std::end(table) ? nullptr : found;
}

// Without a known selection a key press could copy something else or interrupt.
bool NeedsKnownSelection(ProgramKind kind) {
  return kind == ProgramKind::CopiesUnselected || kind == ProgramKind::Terminal;
}

}  // namespace

std::vector<KeyEvent> CopyKeyEvents(CopyKey key) {
  if (key == CopyKey::None) return {};
  const bool insert = key == CopyKey::CtrlInsert;
  const uint16_t virtualKey = insert ? kInsert : 'C';
  return {{kLeftCtrl, false, false},
          {virtualKey, false, insert},
          {virtualKey, true, insert},
          {kLeftCtrl, true, false}};
}

std::vector<uint16_t> KeysToLetGo(uint32_t hotKeyVirtualKey) {
  std::vector<uint16_t> keys(std::begin(kModifierKeys), std::end(kModifierKeys));
  if (hotKeyVirtualKey > 0 && hotKeyVirtualKey <= 0xFF) {
    keys.push_back(static_cast<uint16_t>(hotKeyVirtualKey));
  }
  return keys;
}

ProgramKind KindOf(const ForegroundFacts& foreground) {
  if (!foreground.exists || foreground.ownProcess || foreground.shellWindow) {
    return ProgramKind::NoKeys;
  }
  if (const NamedKind* byClass = Find(kClassKinds, foreground.className)) return byClass->kind;
  if (const NamedKind* byProgram = Find(kProgramKinds, foreground.programName)) {
    return byProgram->kind;
  }
  return ProgramKind::Ordinary;
}

bool TakesCopyMessages(ProgramKind kind) {
  return kind == ProgramKind::NoKeys || kind == ProgramKind::Ordinary ||
         kind == ProgramKind::CopiesUnselected;
}

CopyKey CopyKeyOf(ProgramKind kind) {
  switch (kind) {
    case ProgramKind::Ordinary:
    case ProgramKind::CopiesUnselected:
      return CopyKey::CtrlC;
    case ProgramKind::Terminal:
      return CopyKey::CtrlInsert;
    default:
      return CopyKey::None;
  }
}

KeyPressStep NextKeyPressStep(ProgramKind kind, const KeyPressWait& wait) {
  if (CopyKeyOf(kind) == CopyKey::None) return KeyPressStep::GiveUp;
  // A question left open past its time has no answer.
  const bool answered = !wait.asking || wait.elapsedMs >= kSelectionQueryMs;
  if (answered) {
    const Selection selection = wait.asking ? Selection::Unknown : wait.selection;
    if (selection == Selection::Empty) return KeyPressStep::GiveUp;
    if (selection == Selection::Unknown && NeedsKnownSelection(kind)) return KeyPressStep::GiveUp;
    if (wait.keysUp) return KeyPressStep::Press;
  }
  return wait.elapsedMs >= kKeyReleaseWaitMs ? KeyPressStep::GiveUp : KeyPressStep::Wait;
}

uint32_t CopyWaitMs(uint32_t elapsed) {
  if (elapsed >= kCaptureBudgetMs - kMinWaitMs) return kMinWaitMs;
  return std::min(kCopyWaitMs, kCaptureBudgetMs - elapsed);
}

uint32_t ClipboardWaitMs(uint32_t elapsed) {
  if (elapsed >= kCaptureBudgetMs - kMinWaitMs) return kMinWaitMs;
  return kCaptureBudgetMs - elapsed;
}
