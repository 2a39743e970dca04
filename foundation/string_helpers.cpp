// Text helpers: splitting, joining, comparing, name=value lookup, locale dates.
#include "string_helpers.h"

#include <shlwapi.h>
#include <string>

namespace {

wchar_t FoldAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c; }

// The text begins with the prefix, A-Z and a-z taken as equal.
bool StartsWithFolded(const wchar_t* text, int textLength, const wchar_t* prefix, int prefixLength) {
    if (textLength < prefixLength) return false;
    for (int i = 0; i < prefixLength; ++i) {
        if (FoldAscii(text[i]) != FoldAscii(prefix[i])) return false;
    }
    return true;
}

const int kDateBufferLength = 260;

}  // namespace

BOOL BrelmSplitString(const CString& text, wchar_t separator, CBrelmStringArray& list) {
    const int length = text.GetLength();
    if (length == 0) return TRUE;
    int start = (text[0] == separator) ? 1 : 0;
    for (;;) {
        int hit = (start < length) ? text.Find(separator, start) : -1;
        CString piece;
        if (hit >= 0) {
            piece = text.Mid(start, hit - start);
            start = hit + 1;
        } else {
            piece = text.Mid(start);
            start = length;
        }
        if (separator == L'\n' && !piece.IsEmpty() && piece[piece.GetLength() - 1] == L'\r') {
            piece = piece.Left(piece.GetLength() - 1);
        }
        list.push_back(piece);
        if (start == length) break;
    }
    return TRUE;
}

BOOL BrelmSplitByString(CString text, const wchar_t* separator, CBrelmStringArray& list, BOOL caseSensitive) {
    if (text.IsEmpty()) return TRUE;
    const int sepLength = separator ? static_cast<int>(wcslen(separator)) : 0;
    // An empty separator would never consume anything: the text is one piece.
    if (sepLength == 0) {
        list.push_back(text);
        return TRUE;
    }
    if (text.GetLength() > sepLength &&
        BrelmCompareText(text.Left(sepLength), separator, caseSensitive) == 0) {
        text = text.Mid(sepLength);
    }
    while (!text.IsEmpty()) {
        int hit;
        if (caseSensitive) {
            hit = text.Find(separator);
        } else {
            const wchar_t* found = StrStrIW(text.GetString(), separator);
            hit = found ? static_cast<int>(found - text.GetString()) : -1;
        }
        if (hit >= 0) {
            list.push_back(text.Left(hit));
            text = text.Mid(hit + sepLength);
        } else {
            list.push_back(text);
            text.Empty();
        }
    }
    return TRUE;
}

int BrelmCompareText(const wchar_t* a, const wchar_t* b, BOOL caseSensitive) {
    if (!a) a = L"";
    if (!b) b = L"";
    for (;; ++a, ++b) {
        wchar_t ca = *a, cb = *b;
        if (!caseSensitive) {
            ca = FoldAscii(ca);
            cb = FoldAscii(cb);
            if (ca != cb) return static_cast<int>(ca) - static_cast<int>(cb);
        } else if (ca != cb) {
            return ca < cb ? -1 : 1;
        }
        if (ca == 0) return 0;
    }
}

void BrelmJoinStrings(const CBrelmStringArray& list, CString& output) {
    std::wstring joined;
    size_t total = 0;
    for (const CString& s : list) total += static_cast<size_t>(s.GetLength()) + 1;
    joined.reserve(total);
    for (size_t i = 0; i < list.size(); ++i) {
        if (i) joined += L';';
        joined.append(list[i].GetString(), static_cast<size_t>(list[i].GetLength()));
    }
    // The text ends at its first NUL, as a zero-terminated buffer would.
    output = joined.c_str();
}

CString BrelmFindKeyValue(const CBrelmStringArray& list, const wchar_t* name) {
    CString key(name);
    key += L'=';
    for (const CString& entry : list) {
        CString item(entry);
        item.Trim();
        if (StartsWithFolded(item.GetString(), item.GetLength(), key.GetString(), key.GetLength())) {
            CString value = item.Mid(key.GetLength());
            value.Trim();
            return value;
        }
    }
    return CString();
}

// A date that is not valid, or that the system cannot convert, gives empty text.
CString BrelmGetDateText(const COleDateTime& date) {
    SYSTEMTIME st = {};
    if (!date.GetAsSystemTime(st)) return CString();
    wchar_t buffer[kDateBufferLength] = {};
    if (!::GetDateFormatW(::GetThreadLocale(), DATE_LONGDATE, &st, nullptr, buffer, kDateBufferLength)) {
        return CString();
    }
    return CString(buffer);
}

CString BrelmGetTimeText(const COleDateTime& date) {
    SYSTEMTIME st = {};
    if (!date.GetAsSystemTime(st)) return CString();
    wchar_t buffer[kDateBufferLength] = {};
    if (!::GetTimeFormatW(::GetThreadLocale(), 0, &st, nullptr, buffer, kDateBufferLength)) return CString();
    return CString(buffer);
}

CString BrelmGetDateTimeText(const COleDateTime& date) {
    return BrelmGetDateText(date) + L" " + BrelmGetTimeText(date);
}
