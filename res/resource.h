// Identifiers of the program's resources and of the chat window's controls.
// Shared by the resource script (windres reads it through the preprocessor,
// so it holds #defines only) and by the C++ code.
#pragma once

// Dialog templates.
#define IDD_ABOUTBOX 100
#define IDD_CHAT_DIALOG 102

// The program icon, the About item's menu text and the chat view's page.
#define IDR_MAINFRAME 128
#define IDR_CHATVIEW_TEMPLATE 129
#define IDS_ABOUTBOX 101

// System-menu command that opens the About box; system commands keep their
// low four bits free, so 16 is the smallest usable one.
#define IDM_ABOUTBOX 0x0010

// Controls that no code addresses (the About box's icon and texts).
#define IDC_STATIC (-1)

// Controls of the chat window.
#define IDC_SEND 1000
#define IDC_INPUT 1001
#define IDC_MAXIMIZE 1024
#define IDC_MINIMIZE 1025
#define IDC_TITLE_BAND 1027
#define IDC_CLOSE 1028
#define IDC_LOWER_LEFT 1029
#define IDC_LOWER_RIGHT 1030
#define IDC_LOWER_PANEL_TOP 1031
#define IDC_LOWER_PANEL_BOTTOM 1032
#define IDC_UPPER_LEFT 1033
#define IDC_UPPER_RIGHT 1034
#define IDC_UPPER_MIDDLE 1035

// Skin bitmaps (24 bits per pixel). 162 is not used.
#define IDB_TITLE_BAND 154
#define IDB_CLOSE 155
#define IDB_MAXIMIZE 156
#define IDB_MINIMIZE 157
#define IDB_LOWER_LEFT 158
#define IDB_LOWER_RIGHT 159
#define IDB_LOWER_PANEL_TOP 160
#define IDB_LOWER_PANEL_BOTTOM 161
#define IDB_UPPER_LEFT 163
#define IDB_UPPER_RIGHT 164
#define IDB_UPPER_MIDDLE 165
#define IDB_SEND 166
#define IDB_RESTORE 167

// The skin drawn for larger display scales: PNG images (RCDATA), set i under
// the 96-DPI bitmap's id + 1000 * i. Sets 1 to 6 are drawn for 125, 150,
// 175, 200, 250 and 300 % (120, 144, 168, 192, 240 and 288 DPI).
#define IDB_SKIN_SET(id, set) ((id) + 1000 * (set))
#define IDB_SKIN_SET_COUNT 6
