#include "app/main_app.h"

// Runs the action of a pressed hot key. The action kinds are wired in here as each of them
// is built; until then a recognised hot key runs nothing.
void CMainApp::DispatchAction(HotKeyEntry&) {}
