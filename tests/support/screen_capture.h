// Screenshots of the (virtual) screen under Wine, saved as PNG.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The pixels of `area` (screen coordinates) as RGB bytes, top row first.
bool CaptureScreenRgb(const RECT& area, std::vector<uint8_t>& rgb);
// How many pixels of `area` have exactly this colour.
int CountPixels(const RECT& area, COLORREF color);

// Captures `area` in screen coordinates; the whole screen when area is null.
bool SaveScreenshot(const std::string& path, const RECT* area = nullptr);
// Captures a window's rectangle (with its frame).
bool SaveWindowScreenshot(const std::string& path, HWND window);
