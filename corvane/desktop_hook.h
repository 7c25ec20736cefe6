// Corvane's exported class. Attaching to the desktop and painting its labels are built with
// the desktop hook work; until then the library holds only the class's lifetime members.
#pragma once

#include <windows.h>

#ifdef CORVANE_BUILD
#define CORVANE_API __declspec(dllexport)
#else
#define CORVANE_API __declspec(dllimport)
#endif

class CORVANE_API CDesktopHook {
 public:
  CDesktopHook();
  CDesktopHook(const CDesktopHook& other);
  virtual ~CDesktopHook();
  CDesktopHook& operator=(const CDesktopHook& other);
};
