// IDs of the wrapper's texts: its string table (wrapper.rc) and the portable
// lookup (wrapper_texts.h) both read wrapper_texts.inc by them.
#pragma once

#define IDS_MUTEX_NAME 100
#define IDS_FILE_CAPTION 129
#define IDS_FILE_GUIDE 130
#define IDS_FILE_LABEL 131
#define IDS_PASSWORD_LABEL 132
#define IDS_VIEW_PASSWORD 133
#define IDS_REF 134
#define IDS_OK 135
#define IDS_CANCEL 136
#define IDS_END_CAPTION 137
#define IDS_END_TEXT 138
#define IDS_ERROR_CAPTION 139
#define IDS_ORIGIN_LABEL 140
#define IDS_NOT_FROM_BROWSER 141
#define IDS_FILE_OR_PASSWORD_MISSING 142
#define IDS_CHOOSE_FILE_TITLE 143
#define IDS_FILTER_CERTIFICATE 144
#define IDS_FILTER_ALL 145
#define IDS_SECOND_INSTANCE 146
#define IDS_CHILD_NOT_STARTED 147
#define IDS_ERROR_CODE_LABEL 148
