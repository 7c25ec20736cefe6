#include "corvane/desktop_hook.h"

CDesktopHook::CDesktopHook() = default;
CDesktopHook::CDesktopHook(const CDesktopHook&) {}
CDesktopHook::~CDesktopHook() = default;
CDesktopHook& CDesktopHook::operator=(const CDesktopHook&) { return *this; }

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
