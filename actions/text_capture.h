// The text an action passes along: the clipboard's, or the foreground program's selection.
#pragma once

#include <string>

// True when the clipboard held CF_TEXT; `text` is set only then.
bool GetClipboardText(std::string& text);
// Tells the focused control of the foreground program to copy its selection, then returns
// the clipboard text (empty when there is none).
std::string GetSelectedText();
