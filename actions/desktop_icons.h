// The desktop icons' arrangements: kept in icons.cfg, taken and put back through Corvane, and
// put back by themselves once the screen is back at a size that has one.
#pragma once

#include <string>

#include "actions/icon_layouts.h"
#include "corvane/desktop_hook.h"
#include "framework/file_io.h"

class DesktopIconKeeper {
 public:
  // Reads the file (a relative path is taken against the current folder). A file that is not
  // of icons.cfg's form gives no layouts and is never replaced in this run.
  void Load(const std::string& path);
  // Writes the layouts when Load has run and they changed since the file was last written;
  // see ConfigFile::Save.
  bool Save(bool finalSave);
  // The present arrangement becomes the one for the present size, and is written at once.
  bool Remember(CDesktopHook& corvane);
  // Puts the icons back as remembered for the present size: the number of icons moved, or -1
  // when there is no desktop, no layout for its size, or auto-arrange is on.
  int Restore(CDesktopHook& corvane);
  // Called every second: restores once a new size that has a layout has settled.
  void WatchScreenSize(CDesktopHook& corvane);

  bool LastSaveFailed() const { return file_.LastSaveFailed(); }

 private:
  static bool ReadDesktop(CDesktopHook& corvane, DesktopIcons& icons);

  IconLayouts layouts_;
  ConfigFile file_;
  bool loaded_ = false;
  std::string written_;  // the file's bytes as this run last knew them
  ScreenSizeWatch sizeWatch_;
};
