// Helpers of the core-library tests: the loaded DLL, temp folders and files.
#include "core_test_support.h"

#include <algorithm>
#include <atomic>

namespace core_test {

namespace {

// The tests run on one apartment thread, as the importer does.
struct ComApartment {
    ComApartment() { CoInitialize(nullptr); }
} g_apartment;

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path + L"\\");
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

// Wine's own Unix path of a Windows path (whose last part need not exist); empty outside Wine.
std::wstring UnixPathOf(const std::wstring& path) {
    using ToUnix = char*(CDECL*)(LPCWSTR);
    const auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* unixName = toUnix ? toUnix(path.c_str()) : nullptr;
    if (!unixName) return std::wstring();
    const int n = MultiByteToWideChar(CP_UTF8, 0, unixName, -1, nullptr, 0);
    std::wstring out(n > 0 ? static_cast<size_t>(n - 1) : 0, L'\0');
    if (n > 1) MultiByteToWideChar(CP_UTF8, 0, unixName, -1, &out[0], n);
    HeapFree(GetProcessHeap(), 0, unixName);
    return out;
}

// Starts a Unix program (Wine starts those too, but does not wait for them) and waits until
// done() holds, at most ten seconds.
template <typename Done>
bool RunUnix(const std::wstring& program, const std::wstring& arguments, Done done) {
    std::wstring command = L"\"" + program + L"\" " + arguments;
    std::wstring exe = L"Z:" + program;
    std::replace(exe.begin(), exe.end(), L'/', L'\\');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    for (int i = 0; i < 500 && !done(); ++i) Sleep(20);
    return done();
}

CoreDll LoadCore() {
    CoreDll dll;
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring folder = exe;
    folder.resize(folder.find_last_of(L"\\/") + 1);
    dll.module = LoadLibraryW((folder + L"BrelmKMCore.dll").c_str());
    if (!dll.module) return dll;
    dll.getClassObject = reinterpret_cast<decltype(dll.getClassObject)>(
        reinterpret_cast<void*>(GetProcAddress(dll.module, "DllGetClassObject")));
    dll.canUnloadNow = reinterpret_cast<decltype(dll.canUnloadNow)>(
        reinterpret_cast<void*>(GetProcAddress(dll.module, "DllCanUnloadNow")));
    dll.createSQLiteDatabase = reinterpret_cast<PFN_BrelmKMCreateSQLiteDatabase>(
        reinterpret_cast<void*>(GetProcAddress(dll.module, "BrelmKMCreateSQLiteDatabase")));
    return dll;
}

}  // namespace

const CoreDll& Core() {
    static const CoreDll dll = LoadCore();
    return dll;
}

HRESULT NewDatabase(Ref<IBrelmDatabase>* out) {
    if (!Core().getClassObject) return E_FAIL;
    Ref<IClassFactory> factory;
    HRESULT hr = Core().getClassObject(CLSID_BrelmDatabase, IID_IClassFactory, factory.put_void());
    if (FAILED(hr)) return hr;
    return factory->CreateInstance(nullptr, IID_IBrelmDatabase, out->put_void());
}

HRESULT NewSQLiteDatabase(Ref<IBrelmSQLiteDatabase>* out) {
    if (!Core().createSQLiteDatabase) return E_FAIL;
    return Core().createSQLiteDatabase(out->put());
}

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring base = temp;
    if (!base.empty() && base.back() != L'\\') base += L'\\';
    for (;;) {
        path_ = base + L"brelm-core-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(++counter) + L"\\";
        if (CreateDirectoryW(path_.c_str(), nullptr)) break;
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
}

TempDir::~TempDir() { RemoveTree(path_); }

bool FileLink::Make(const std::wstring& link, const std::wstring& target, bool folder) {
    link_ = link;
    folder_ = folder;
    const DWORD kind = folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0;
    const DWORD unprivileged = 0x2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE, Windows 10 1703 on
    if ((CreateSymbolicLinkW(link.c_str(), target.c_str(), kind | unprivileged) ||
         CreateSymbolicLinkW(link.c_str(), target.c_str(), kind)) &&
        FileExists(link))
        return true;
    const std::wstring unixLink = UnixPathOf(link), unixTarget = UnixPathOf(target);
    if (unixLink.empty() || unixTarget.empty()) return false;
    unix_ = true;
    return RunUnix(L"/bin/ln", L"-s \"" + unixTarget + L"\" \"" + unixLink + L"\"", [&] { return FileExists(link); });
}

FileLink::~FileLink() {
    if (link_.empty()) return;
    if (unix_)
        RunUnix(L"/bin/rm", L"-f \"" + UnixPathOf(link_) + L"\"", [&] { return !FileExists(link_); });
    else if (folder_)
        RemoveDirectoryW(link_.c_str());
    else
        DeleteFileW(link_.c_str());
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

std::string ReadBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::wstring> ListFolder(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::wstring LastErrorInfo() {
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) != S_OK || !info) return std::wstring();
    BSTR text = nullptr;
    info->GetDescription(&text);
    std::wstring out = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
    SysFreeString(text);
    info->Release();
    return out;
}

}  // namespace core_test
