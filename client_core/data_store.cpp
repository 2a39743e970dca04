// Where the user's default knowledge base lives: the data-store folder's Data\index.db.
#include "data_store.h"

#include "win_util.h"

#include <shlobj.h>

#include <vector>

namespace brelm_core {

namespace {

std::wstring RegisteredDataStore() {
    DWORD bytes = 0;
    const wchar_t* key = L"Software\\Brelm";
    // RRF_RT_REG_SZ also takes REG_EXPAND_SZ values, expanded.
    const DWORD types = RRF_RT_REG_SZ;
    if (RegGetValueW(HKEY_CURRENT_USER, key, L"DataStore", types, nullptr, nullptr, &bytes) != ERROR_SUCCESS)
        return std::wstring();
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1);
    bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CURRENT_USER, key, L"DataStore", types, nullptr, buffer.data(), &bytes) != ERROR_SUCCESS)
        return std::wstring();
    return std::wstring(buffer.data());
}

}  // namespace

std::wstring DefaultKnowledgeBasePath() {
    std::wstring folder = RegisteredDataStore();
    if (folder.empty() || !IsFolder(folder)) {
        wchar_t documents[MAX_PATH] = {};
        if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                    documents)))
            return std::wstring();
        folder = WithTrailingBackslash(documents) + L"Zi Zivuzizoz\\";
    }
    const std::wstring data = WithTrailingBackslash(folder) + L"Data\\";
    CreateFolders(data);
    return data + L"index.db";
}

}  // namespace brelm_core
