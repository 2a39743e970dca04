// Run-time translation of user-interface texts from key=value files; "{p}" becomes the product name.
#include "translations.h"

#include <shlwapi.h>
#include "file_helpers.h"
#include "folders.h"
#include "settings.h"
#include "text_file_load.h"
#include "ui_language.h"

CBrelmTranslations g_translations;

namespace {

const int kWindowTextSize = 1024;
const int kClassNameSize = 260;
const DWORD kIniValueSize = 260;

CString ReplaceProductMarker(CString text) {
    text.Replace(L"{p}", BrelmGetProductName());
    return text;
}

CString ComputeTranslationsFolder() {
    CString programFolder = BrelmGetAppPath();
    CString folder;
    CString iniFile = programFolder + L"translations.ini";
    if (::PathFileExistsW(iniFile)) {
        wchar_t path[kIniValueSize] = {};
        ::GetPrivateProfileStringW(L"Common", L"Path", L"", path, kIniValueSize, iniFile);
        wchar_t combined[MAX_PATH] = {};
        if (path[0] && ::PathCombineW(combined, programFolder, path) && combined[0]) folder = combined;
    }
    if (folder.IsEmpty()) folder = programFolder + L"translations\\";
    BrelmAppendBackslash(folder);
    return folder;
}

BOOL CALLBACK TranslateChild(HWND window, LPARAM param) {
    try {
        reinterpret_cast<const CBrelmTranslations*>(param)->TranslateWindow(window);
    } catch (...) {
        // A window left untranslated is better than an exception crossing the system's enumeration.
    }
    return TRUE;
}

}  // namespace

BOOL CBrelmTranslations::TranslateText(const wchar_t* text, CString& output) const {
    CString source(text ? text : L"");
    output = source;
    if (source.CompareNoCase(L"{p}") == 0) {
        output = BrelmGetProductName();
        return TRUE;
    }
    if (source.IsEmpty()) return FALSE;

    CString key(source);
    BrelmEscapeText(key);
    auto found = m_table.m_map.find(key);
    if (found == m_table.m_map.end()) {
        output = ReplaceProductMarker(source);
        return TRUE;
    }
    CString value(found->second);
    BrelmUnescapeText(value);
    value = ReplaceProductMarker(value);
    output = value.IsEmpty() ? ReplaceProductMarker(source) : value;
    return TRUE;
}

CString CBrelmTranslations::LoadTranslatedString(UINT id) const {
    CString output;
    HINSTANCE module = AfxFindStringResourceHandle(id);
    if (!module) return output;
    CString text;
    if (!text.LoadString(module, id)) return output;
    TranslateText(text, output);
    return output;
}

BOOL CBrelmTranslations::TranslateWindowText(HWND window) const {
    wchar_t text[kWindowTextSize] = {};
    if (::GetWindowTextW(window, text, kWindowTextSize) <= 0) return FALSE;
    CString output;
    if (!TranslateText(text, output)) return FALSE;
    ::SetWindowTextW(window, output);
    return TRUE;
}

BOOL CBrelmTranslations::TranslateWindow(HWND window) const {
    wchar_t className[kClassNameSize] = {};
    ::GetClassNameW(window, className, kClassNameSize);
    // Edit fields and combo boxes hold the user's data, not interface texts.
    if (BrelmCompareText(className, L"Edit", FALSE) != 0 && BrelmCompareText(className, L"ComboBox", FALSE) != 0)
        TranslateWindowText(window);
    ::EnumChildWindows(window, TranslateChild, reinterpret_cast<LPARAM>(this));
    return TRUE;
}

CString BrelmGetTranslationsFolder() {
    static const CString folder = ComputeTranslationsFolder();
    return folder;
}

CString BrelmGetLanguageFolder() {
    DWORD language = BrelmGetUILCID();
    if (language == 0) return CString();
    CString folder = BrelmGetTranslationsFolder() + BrelmIntToStr(static_cast<int>(language)) + L"\\";
    return ::PathFileExistsW(folder) ? folder : CString();
}

BOOL BrelmLoadTranslations() {
    CString folder = BrelmGetLanguageFolder();
    if (folder.IsEmpty()) return FALSE;
    for (const wchar_t* shared : {L"globals.ini", L"share.ini"}) {
        CBrelmStringArray lines;
        if (BrelmLoadTextFileLines(folder + shared, lines)) BrelmParseTranslationLines(lines);
    }
    CString own = folder + BrelmExtractFileTitle(BrelmGetModuleFileName()) + L".ini";
    if (!::PathFileExistsW(own)) return FALSE;
    return BrelmLoadTranslationFile(own);
}

BOOL BrelmLoadTranslationFile(const wchar_t* path) {
    CBrelmStringArray lines;
    if (!BrelmLoadTextFileLines(path, lines)) return FALSE;
    BrelmParseTranslationLines(lines);
    return TRUE;
}

BOOL BrelmParseTranslationLines(const CBrelmStringArray& lines) {
    for (const CString& raw : lines) {
        CString line(raw);
        line.Trim();
        if (line.IsEmpty() || line[0] == L';') continue;
        int equals = line.Find(L'=');
        if (equals < 0) continue;
        g_translations.m_table.m_map[line.Left(equals)] = line.Mid(equals + 1);
    }
    return TRUE;
}

void BrelmEscapeText(CString& text) {
    CString escaped;
    for (int i = 0; i < text.GetLength(); ++i) {
        wchar_t c = text[i];
        switch (c) {
        case L'\t': escaped += L"\\t"; break;
        case L'\n': escaped += L"\\n"; break;
        case L'\r': escaped += L"\\r"; break;
        case L'\\': escaped += L"\\\\"; break;
        case L'"': escaped += L"\"\""; break;
        default: escaped += c; break;
        }
    }
    text = escaped;
}

void BrelmUnescapeText(CString& text) {
    const int length = text.GetLength();
    if (length < 2) return;
    CString plain;
    int i = 0;
    while (i < length) {
        wchar_t c = text[i];
        wchar_t next = i + 1 < length ? text[i + 1] : 0;
        if (c == L'\\' && (next == L'\\' || next == L'r' || next == L'n' || next == L't')) {
            plain += next == L'r' ? L'\r' : next == L'n' ? L'\n' : next == L't' ? L'\t' : L'\\';
            i += 2;
        } else if (c == L'"' && next == L'"') {
            plain += L'"';
            i += 2;
        } else {
            plain += c;
            ++i;
        }
    }
    text = plain;
}
