#pragma once
// Identifiers shared by the resource script and the code.

#define IDD_MAINDLG 129
#define IDD_ABOUTBOX 100
#define IDI_APP_ICON_GROUP 1  // group of the icon images 1 (48 px), 2 (32 px), 3 (16 px)

#define IDC_STATUS_LINE 1004
#define IDC_PROGRESS_BAR 1007
#define ID_APP_ABOUT 57664
