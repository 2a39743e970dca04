// Run-time translation of user-interface texts from key=value files, "{p}" as the product name.
#pragma once

#include <map>
#include "string_helpers.h"

class CBrelmTranslationsStringTable {
public:
    virtual ~CBrelmTranslationsStringTable() {}
    // Escaped source text -> escaped translation; exact, case-sensitive keys.
    std::map<CString, CString> m_map;
};

class CBrelmTranslations {
public:
    virtual ~CBrelmTranslations() {}
    BOOL TranslateText(const wchar_t* text, CString& output) const;
    CString LoadTranslatedString(UINT id) const;
    BOOL TranslateWindowText(HWND window) const;
    BOOL TranslateWindow(HWND window) const;

    CBrelmTranslationsStringTable m_table;
};

// The process's one translation table.
extern CBrelmTranslations g_translations;

CString BrelmGetTranslationsFolder();
CString BrelmGetLanguageFolder();
BOOL BrelmLoadTranslations();
BOOL BrelmLoadTranslationFile(const wchar_t* path);
BOOL BrelmParseTranslationLines(const CBrelmStringArray& lines);
void BrelmEscapeText(CString& text);
void BrelmUnescapeText(CString& text);
