// Values under HKEY_CURRENT_USER and the Portable value of the program's ini file.
#pragma once

#include "afx.h"

CString BrelmRegReadString(const wchar_t* subKey, const wchar_t* valueName, const wchar_t* defaultValue);
BOOL BrelmRegReadLCID(const wchar_t* subKey, DWORD* lcid);
BOOL BrelmRegWriteDataStore(const wchar_t* subKey, const wchar_t* path);
CString BrelmReadPortableValue(const wchar_t* iniFile);
