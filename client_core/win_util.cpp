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

// Where an open file or folder really lies, every link followed: its volume's serial number and its
// path below the volume's root ("43000000:\users\me\a.png"). Read from the handle's name record,
// which has no length limit; GetFinalPathNameByHandleW fails under Wine past about 263 characters.
// Empty on failure, with the reason in GetLastError.
std::wstring FinalPathOf(HANDLE h) {
    BY_HANDLE_FILE_INFORMATION file;
    if (!GetFileInformationByHandle(h, &file)) return std::wstring();
    // Room for the longest path the system knows, 32767 characters.
    std::vector<DWORD> buffer((sizeof(FILE_NAME_INFO) + 32768 * sizeof(wchar_t)) / sizeof(DWORD));
    const DWORD size = static_cast<DWORD>(buffer.size() * sizeof(DWORD));
    if (!GetFileInformationByHandleEx(h, FileNameInfo, buffer.data(), size)) return std::wstring();
    const auto* name = reinterpret_cast<const FILE_NAME_INFO*>(buffer.data());
    wchar_t volume[16];
    swprintf(volume, 16, L"%08lX:", file.dwVolumeSerialNumber);
    return volume + std::wstring(name->FileName, name->FileNameLength / sizeof(wchar_t));
}

// A full path in the form that the file calls of Windows open past MAX_PATH characters; shorter
// paths stay as they are.
std::wstring OpenablePath(const std::wstring& path) {
    if (path.size() < MAX_PATH || path.compare(0, 4, L"\\\\?\\") == 0 || path.compare(0, 4, L"\\\\.\\") == 0)
        return path;
    if (path.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + path.substr(2);
    return L"\\\\?\\" + path;
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
    FileHandle handle{CreateFileW(OpenablePath(folder).c_str(), 0,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
    if (handle.h == INVALID_HANDLE_VALUE) return std::wstring();
    const std::wstring path = FinalPathOf(handle.h);
    return path.empty() ? path : WithTrailingBackslash(path);
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(OpenablePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
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
    FileHandle file{CreateFileW(OpenablePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
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
    if (within) {
        const std::wstring final = FinalPathOf(file.h);
        if (final.empty()) {
            const DWORD reason = GetLastError();
            *error = reason ? reason : ERROR_CANT_RESOLVE_FILENAME;
            return false;
        }
        if (!IsInside(*within, final)) {
            *error = kErrorOutsideFolder;
            return false;
        }
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
