// The shell's side of reading and moving the desktop icons for Tavolet.
#pragma once

#include <windows.h>

// Answers Tavolet's WM_COPYDATA to the subclassed list view; false for one that is not ours.
bool AnswerIconMessage(HWND list, const COPYDATASTRUCT* data, LRESULT& result);
