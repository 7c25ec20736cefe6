#include <windows.h>

#include "app/main_app.h"

// The one application object, constructed before WinMain.
static CMainApp theApp;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return AfxWinMain(instance); }
