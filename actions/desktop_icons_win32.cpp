#include "actions/desktop_icons.h"

#include <windows.h>

#include "corvane/desktop_hook.h"

namespace {
// Enough for some hundred icons in one go; a larger desktop is read a second time.
constexpr unsigned long kFirstReadBytes = 64 * 1024;
}  // namespace

void DesktopIconKeeper::Load(const std::string& path) {
  std::string bytes;
  const ReadOutcome outcome = file_.Load(path, bytes);
  loaded_ = true;
  if (outcome == ReadOutcome::Read && !DecodeIconLayouts(bytes, layouts_)) file_.KeepAsFound();
  written_ = EncodeIconLayouts(layouts_);
  file_.SetBaseline(written_);
}

bool DesktopIconKeeper::Save(bool finalSave) {
  if (!loaded_) return false;
  std::string bytes = EncodeIconLayouts(layouts_);
  if (bytes == written_) return true;  // a user who never remembers gets no file
  if (!file_.Save(bytes, finalSave)) return false;
  written_ = std::move(bytes);
  return true;
}

bool DesktopIconKeeper::ReadDesktop(CDesktopHook& corvane, DesktopIcons& icons) {
  std::string bytes(kFirstReadBytes, '\0');
  unsigned long size = corvane.ReadIcons(bytes.data(), kFirstReadBytes);
  if (size > kMaxIconListBytes) return false;  // never what the shell sends: nothing is taken
  if (size > kFirstReadBytes) {
    bytes.resize(size);
    if (corvane.ReadIcons(bytes.data(), size) != size) return false;
  }
  if (size == 0) return false;
  bytes.resize(size);
  return ParseIconList(bytes, icons);
}

bool DesktopIconKeeper::Remember(CDesktopHook& corvane) {
  DesktopIcons icons;
  if (!ReadDesktop(corvane, icons)) return false;
  RememberLayout(layouts_, icons);
  return Save(false);
}

int DesktopIconKeeper::Restore(CDesktopHook& corvane) {
  DesktopIcons icons;
  if (!ReadDesktop(corvane, icons) || icons.autoArrange) return -1;
  const IconLayout* layout = LayoutFor(layouts_, icons.width, icons.height);
  if (!layout) return -1;
  const std::vector<IconMove> moves = PlanIconMoves(*layout, icons.icons);
  if (moves.empty()) return 0;
  const std::string bytes = EncodeIconMoves(static_cast<uint32_t>(icons.icons.size()), moves);
  return corvane.MoveIcons(bytes.data(), static_cast<unsigned long>(bytes.size()));
}

void DesktopIconKeeper::WatchScreenSize(CDesktopHook& corvane) {
  HWND list = CDesktopHook::desktop;
  RECT client{};
  if (!list || !GetClientRect(list, &client)) return;
  const int32_t width = client.right - client.left, height = client.bottom - client.top;
  if (sizeWatch_.Tick(width, height) && LayoutFor(layouts_, width, height)) Restore(corvane);
}
