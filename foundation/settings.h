// The built-in settings text, read as ini lines; product names and registry key.
#pragma once

#include "string_helpers.h"

class CBrelmIniFileEx {
public:
    virtual ~CBrelmIniFileEx() {}
    BOOL LoadFromText(const wchar_t* text);
    CString GetString(const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue) const;

    CString m_strText;
    CBrelmStringArray m_arrayLines;
};

// The whole built-in settings text (nine lines separated by LF).
const wchar_t* BrelmGetBuiltInSettingsText();

CString BrelmGetGlobalSetting(const wchar_t* key, BOOL allowEmpty, BOOL localized);
CString BrelmGetLocalizedSetting(const wchar_t* section, const wchar_t* key);
CString BrelmGetProductName();
CString BrelmGetInnerProductName();
CString BrelmGetProductRegistryKey();
