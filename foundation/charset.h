// Code pages of 8-bit texts (charset names, HTML meta, XML declarations) and conversion to UTF-16.
#pragma once

#include "afx.h"

UINT BrelmCharsetToCodePage(const wchar_t* charset);
CString BrelmMultiByteToCString(const CStringA& bytes, UINT codePage);
CString BrelmMultiByteToCStringByCharset(const CStringA& bytes, const wchar_t* charset);
CString BrelmGetHtmlMetaCharset(const CStringA& html);
CString BrelmGetXmlEncoding(const CStringA& xml);
BOOL BrelmDecodeHtmlText(const char* bytes, CString& text);
BOOL BrelmDecodeXmlText(const char* bytes, CString& text);
UINT BrelmGuessCodePage(const char* bytes);
