// Screenshots of the (virtual) screen under Wine, saved as PNG.
#pragma once

#include <windows.h>

#include <string>

// Captures `area` in screen coordinates; the whole screen when area is null.
bool SaveScreenshot(const std::string& path, const RECT* area = nullptr);
// Captures a window's rectangle (with its frame).
bool SaveWindowScreenshot(const std::string& path, HWND window);
