// The program in front, whose audio sessions the front-program keys change.
#pragma once

#include <windows.h>

#include <cstdint>
#include <set>

// The process of the foreground window, or for a Store app's frame the process of the app
// inside it; 0 when Tavolet itself, the desktop or a taskbar is in front, or nothing is.
DWORD FrontProgramProcess();

// That process and every process descended from it, as they run now.
std::set<uint32_t> ProgramProcesses(DWORD root);
