#pragma once
// Resource and control IDs shared by tav.rc and the Win32 shell. Plain defines:
// the resource compiler reads this file too.

// The end confirmation (modal).
#define IDD_END_ALERT 223
#define IDC_END_ALERT_TEXT 1050

// Screens (child dialogs of the frame, hidden until the frame shows them).
#define IDD_CARD_REQUEST 207
#define IDD_PASSWORD_SET 211
#define IDD_PROCESSING 219
#define IDD_ERROR 221
// Shared controls of the screens.
#define IDC_BANNER 1003
#define IDC_URL_FIELD 1007
#define IDC_URL_CAPTION 1008
#define IDC_ERROR_LINE 1039
#define IDC_VERSION_BUTTON 57664
// Who asks: the lines of the origin (and the signature count), in reading order.
#define IDC_ORIGIN_FIRST 1090
// Password entry.
#define IDC_PASSWORD 1002
#define IDC_PROMPT 1019
#define IDC_SHOW_PASSWORD 1044
#define IDC_CHANGE_LINK 1056
// Processing.
#define IDC_PROGRESS 1001
#define IDC_WARNING 1055

// Pictures.
#define IDB_TAVO 224
#define IDB_ETAX 225
#define IDB_VERSION 227
#define IDB_INFO 228
#define IDB_INFO_HOVER 229

// Password change screens.
#define IDD_PASSWORD_SELECT 230
#define IDD_PASSWORD_CHANGE 231
#define IDD_PASSWORD_CHANGE_RESULT 232
#define IDC_RADIO_SIGNATURE 1047
#define IDC_RADIO_AUTHENTICATION 1048
#define IDC_RADIO_SURFACE 1049
#define IDC_DESCRIPTION_SIGNATURE 1050
#define IDC_DESCRIPTION_AUTHENTICATION 1051
#define IDC_DESCRIPTION_SURFACE 1052
#define IDC_SEPARATOR_FIRST 1053
#define IDC_SEPARATOR_SECOND 1054
#define IDC_CURRENT_LABEL 1040
#define IDC_NEW_LABEL 1041
#define IDC_CONFIRM_LABEL 1042
#define IDC_CURRENT_PASSWORD 1002
#define IDC_NEW_PASSWORD 1004
#define IDC_CONFIRM_PASSWORD 1005

// Certificate confirmation screens.
#define IDD_CERTIFICATE_CONFIRM 234
#define IDD_CERTIFICATE_CONFIRM_GPKI 236
#define IDC_GPKI_MESSAGE 1075
#define IDC_GPKI_LIST 1076
#define IDC_GPKI_DETAIL 1077
#define IDC_GPKI_FINGERPRINT 1078
#define IDC_GPKI_SAVE 1079
#define IDC_GPKI_TOGGLE 1080
#define IDC_GPKI_FINGERPRINT_LABEL 1081
#define IDC_GPKI_DETAIL_LABEL 1082

// The version notice and the version information (modal).
#define IDD_VERSION_NOTICE 203
#define IDD_VERSION_INFO 226
#define IDC_VERSION_PICTURE 1003
#define IDC_VERSION_VER 1033
#define IDC_VERSION_PRODUCT 1045
#define IDC_VERSION_MAKER 1046
