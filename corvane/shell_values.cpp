#include "corvane/shell_values.h"

#include "corvane/desktop_hook.h"
#include "framework/session_objects.h"

namespace {

const wchar_t kMappingName[] = L"Corvane";

struct Published {
  volatile LONG state;
  volatile ULONG text, outline, background, selection;
};

// Tavolet's own view, writable; the shell's, read-only, opened at its first paint.
Published* writable = nullptr;
const Published* readable = nullptr;
HANDLE writableMapping = nullptr;
HANDLE readableMapping = nullptr;

}  // namespace

bool PublishValues() {
  if (!writable) {
    writable = static_cast<Published*>(
        CreateUserMapping(kMappingName, sizeof(Published), writableMapping));
  }
  if (!writable) return false;
  writable->text = CDesktopHook::textColor;
  writable->outline = CDesktopHook::textBdColor;
  writable->background = CDesktopHook::bkColor;
  writable->selection = CDesktopHook::selColor;
  writable->state = CDesktopHook::state;
  return true;
}

ShellValues CurrentValues() {
  const Published* source = writable ? writable : readable;
  if (!source) {
    readable = static_cast<const Published*>(
        OpenUserMapping(kMappingName, sizeof(Published), readableMapping));
    source = readable;
  }
  if (!source) return {0, 0x00FFFFFF, 0, DH_COLOR_NONE, DH_COLOR_AUTO};
  return {source->state, source->text, source->outline, source->background, source->selection};
}
