// Text helpers: splitting, joining, comparing, name=value lookup, locale dates.
#pragma once

#include <vector>
#include "afx.h"

// A list of texts, kept in order.
typedef std::vector<CString> CBrelmStringArray;

// Appends the pieces of text between separators; one leading separator is
// skipped, a final one yields no empty piece; at LF a trailing CR is cut.
BOOL BrelmSplitString(const CString& text, wchar_t separator, CBrelmStringArray& list);
// The same at a separator text, exact or ignoring case (StrStrIW).
BOOL BrelmSplitByString(CString text, const wchar_t* separator, CBrelmStringArray& list, BOOL caseSensitive);
// 0 when equal; without caseSensitive only A-Z fold to a-z.
int BrelmCompareText(const wchar_t* a, const wchar_t* b, BOOL caseSensitive);
// The texts joined with ";".
void BrelmJoinStrings(const CBrelmStringArray& list, CString& output);
// The value of the first item "name=value" (name matched ignoring A-Z case), trimmed; else empty.
CString BrelmFindKeyValue(const CBrelmStringArray& list, const wchar_t* name);

CString BrelmGetDateText(const COleDateTime& date);
CString BrelmGetTimeText(const COleDateTime& date);
CString BrelmGetDateTimeText(const COleDateTime& date);
