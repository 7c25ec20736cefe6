// Writes Lintrel's shared values, as this process sees them, to a file:
//   lintrel_probe OUTPUT   ->   "<m_hHook> <postThread> <postHwnd> <state>"
// It constructs no CSystemHook, which would reset them.
#include <windows.h>

#include <cstdio>

#include "lintrel/system_hook.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  FILE* out = std::fopen(argv[1], "w");
  if (!out) return 1;
  std::fprintf(out, "%llx %lu %llx %d", reinterpret_cast<unsigned long long>(CSystemHook::m_hHook),
               CSystemHook::postThread, reinterpret_cast<unsigned long long>(CSystemHook::postHwnd),
               CSystemHook::state);
  std::fclose(out);
  return 0;
}
