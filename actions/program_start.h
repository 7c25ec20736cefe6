// Starting a command line as a new process, and finding its first window.
#pragma once

#include <windows.h>

#include <string>

// Starts the command line, waits 500 ms and returns the new process's first top-level window.
HWND StartProgram(const std::string& commandLine);
HWND FindProcessWindow(DWORD processId);
bool IsTopLevelWindow(HWND window);
