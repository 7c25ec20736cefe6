// Asks the Windows this runs on for what the ANSI, Japanese Tavolet and its tests take for
// granted, and prints one line for each that is missing (exit code 3 when any is):
//   ansi-text      user32 reads and gives out window texts in the ANSI code page
//   system-icons   the system's own icons can be loaded
//   memory-dc      a memory device context compatible with the screen can be made
//   combo-box      a combo box can be made
// Windows has them all, and so has Wine's classic 32-bit side; Wine 8's experimental new WoW64
// mode has none of them.
#include <windows.h>

#include <cstdio>

int main() {
  int missing = 0;
  auto report = [&](bool present, const char* name) {
    if (present) return;
    std::printf("%s\n", name);
    ++missing;
  };
  HWND text = CreateWindowExA(0, "STATIC", "\x82\xA0", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              nullptr, nullptr);
  wchar_t wide[4] = L"";
  if (text) GetWindowTextW(text, wide, 4);
  report(GetACP() == 932 && wide[0] == 0x3042 && wide[1] == 0, "ansi-text");
  if (text) DestroyWindow(text);
  report(LoadIconW(nullptr, MAKEINTRESOURCEW(32512)) != nullptr, "system-icons");
  HDC screen = GetDC(nullptr);
  HDC memory = screen ? CreateCompatibleDC(screen) : nullptr;
  report(memory != nullptr, "memory-dc");
  if (memory) DeleteDC(memory);
  if (screen) ReleaseDC(nullptr, screen);
  HWND combo = CreateWindowExW(0, L"ComboBox", L"", WS_POPUP | CBS_DROPDOWNLIST, 0, 0, 50, 50,
                               nullptr, nullptr, nullptr, nullptr);
  report(combo != nullptr, "combo-box");
  if (combo) DestroyWindow(combo);
  return missing ? 3 : 0;
}
