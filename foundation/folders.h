// The program's own file and folder, the install folder, special and temporary folders.
#pragma once

#include "afx.h"

CString BrelmGetModuleFileName();
CString BrelmGetAppPath();
CString& BrelmGetInstallFolder();
CString BrelmGetToolsDllFileName();
CString BrelmGetDocumentsFolder();
CString BrelmGetLocalAppDataFolder();
CString BrelmGetSystemTempFolder();
CString BrelmGetLongPathName(const wchar_t* path);
// Ends a non-empty folder path with '\' unless it already ends with '/' or '\'.
void BrelmAppendBackslash(CString& path);
