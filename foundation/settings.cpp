// The built-in settings text, read as ini lines; product names and registry key.
#include "settings.h"

#include <stdlib.h>

#include "file_helpers.h"
#include "message_texts.h"
#include "sync_objects.h"
#include "ui_language.h"

namespace {

// Nine lines joined by LF, none after the last; the tools library gets the text whole.
const wchar_t kBuiltInSettings[] =
    L"[Common]\n"
    L"CompanyName=\n"
    L"ProductName=Brelm\n"
    L"Home=http://www.brelm.example/\n"
    L"API=http://api.brelm.example/\n"
    L"UIExcludes=None\n"
    L"[Sync]\n"
    L"http=http://sync.brelm.example/brelmkm/xmlrpc\n"
    L"https=https://accounts.brelm.example/brelmkm/xmlrpc";

const int kBuiltInSettingsLength = static_cast<int>(sizeof(kBuiltInSettings) / sizeof(wchar_t)) - 1;

// Built after the lock, on the first settings request.
CBrelmIniFileEx& BuiltInSettings() {
    static CBrelmIniFileEx settings;
    return settings;
}

}  // namespace

BOOL CBrelmIniFileEx::LoadFromText(const wchar_t* text) {
    m_arrayLines.clear();
    BrelmSplitString(CString(text), L'\n', m_arrayLines);
    return TRUE;
}

CString CBrelmIniFileEx::GetString(const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue) const {
    const CString header = L"[" + CString(section) + L"]";
    const CString prefix = CString(key) + L"=";
    bool inSection = false;
    for (const CString& stored : m_arrayLines) {
        CString line(stored);
        line.Trim();
        if (line.IsEmpty() || line[0] == L';') continue;
        if (!inSection) {
            if (line[0] == L'[' && BrelmCompareText(line, header, FALSE) == 0) inSection = true;
            continue;
        }
        // Only the first block of the section is searched.
        if (line[0] == L'[') break;
        if (BrelmCompareText(line.Left(prefix.GetLength()), prefix, FALSE) == 0) {
            return line.Mid(prefix.GetLength());
        }
    }
    return CString(defaultValue);
}

const wchar_t* BrelmGetBuiltInSettingsText() { return kBuiltInSettings; }

CString BrelmGetGlobalSetting(const wchar_t* key, BOOL allowEmpty, BOOL localized) {
    static CBrelmCriticalSectionObject lock;
    // The same thread comes back in here while it holds the lock, during the
    // first localized lookup; the critical section counts its entries.
    CBrelmSingleLock guard(&lock);
    guard.Lock(INFINITE);

    CBrelmIniFileEx& settings = BuiltInSettings();
    static bool loadPending = true;
    if (loadPending) {
        loadPending = false;
        settings.LoadFromText(CString(kBuiltInSettings, kBuiltInSettingsLength));
    }

    CString value = localized ? BrelmGetLocalizedSetting(L"Common", key) : settings.GetString(L"Common", key, L"");
    if (value.IsEmpty() && !allowEmpty) exit(-1);
    return value;
}

CString BrelmGetLocalizedSetting(const wchar_t* section, const wchar_t* key) {
    CBrelmIniFileEx& settings = BuiltInSettings();
    static bool requested = false;
    static bool known = false;
    static DWORD lcid = 0;
    if (!requested) {
        // Set first: working the language out comes back here for the product name,
        // and that one lookup uses the code's initial 0.
        requested = true;
        try {
            lcid = BrelmGetUILCID();
            known = true;
        } catch (...) {
            requested = false;
            throw;
        }
    }
    CString suffixedKey(key);
    if (known) {
        static const CString suffix = L"_" + BrelmIntToStr(static_cast<int>(lcid));
        suffixedKey += suffix;
    } else {
        suffixedKey += L"_" + BrelmIntToStr(static_cast<int>(lcid));
    }
    const CString value = settings.GetString(section, suffixedKey, nullptr);
    if (!value.IsEmpty()) return value;
    return settings.GetString(section, key, L"");
}

CString BrelmGetProductName() { return BrelmGetGlobalSetting(L"ProductName", FALSE, TRUE); }

CString BrelmGetInnerProductName() {
    CString name = BrelmGetGlobalSetting(L"InnerProductName", TRUE, FALSE);
    if (name.IsEmpty()) name = BrelmGetProductName();
    return name;
}

CString BrelmGetProductRegistryKey() { return BrelmFormatString1(L"Software\\%1", BrelmGetInnerProductName()); }
