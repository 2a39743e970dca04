// Keeps one registry value under HKEY_CURRENT_USER as it was before a test.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Remembers the value (or its absence) and whether its key existed; the
// destructor puts the value back or deletes it, and removes a key it made.
class FoundationRegistryValueGuard {
public:
    FoundationRegistryValueGuard(const wchar_t* subKey, const wchar_t* valueName)
        : m_subKey(subKey), m_valueName(valueName) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
        m_keyExisted = true;
        DWORD size = 0;
        if (RegQueryValueExW(key, valueName, nullptr, &m_type, nullptr, &size) == ERROR_SUCCESS) {
            m_data.resize(size);
            if (RegQueryValueExW(key, valueName, nullptr, &m_type, m_data.data(), &size) == ERROR_SUCCESS) {
                m_valueExisted = true;
            }
        }
        RegCloseKey(key);
    }

    ~FoundationRegistryValueGuard() {
        if (!m_keyExisted) {
            RegDeleteKeyW(HKEY_CURRENT_USER, m_subKey.c_str());
            return;
        }
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, m_subKey.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
        if (m_valueExisted) {
            RegSetValueExW(key, m_valueName.c_str(), 0, m_type, m_data.data(), static_cast<DWORD>(m_data.size()));
        } else {
            RegDeleteValueW(key, m_valueName.c_str());
        }
        RegCloseKey(key);
    }

    // Writes raw bytes of any type, creating the key when needed.
    bool Set(DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, m_subKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                            nullptr) != ERROR_SUCCESS) {
            return false;
        }
        bool ok = RegSetValueExW(key, m_valueName.c_str(), 0, type, static_cast<const BYTE*>(data), size) ==
                  ERROR_SUCCESS;
        RegCloseKey(key);
        return ok;
    }

    void Remove() {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, m_subKey.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
        RegDeleteValueW(key, m_valueName.c_str());
        RegCloseKey(key);
    }

private:
    FoundationRegistryValueGuard(const FoundationRegistryValueGuard&) = delete;
    FoundationRegistryValueGuard& operator=(const FoundationRegistryValueGuard&) = delete;

    std::wstring m_subKey;
    std::wstring m_valueName;
    bool m_keyExisted = false;
    bool m_valueExisted = false;
    DWORD m_type = REG_NONE;
    std::vector<BYTE> m_data;
};
