#include "tests/support/cbt_observer.h"

namespace {
HHOOK observerHook = nullptr;
LRESULT lastAnswer = -1;
}  // namespace

CbtObserver::CbtObserver() {
  hook_ = SetWindowsHookExA(WH_CBT, &CbtObserver::Procedure, nullptr, GetCurrentThreadId());
  observerHook = hook_;
}

CbtObserver::~CbtObserver() {
  if (hook_) UnhookWindowsHookEx(hook_);
  observerHook = nullptr;
}

LRESULT CALLBACK CbtObserver::Procedure(int code, WPARAM wParam, LPARAM lParam) {
  const LRESULT answer = CallNextHookEx(observerHook, code, wParam, lParam);
  if (code == HCBT_SYSCOMMAND) lastAnswer = answer;
  return answer;
}

LRESULT CbtObserver::AnswerTo(HWND window, WPARAM command) {
  lastAnswer = -1;
  SendMessageA(window, WM_SYSCOMMAND, command, 0);
  return lastAnswer;
}
