#include "corvane/shell_values.h"

#include "corvane/desktop_hook.h"
#include "framework/session_objects.h"

namespace {

const wchar_t kMappingName[] = L"Corvane";

// Written by Tavolet while the shell reads: every access is one aligned 32-bit word.
using Published = volatile PublishedShellValues;

// Tavolet's own memory, writable; the shell's view, read-only, found at its first paint.
PublishedMemory ownMemory{};
MemoryReader reader{};

}  // namespace

bool PublishValues() {
  auto* writable = static_cast<Published*>(ownMemory.view);
  if (!writable) {
    uint32_t key[2];
    if (!RandomBytes(key, sizeof key) ||
        !CreateUserMapping(kMappingName, sizeof(Published), ownMemory)) {
      return false;
    }
    writable = static_cast<Published*>(ownMemory.view);
    writable->caller = GetCurrentProcessId();
    writable->key[0] = key[0];
    writable->key[1] = key[1];
  }
  writable->text = CDesktopHook::textColor;
  writable->outline = CDesktopHook::textBdColor;
  writable->background = CDesktopHook::bkColor;
  writable->selection = CDesktopHook::selColor;
  writable->state = CDesktopHook::state;
  return true;
}

ShellValues CurrentValues() {
  const auto* source = static_cast<const Published*>(ownMemory.view);
  if (!source) {
    source =
        static_cast<const Published*>(ReadUserMapping(kMappingName, sizeof(Published), reader));
  }
  if (!source) return {0, 0x00FFFFFF, 0, DH_COLOR_NONE, DH_COLOR_AUTO, 0, 0};
  return {source->state,
          source->text,
          source->outline,
          source->background,
          source->selection,
          source->caller,
          (static_cast<uint64_t>(source->key[1]) << 32) | source->key[0]};
}
