// File and path helpers: folder chains, valid file names, sizes, path parts.
#pragma once

#include "afx.h"

BOOL BrelmCreateDirectories(const wchar_t* path);
// Device names (CON, nul.txt, COM1..9, LPT1..9, ...) and names of only dots and
// blanks are not valid; BrelmMakeValidFileName adds a '_' to them.
BOOL BrelmIsValidFileName(const wchar_t* name);
void BrelmMakeValidFileName(CString& name);
unsigned __int64 BrelmGetFileSize64(const wchar_t* path);
CString BrelmIntToStr(int value);
CString BrelmExtractFilePath(const wchar_t* path);   // drive + folder, with its separator
CString BrelmExtractFileName(const wchar_t* path);   // name + extension
CString BrelmExtractFileExt(const wchar_t* path);    // extension with its dot
CString BrelmExtractFileTitle(const wchar_t* path);  // name without extension
