// Values under HKEY_CURRENT_USER and the Portable value of the program's ini file.
#include "registry.h"

namespace {

const DWORD kStringBufferLength = 1024;
const DWORD kProfileBufferLength = 4096;

// Closes an open registry key on every way out.
class CRegKeyHolder {
public:
    CRegKeyHolder() : m_key(nullptr) {}
    ~CRegKeyHolder() { if (m_key) ::RegCloseKey(m_key); }
    HKEY* operator&() { return &m_key; }
    operator HKEY() const { return m_key; }

private:
    CRegKeyHolder(const CRegKeyHolder&) = delete;
    CRegKeyHolder& operator=(const CRegKeyHolder&) = delete;
    HKEY m_key;
};

}  // namespace

CString BrelmRegReadString(const wchar_t* subKey, const wchar_t* valueName, const wchar_t* defaultValue) {
    wchar_t buffer[kStringBufferLength] = {};
    LONG result = ERROR_FILE_NOT_FOUND;
    // A missing sub-key would open HKEY_CURRENT_USER itself.
    if (subKey) {
        CRegKeyHolder key;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, subKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            // One character is held back so that the terminator always fits.
            DWORD size = (kStringBufferLength - 1) * sizeof(wchar_t);
            result = ::RegQueryValueExW(key, valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
        }
    }
    if (result == ERROR_SUCCESS) return CString(buffer);
    return CString(defaultValue);
}

BOOL BrelmRegReadLCID(const wchar_t* subKey, DWORD* lcid) {
    CRegKeyHolder key;
    if (!subKey || ::RegOpenKeyExW(HKEY_CURRENT_USER, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return FALSE;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (::RegQueryValueExW(key, L"LCID", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS) {
        return FALSE;
    }
    if (lcid) *lcid = value;
    return TRUE;
}

BOOL BrelmRegWriteDataStore(const wchar_t* subKey, const wchar_t* path) {
    if (!subKey) return FALSE;
    CRegKeyHolder key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, subKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
        ::RegCreateKeyExW(HKEY_CURRENT_USER, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                          &key, nullptr);
    }
    if (!static_cast<HKEY>(key)) return FALSE;
    if (!path) path = L"";
    const DWORD bytes = static_cast<DWORD>((wcslen(path) + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(key, L"DataStore", 0, REG_SZ, reinterpret_cast<const BYTE*>(path), bytes) ==
           ERROR_SUCCESS;
}

CString BrelmReadPortableValue(const wchar_t* iniFile) {
    // Without a file name the system would read win.ini instead.
    if (!iniFile || !*iniFile) return CString();
    wchar_t buffer[kProfileBufferLength] = {};
    ::GetPrivateProfileStringW(L"Common", L"Portable", L"", buffer, kProfileBufferLength, iniFile);
    return CString(buffer);
}
