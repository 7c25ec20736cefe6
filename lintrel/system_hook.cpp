#include "lintrel/system_hook.h"

CSystemHook::CSystemHook() = default;
CSystemHook::CSystemHook(const CSystemHook&) {}
CSystemHook::~CSystemHook() = default;
CSystemHook& CSystemHook::operator=(const CSystemHook&) { return *this; }

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
