// Window position memory: a snapshot of the placements of the visible, titled top-level
// windows, put back on demand.
#pragma once

#include <windows.h>

#include <list>
#include <string>

struct WindowPositionRecord {
  HWND window;
  WINDOWPLACEMENT placement;
};

// Newest record first.
using WindowPositionList = std::list<WindowPositionRecord>;
// Program paths whose windows are never remembered (case-sensitive substrings).
using ExcludedPathList = std::list<std::string>;

void CaptureWindowPositions(WindowPositionList& positions, const ExcludedPathList& excluded);
void ApplyWindowPositions(const WindowPositionList& positions);
// True when the window's process was found; `path` is set only when it could be read.
bool GetWindowProcessPath(HWND window, std::string& path);
