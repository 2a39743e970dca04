// Windows helpers of the core library: error texts, paths, folders and whole-file reads.
#include "win_util.h"

#include <vector>

namespace brelm_core {

namespace {

// SQLite cannot hold a value above 1,000,000,000 bytes, so larger files are refused up front.
const LONGLONG kMaxFileBytes = 1000000000;

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

struct FileHandle {
    HANDLE h;
    ~FileHandle() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};

// The path the system resolves an open file or folder to, every link followed; empty on failure.
std::wstring FinalPathOf(HANDLE h) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = GetFinalPathNameByHandleW(h, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                  FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (n == 0) return std::wstring();
        if (n < buffer.size()) return std::wstring(buffer.data(), n);
        buffer.resize(n + 1);
    }
}

}  // namespace

std::wstring WinErrorText(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = n && buffer ? std::wstring(buffer, n) : std::wstring();
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' ||
                             text.back() == L'.'))
        text.pop_back();
    if (text.empty()) text = L"error " + std::to_wstring(code);
    return text;
}

std::wstring FullPath(const std::wstring& path) {
    const DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return path;
    std::vector<wchar_t> buffer(n + 1);
    const DWORD m = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (m == 0 || m >= buffer.size()) return path;
    return std::wstring(buffer.data(), m);
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t cut = path.find_last_of(L"\\/:");
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

std::wstring FileNameOf(const std::wstring& path) {
    const size_t cut = path.find_last_of(L"\\/:");
    return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

std::wstring WithTrailingBackslash(const std::wstring& folder) {
    if (folder.empty() || IsSeparator(folder.back())) return folder;
    return folder + L"\\";
}

bool IsInside(const std::wstring& folder, const std::wstring& path) {
    return path.size() > folder.size() &&
           CompareStringOrdinal(path.c_str(), static_cast<int>(folder.size()), folder.c_str(),
                                static_cast<int>(folder.size()), TRUE) == CSTR_EQUAL;
}

std::wstring FinalFolderPath(const std::wstring& folder) {
    FileHandle handle{CreateFileW(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
    if (handle.h == INVALID_HANDLE_VALUE) return std::wstring();
    const std::wstring path = FinalPathOf(handle.h);
    return path.empty() ? path : WithTrailingBackslash(path);
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateFolders(const std::wstring& folder) {
    std::wstring path = folder;
    while (!path.empty() && IsSeparator(path.back())) path.pop_back();
    if (path.empty() || IsFolder(path)) return !path.empty();
    const size_t cut = path.find_last_of(L"\\/");
    if (cut != std::wstring::npos && cut > 0 && path[cut - 1] != L':' && !IsSeparator(path[cut - 1]))
        CreateFolders(path.substr(0, cut));
    return CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool ReadWholeFile(const std::wstring& path, std::string* bytes, DWORD* error, const std::wstring* within) {
    bytes->clear();
    FileHandle file{CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)};
    if (file.h == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return false;
    }
    // Device names such as CON or NUL open too; only real files count.
    if (GetFileType(file.h) != FILE_TYPE_DISK) {
        *error = ERROR_BAD_FILE_TYPE;
        return false;
    }
    // Asked of the open handle, so a link swapped in after a check cannot lead elsewhere.
    if (within && !IsInside(*within, FinalPathOf(file.h))) {
        *error = ERROR_ACCESS_DENIED;
        return false;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.h, &size)) {
        *error = GetLastError();
        return false;
    }
    if (size.QuadPart > kMaxFileBytes) {
        *error = ERROR_FILE_TOO_LARGE;
        return false;
    }
    bytes->resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < bytes->size()) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(bytes->size() - done);
        if (!ReadFile(file.h, &(*bytes)[done], want, &got, nullptr)) {
            *error = GetLastError();
            return false;
        }
        if (got == 0) break;
        done += got;
    }
    bytes->resize(done);
    *error = ERROR_SUCCESS;
    return true;
}

}  // namespace brelm_core
