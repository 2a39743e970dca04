// The program's own file and folder, the install folder, special and temporary folders.
#include "folders.h"

#include <shlobj.h>
#include <shlwapi.h>
#include <wctype.h>

#include "file_helpers.h"

namespace {

const DWORD kPathBufferLength = 1024;

void UpperCaseFirst(wchar_t* text) {
    if (text[0]) text[0] = static_cast<wchar_t>(towupper(text[0]));
}

// Looked up once; a folder the shell cannot give is the program folder for good.
CString SpecialFolder(CString& cached, int folderId) {
    if (!cached.IsEmpty()) return cached;
    // One unit beyond the shell's MAX_PATH so that the backslash always fits.
    wchar_t buffer[MAX_PATH + 1] = {};
    if (SUCCEEDED(::SHGetFolderPathW(nullptr, folderId, nullptr, 0, buffer))) {
        UpperCaseFirst(buffer);
        ::PathAddBackslashW(buffer);
        cached = buffer;
    } else {
        cached = BrelmGetAppPath();
    }
    return cached;
}

}  // namespace

CString BrelmGetModuleFileName() {
    wchar_t raw[kPathBufferLength] = {};
    ::GetModuleFileNameW(nullptr, raw, kPathBufferLength);
    wchar_t longForm[kPathBufferLength] = {};
    // Without a long form the name as the loader gave it still names the program.
    const DWORD length = ::GetLongPathNameW(raw, longForm, kPathBufferLength);
    wchar_t* name = (length > 0 && length < kPathBufferLength) ? longForm : raw;
    UpperCaseFirst(name);
    return CString(name);
}

CString BrelmGetAppPath() { return BrelmExtractFilePath(BrelmGetModuleFileName()); }

CString& BrelmGetInstallFolder() {
    static CString installFolder = BrelmGetAppPath();
    return installFolder;
}

CString BrelmGetToolsDllFileName() { return BrelmGetInstallFolder() + L"BrelmTools.dll"; }

CString BrelmGetDocumentsFolder() {
    static CString documents;
    return SpecialFolder(documents, CSIDL_PERSONAL | CSIDL_FLAG_CREATE);
}

CString BrelmGetLocalAppDataFolder() {
    static CString localAppData;
    return SpecialFolder(localAppData, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE);
}

CString BrelmGetSystemTempFolder() {
    wchar_t buffer[kPathBufferLength] = {};
    ::GetTempPathW(kPathBufferLength, buffer);
    CString folder(buffer);
    BrelmAppendBackslash(folder);
    return folder;
}

CString BrelmGetLongPathName(const wchar_t* path) {
    wchar_t buffer[kPathBufferLength] = {};
    // A result of the buffer's size or more is the size it would need: nothing was written.
    const DWORD length = path ? ::GetLongPathNameW(path, buffer, kPathBufferLength) : 0;
    if (length > 0 && length < kPathBufferLength) return CString(buffer);
    return CString(path);
}

void BrelmAppendBackslash(CString& path) {
    if (path.IsEmpty()) return;
    const wchar_t last = path[path.GetLength() - 1];
    if (last != L'/' && last != L'\\') path += L'\\';
}
