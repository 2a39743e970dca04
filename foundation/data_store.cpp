// The data-store folder (registry, older registry key, portable mode, the controls library's choice)
// and the settings and log file names in it.
#include "data_store.h"

#include <shlwapi.h>
#include "brelm_tools_api.h"
#include "file_helpers.h"
#include "folders.h"
#include "registry.h"
#include "settings.h"
#include "win_handles.h"

CString (*g_pfnBrelmDataStoreUserName)() = BrelmGetCurrentUserName;

namespace {

const wchar_t kDataStoreValue[] = L"DataStore";
const wchar_t kOlderProductKey[] = L"Software\\Kelvane\\Brelm";
const DWORD kUserNameSize = 260;

CString DataStoreFileName(const wchar_t* extension) {
    CString inner = BrelmGetInnerProductName();
    CString folder = BrelmGetDataStorePath();
    return folder + inner + extension;
}

}  // namespace

CString BrelmGetCurrentUserName() {
    wchar_t name[kUserNameSize] = {};
    DWORD size = kUserNameSize;
    ::GetUserNameW(name, &size);
    name[kUserNameSize - 1] = 0;
    return name;
}

CString BrelmGetDataFolderName() {
    return BrelmGetProductName().CompareNoCase(L"Fennimar") == 0 ? CString(L"Fennimar Data\\")
                                                                 : CString(L"Zi Zivuzizoz\\");
}

CString BrelmReadDataStoreFromRegistry() {
    CString productKey = BrelmGetProductRegistryKey();
    CString folder = BrelmRegReadString(productKey, kDataStoreValue, nullptr);
    if (!folder.IsEmpty()) return folder;
    folder = BrelmRegReadString(kOlderProductKey, kDataStoreValue, nullptr);
    if (folder.IsEmpty()) return folder;
    BrelmRegWriteDataStore(productKey, folder);
    return folder;
}

CString BrelmGetAppIniPath() { return BrelmGetAppPath() + BrelmGetInnerProductName() + L".ini"; }

CString BrelmGetPortableValue() { return BrelmReadPortableValue(BrelmGetAppIniPath()); }

BOOL BrelmIsPortable() {
    static const BOOL portable = BrelmGetPortableValue() == L"1" ? TRUE : FALSE;
    return portable;
}

CString BrelmGetPortableDataPath() {
    if (!BrelmIsPortable()) return CString();
    CString folder = BrelmGetAppPath() + BrelmGetDataFolderName();
    BrelmCreateDirectories(folder);
    return folder;
}

CString BrelmSelectDataStore(const wchar_t* registryFolder, const wchar_t* portableFolder) {
    CString answer(portableFolder ? portableFolder : L"");
    CComBSTR chosen;
    CBrelmModule controls(::LoadLibraryW(BrelmGetAppPath() + L"BrelmKMControls.dll"));
    if (!controls) return answer;
    PFN_BrelmKMSelectDataStore select =
        reinterpret_cast<PFN_BrelmKMSelectDataStore>(controls.GetProc("BrelmKMSelectDataStore"));
    if (!select) return answer;
    select(registryFolder, portableFolder, &chosen);
    return BrelmBstrText(chosen);
}

CString BrelmGetDataStorePath() {
    if (g_pfnBrelmDataStoreUserName().CompareNoCase(L"SYSTEM") == 0) return BrelmGetAppPath();

    CString registryFolder = BrelmReadDataStoreFromRegistry();
    CString portableFolder = BrelmGetPortableDataPath();
    if (!registryFolder.IsEmpty() && !::PathFileExistsW(registryFolder)) registryFolder.Empty();
    if (!portableFolder.IsEmpty() && !::PathFileExistsW(portableFolder)) portableFolder.Empty();

    CString folder;
    if (!registryFolder.IsEmpty() && !portableFolder.IsEmpty())
        folder = BrelmSelectDataStore(registryFolder, portableFolder);
    else if (!registryFolder.IsEmpty())
        folder = registryFolder;
    else if (!portableFolder.IsEmpty())
        folder = portableFolder;
    else
        folder = BrelmGetDocumentsFolder() + BrelmGetDataFolderName();

    BrelmAppendBackslash(folder);
    BrelmCreateDirectories(folder + L"Data\\");
    return folder;
}

CString BrelmGetSettingsFileName() {
    static const CString name = DataStoreFileName(L".xml");
    return name;
}

CString BrelmGetLogFileName() {
    static const CString name = DataStoreFileName(L".log");
    return name;
}
