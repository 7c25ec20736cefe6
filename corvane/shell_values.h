// Corvane's switch and colours as Tavolet sets them, carried to the copy of the library in the
// shell's process through memory that only this user may write; with them the Tavolet the shell
// answers icon requests for.
#pragma once

#include <cstdint>

struct ShellValues {
  long state;
  unsigned long text, outline, background, selection;
  // The process that published them, the only one the shell sends its icon list to, and the
  // key its icon moves carry (random for each run of Tavolet).
  unsigned long caller;
  uint64_t key;
};

// How they lie in that memory (named "Corvane").
struct PublishedShellValues {
  int32_t state;
  uint32_t text, outline, background, selection;
  uint32_t caller;
  uint32_t key[2];  // low half first
};

// Copies this process's values (CDesktopHook's static members) to where the shell reads them;
// false when that memory could not be made.
bool PublishValues();
// The values as last published; switched off, and nobody's, while nothing has been published.
ShellValues CurrentValues();
