// Reading and moving the desktop icons through the list view Corvane has subclassed: Tavolet's
// requests and the shell's answers. It knows of the hook only the list view it is given and
// the published values (shell_values.h).
#pragma once

#include <windows.h>

// Answers Tavolet's WM_COPYDATA to the subclassed list view; false for one that is not ours.
bool AnswerIconMessage(HWND list, const COPYDATASTRUCT* data, LRESULT& result);

// Tavolet's side. The list and its size in bytes (0: no answer); with a null buffer only the
// size is asked for.
unsigned long AskIconList(HWND desktop, void* buffer, unsigned long size);
// The number of icons moved, or -1 when the shell did not take the moves.
long SendIconMoves(HWND desktop, const void* moves, unsigned long size);
