// The shell keeps the Corvane it once loaded for as long as it runs (its list view may call
// into it), and the system keeps a hook as a library path and an offset: a Tavolet whose Corvane
// at that path is another build would have the shell call the new offset in the old code.
#pragma once

#include <windows.h>

// Whether the process of `list` holds a library of the path of `library` that is not the same
// build (or whose build cannot be told).
bool ShellHoldsAnotherBuild(HWND list, HMODULE library);
