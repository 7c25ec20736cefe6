// The text an action passes along: the clipboard's, or the foreground program's selection.
#pragma once

#include <cstdint>
#include <string>

// True when the clipboard held CF_TEXT; `text` is set only then.
bool GetClipboardText(std::string& text);
// Tells the focused control of the foreground program to copy its selection, presses the
// program's copy key where that is known to do no harm (once the user has let go of the hot
// key, whose key is `hotKeyVirtualKey`), then returns the clipboard text once the copier has
// let go of it (empty when there is none). Nothing selected: the text the clipboard held before.
std::string GetSelectedText(uint32_t hotKeyVirtualKey);

// The same two in the clipboard's Unicode form, for the UTF-8 encoding, which can carry every
// character (the ANSI form has already turned those outside the code page into "?").
bool GetClipboardUnicodeText(std::u16string& text);
std::u16string GetSelectedUnicodeText(uint32_t hotKeyVirtualKey);
