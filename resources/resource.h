// Resource ids of the importer: shared by the .rc and the C++ code.
#pragma once

// Dialog templates
#define IDD_ABOUTBOX                      100
#define IDD_BRELMEVERNOTE_DIALOG          102

// Icon
#define IDR_MAINFRAME                     128

// Controls of the main dialog
#define IDC_EDIT_FILE                     1000
#define IDC_BUTTON_BROWSE                 1001
#define IDC_PROGRESS_IMPORT               1002
#define IDC_STATIC_STATUS                 1003
#define IDC_CHECK_CREATE_EVERNOTE_FOLDER  1006

// String table
#define IDS_ABOUTBOX                          101
#define IDS_EXB_FILE_FILTER                   102
#define IDS_FAILED_TO_CREATE_DATABASE_OBJECT  103
#define IDS_FILE_DOES_NOT_EXIST               104
#define IDS_CANNOT_OPEN_DATABASE              105
#define IDS_CANNOT_QUERY_DATABASE             106
#define IDS_CANNOT_GET_FIELD_VALUE            107
#define IDS_CANNOT_GET_FIELD_DATA             108
#define IDS_FAILED_TO_CREATE_FOLDER           109
#define IDS_FAILED_TO_CREATE_DOCUMENT         110
#define IDS_FAILED_TO_SAVE_DOCUMENT           111
#define IDS_IMPORT_COMPLETED                  112

// System-menu command of the About item; the low four bits stay clear for the system's own use.
#define IDM_ABOUTBOX                      0x0010
