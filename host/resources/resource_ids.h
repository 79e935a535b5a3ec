#pragma once
// Resource and control IDs shared by tav.rc and the Win32 shell. Plain defines:
// the resource compiler reads this file too.

// The end confirmation (modal).
#define IDD_END_ALERT 223
#define IDC_END_ALERT_TEXT 1050

// The stand-in screen used until each screen has its own dialog.
#define IDD_PLACEHOLDER_SCREEN 300
// The name of the screen it stands for ("ErrorScreen", ...).
#define IDC_PLACEHOLDER_NAME 1001
// The error record's message.
#define IDC_PLACEHOLDER_MESSAGE 1039
// Password (entry), password type (selection), current password (change).
#define IDC_PLACEHOLDER_FIRST 1002
// New password (change).
#define IDC_PLACEHOLDER_SECOND 1004
