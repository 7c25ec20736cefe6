// Starting a command line as a new process, and finding its first window.
#pragma once

#include <windows.h>

#include <string>

// Starts the command line, waits 500 ms and returns the new process's first visible
// top-level window (null when it shows none by then).
HWND StartProgram(const std::string& commandLine);
// The first visible top-level window of the process, or null.
HWND FindProcessWindow(DWORD processId);
bool IsTopLevelWindow(HWND window);
