#include <windows.h>

#include "app/main_app.h"
#include "framework/dpi.h"

// The one application object, constructed before WinMain.
static CMainApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  EnsureDpiAwareness();
  return AfxWinMain(instance);
}
