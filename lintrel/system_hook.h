// Lintrel's exported class. The system-wide hook itself is built with the system hook work;
// until then the library holds only the class's lifetime members and installs nothing.
#pragma once

#include <windows.h>

#ifdef LINTREL_BUILD
#define LINTREL_API __declspec(dllexport)
#else
#define LINTREL_API __declspec(dllimport)
#endif

class LINTREL_API CSystemHook {
 public:
  CSystemHook();
  CSystemHook(const CSystemHook& other);
  virtual ~CSystemHook();
  CSystemHook& operator=(const CSystemHook& other);
};
