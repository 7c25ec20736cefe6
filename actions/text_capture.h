// The text an action passes along: the clipboard's, or the foreground program's selection.
#pragma once

#include <string>

// True when the clipboard held CF_TEXT; `text` is set only then.
bool GetClipboardText(std::string& text);
// Tells the focused control of the foreground program to copy its selection, presses Ctrl+C
// for programs that copy only on that key, then returns the clipboard text (empty when there
// is none). Nothing selected: the text the clipboard held before.
std::string GetSelectedText();

// The same two in the clipboard's Unicode form, for the UTF-8 encoding, which can carry every
// character (the ANSI form has already turned those outside the code page into "?").
bool GetClipboardUnicodeText(std::u16string& text);
std::u16string GetSelectedUnicodeText();
