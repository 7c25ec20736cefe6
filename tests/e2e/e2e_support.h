// Shared pieces of the end-to-end suite.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hotkeys/key_file.h"

constexpr UINT kTrayNotify = WM_USER + 100;
constexpr UINT kAllModifiers = MOD_CONTROL | MOD_ALT | MOD_SHIFT;

// build/win64/screenshots/NAME.png
std::string ScreenshotPath(const std::string& name);

// A Ctrl+Alt+Shift entry of type RunProgram with the given target.
KeyRecord Record(UINT key, const std::string& target);
std::string KeyFile(const std::vector<KeyRecord>& records);

// The stand-in desktop runs for the whole suite, as the shell's desktop would.
class StandInDesktop : public ::testing::Environment {
 public:
  void SetUp() override;
  void TearDown() override;

 private:
  HANDLE process_ = nullptr;
};
