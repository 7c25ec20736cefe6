// A thread-local CBT hook, installed after others, that passes every event on with
// CallNextHookEx and remembers the answer the rest of the chain gave to system commands.
#pragma once

#include <windows.h>

class CbtObserver {
 public:
  CbtObserver();
  ~CbtObserver();
  CbtObserver(const CbtObserver&) = delete;
  CbtObserver& operator=(const CbtObserver&) = delete;

  // Sends WM_SYSCOMMAND with `command` to `window` and returns the chain's answer to it
  // (-1 when the hook saw no such event).
  LRESULT AnswerTo(HWND window, WPARAM command);

 private:
  static LRESULT CALLBACK Procedure(int code, WPARAM wParam, LPARAM lParam);
  HHOOK hook_ = nullptr;
};
