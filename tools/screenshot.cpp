// Saves the whole (virtual) screen as a PNG file: screenshot OUTPUT.png
#include <windows.h>

#include <cstdio>

#include "tests/support/screen_capture.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: screenshot OUTPUT.png\n");
    return 2;
  }
  return SaveScreenshot(argv[1]) ? 0 : 1;
}
