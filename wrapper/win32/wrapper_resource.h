// Resource IDs of TAV_Wrapper.exe, shared by wrapper.rc and the code.
#pragma once

#include "wrapper/wrapper_text_ids.h"

#define IDD_FILE_SELECTOR 129
#define IDD_ERROR_MESSAGE 206
#define IDD_END_CONFIRM 208

#define IDC_STATIC_FILE_LABEL 1000
#define IDC_STATIC_PASSWORD_LABEL 1001
#define IDC_EDIT_FILE 1002
#define IDC_EDIT_PASSWORD 1003
#define IDC_BUTTON_REF 1004
#define IDC_CHECK_VIEW_PASSWORD 1005
#define IDC_STATIC_GUIDE 1006
#define IDC_BUTTON_OK 1007
#define IDC_STATIC_MESSAGE 1008
#define IDC_BUTTON_CANCEL 1009
// The lines of the requesting origin, in reading order.
#define IDC_ORIGIN_FIRST 1010
