// "%1".."%3" message patterns and the system's texts for error codes.
#pragma once

#include "afx.h"

void BrelmFormatString(CString& output, const wchar_t* pattern, const wchar_t* a1, const wchar_t* a2,
                       const wchar_t* a3);
CString BrelmFormatString1(const wchar_t* pattern, const wchar_t* a1);
CString BrelmFormatString2(const wchar_t* pattern, const wchar_t* a1, const wchar_t* a2);
CString BrelmFormatString3(const wchar_t* pattern, const wchar_t* a1, const wchar_t* a2, const wchar_t* a3);
CString BrelmGetSystemErrorText(DWORD code);
CString BrelmGetLastErrorText();
