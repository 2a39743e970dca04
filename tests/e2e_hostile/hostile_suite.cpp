// The hostile-input tests' folder, crash-dialog setting and chosen size.
#include "hostile_suite.h"

#include <cstdio>
#include <cwchar>

#include "hostile_run.h"

namespace hostile {

namespace {

const wchar_t kWineDbgKey[] = L"Software\\Wine\\WineDbg";
const wchar_t kShowCrashDialog[] = L"ShowCrashDialog";

}  // namespace

SuiteFolder::SuiteFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    m_path = std::wstring(temp) + name + L"_" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
    RemoveTree(m_path);
    MakeFolders(m_path);
}

SuiteFolder::~SuiteFolder() {
    if (!Environment(L"BRELM_HOSTILE_KEEP").empty()) {
        std::printf("kept %s\n", ToUtf8(m_path).c_str());
        return;
    }
    RemoveTree(m_path);
}

NoCrashDialog::NoCrashDialog() {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kWineDbgKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                          &key, &disposition) != ERROR_SUCCESS)
        return;
    m_createdKey = disposition == REG_CREATED_NEW_KEY;
    DWORD size = sizeof(m_oldValue), type = 0;
    m_hadValue = ::RegQueryValueExW(key, kShowCrashDialog, nullptr, &type, reinterpret_cast<BYTE*>(&m_oldValue),
                                    &size) == ERROR_SUCCESS && type == REG_DWORD;
    const DWORD off = 0;
    ::RegSetValueExW(key, kShowCrashDialog, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off), sizeof(off));
    ::RegCloseKey(key);
}

NoCrashDialog::~NoCrashDialog() {
    if (m_createdKey) {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kWineDbgKey);
        return;
    }
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kWineDbgKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    if (m_hadValue)
        ::RegSetValueExW(key, kShowCrashDialog, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&m_oldValue),
                         sizeof(m_oldValue));
    else
        ::RegDeleteValueW(key, kShowCrashDialog);
    ::RegCloseKey(key);
}

std::wstring Environment(const wchar_t* name) {
    wchar_t value[256] = {};
    const DWORD n = ::GetEnvironmentVariableW(name, value, 256);
    return n > 0 && n < 256 ? std::wstring(value) : std::wstring();
}

SuiteSize ChosenSize() {
    const std::wstring size = Environment(L"BRELM_HOSTILE_SIZE");
    if (size == L"ci") return SuiteSize::Ci;
    if (size == L"local") return SuiteSize::Local;
    return Environment(L"CI").empty() ? SuiteSize::Local : SuiteSize::Ci;
}

int ChosenJobs() {
    const int jobs = _wtoi(Environment(L"BRELM_HOSTILE_JOBS").c_str());
    return jobs > 0 && jobs <= 16 ? jobs : 6;
}

}  // namespace hostile
