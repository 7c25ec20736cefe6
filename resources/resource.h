// Resource ids shared by the resource script and the code.
#pragma once

#define IDD_ABOUT 100
#define IDS_ABOUT_MENU 101
#define IDD_MAIN 102
#define IDR_MAINFRAME 128
#define IDM_TRAY 131
#define IDI_BLOCKED 135

#define IDC_ABOUT_ICON 1000
#define IDC_ABOUT_TEXT 1001

#define ID_EDIT_KEYS 32771
#define ID_PROPERTIES 32775

// System-menu item of the main dialog that opens the About box.
#define ID_ABOUT_BOX 0x0010

#define TAVOLET_APP_EXIT 0xE141
