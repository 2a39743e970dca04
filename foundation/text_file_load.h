// Loading text files whole as UTF-16: byte-order marks, flags, charsets, line ends.
#pragma once

#include "string_helpers.h"

enum : UINT {
    BRELM_TEXT_HTML = 1,
    BRELM_TEXT_UTF8 = 2,
    BRELM_TEXT_UNICODE = 4,
    BRELM_TEXT_KEEP_CRLF = 8,
    BRELM_TEXT_XML = 16
};

enum {
    BRELM_BOM_NONE = 1,
    BRELM_BOM_UTF8 = 2,
    BRELM_BOM_UNICODE = 3
};

BOOL BrelmLoadTextFromFile(const wchar_t* path, CString& text, UINT flags);
BOOL BrelmDecodeTextBuffer(char* data, UINT size, CString& text, UINT flags, const wchar_t* fileName);
void BrelmNormalizeLineEnds(wchar_t* data, UINT size, BOOL keepCrLf);
void BrelmNormalizeLineEnds(char* data, UINT size, BOOL keepCrLf);
int BrelmGetFileBomKind(const wchar_t* path);
BOOL BrelmLoadTextFileLines(const wchar_t* path, CBrelmStringArray& lines);
