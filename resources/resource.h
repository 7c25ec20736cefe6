// Resource ids shared by the resource script and the code.
#pragma once

#define IDD_ABOUT 100
#define IDS_ABOUT_MENU 101
#define IDD_MAIN 102
#define IDR_MAINFRAME 128
#define IDM_TRAY 131
#define IDI_BLOCKED 135

#define IDC_STATIC -1
#define IDC_ABOUT_ICON 1000
#define IDC_ABOUT_TEXT 1001

#define ID_EDIT_KEYS 32771
#define ID_PROPERTIES 32775

// System-menu item of the main dialog that opens the About box.
#define ID_ABOUT_BOX 0x0010

#define TAVOLET_APP_EXIT 0xE141

#define IDD_HOTKEY_EDIT 129
#define IDD_KEY_LIST 130
#define IDM_KEY_LIST 132

// Hot-key edit dialog
#define IDC_HOTKEY 1003
#define IDC_TYPE 1004
#define IDC_NO_ARGUMENT 1005
#define IDC_CLIPBOARD_TEXT 1006
#define IDC_SELECTED_TEXT 1007
#define IDC_PRESET 1009
#define IDC_WPARAM 1010
#define IDC_KIND 1011
#define IDC_LPARAM 1012
#define IDC_MESSAGE 1013
#define IDC_PATH 1014
#define IDC_BROWSE 1015
#define IDC_ENCODING 1017
#define IDC_SINGLE_INSTANCE 1018
#define IDC_WINDOWS_KEY 1019
#define IDC_PARAM1 1020
#define IDC_PARAM2 1021
#define IDC_PATH_LABEL 1022
#define IDC_ENCODING_LABEL 1023
#define IDC_PRESET_LABEL 1024
#define IDC_PARAM1_LABEL 1025
#define IDC_PARAM2_LABEL 1026
#define IDC_MESSAGE_LABEL 1027
#define IDC_WPARAM_LABEL 1028
#define IDC_LPARAM_LABEL 1029
#define IDC_KIND_LABEL 1030
#define IDC_ACTION 1032
#define IDC_ACTION_LABEL 1033

// Key list dialog
#define IDC_KEY_LIST 1016
#define ID_KEY_ADD 32772
#define ID_KEY_DELETE 32773
#define ID_KEY_EDIT 32774
