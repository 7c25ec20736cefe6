// The desktop icons' arrangements: kept in icons.cfg, taken and put back through Corvane, and
// put back by themselves once the monitors are back in a set that has one.
#pragma once

#include <functional>
#include <string>
#include <utility>

#include "actions/desktop_icons/icon_layouts.h"
#include "corvane/desktop_hook.h"
#include "framework/file_io.h"

// The system's monitors now, in physical pixels.
Monitors SystemMonitors();

class DesktopIconKeeper {
 public:
  using MonitorReader = std::function<Monitors()>;
  explicit DesktopIconKeeper(MonitorReader monitors = SystemMonitors)
      : monitors_(std::move(monitors)) {}

  // Reads the file (a relative path is taken against the current folder). What cannot be read
  // in it is kept, to be written back as it was.
  void Load(const std::string& path);
  // Writes the layouts when Load has run and they changed since the file was last written;
  // see ConfigFile::Save.
  bool Save(bool finalSave);
  // The present arrangement becomes the one for the present monitors, and is written at once.
  // A desktop with no size or no icons is refused and changes nothing.
  bool Remember(CDesktopHook& corvane);
  // Puts the icons back as remembered for the present monitors. False when the shell did not
  // carry it out (it did not answer, or its icons changed meanwhile): worth trying again.
  bool Restore(CDesktopHook& corvane);
  // Called every second: restores once a new set of monitors that has a layout has settled,
  // and tries again while that restore has not been carried out.
  void WatchMonitors(CDesktopHook& corvane);

  bool LastSaveFailed() const { return file_.LastSaveFailed(); }

 private:
  static bool ReadDesktop(CDesktopHook& corvane, DesktopIcons& icons);

  MonitorReader monitors_;
  IconLayouts layouts_;
  ConfigFile file_;
  bool loaded_ = false;
  std::string written_;  // the file's bytes as this run last knew them
  MonitorWatch monitorWatch_;
};
