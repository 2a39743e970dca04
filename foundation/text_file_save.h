// Saving text as UTF-16LE with a byte-order mark and CR LF line ends.
#pragma once

#include "afx.h"

BOOL BrelmSaveUnicodeTextToFile(const wchar_t* path, const wchar_t* text);
BOOL BrelmConvertLfToCrLf(const wchar_t* text, CString& output);
BOOL BrelmWriteFileData(HANDLE file, const void* data, DWORD byteCount);
