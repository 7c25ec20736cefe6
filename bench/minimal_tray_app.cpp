// The yardstick of Tavolet's start-up: a program of the same kind that does nothing else (common
// controls 6, one hidden dialog, one notification icon), ended by WM_CLOSE to its dialog.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

namespace {

INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM, LPARAM) {
  if (message == WM_CLOSE) {
    DestroyWindow(window);
    return TRUE;
  }
  if (message == WM_DESTROY) PostQuitMessage(0);
  return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_HOTKEY_CLASS};
  InitCommonControlsEx(&controls);
  HWND dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(100), nullptr, &DialogProc, 0);
  if (!dialog) return 1;
  NOTIFYICONDATAA icon{};
  icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
  icon.hWnd = dialog;
  icon.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
  icon.uCallbackMessage = WM_USER + 100;
  icon.hIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(1), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  lstrcpyA(icon.szTip, "minimal");
  Shell_NotifyIconA(NIM_ADD, &icon);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageA(dialog, &msg)) DispatchMessageA(&msg);
  }
  Shell_NotifyIconA(NIM_DELETE, &icon);
  return 0;
}
