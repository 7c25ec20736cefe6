// Corvane's switch and colours as Tavolet sets them, carried to the copy of the library in the
// shell's process through memory that only this user may write.
#pragma once

struct ShellValues {
  long state;
  unsigned long text, outline, background, selection;
};

// Copies this process's values (CDesktopHook's static members) to where the shell reads them;
// false when that memory could not be made.
bool PublishValues();
// The values as last published; switched off while nothing has been published.
ShellValues CurrentValues();
