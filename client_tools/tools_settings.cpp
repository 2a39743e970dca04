// The texts the program hands the library, and the library's line in the program's log.
#include "tools_settings.h"

#include <windows.h>

#include <cstdio>

namespace brelm_tools {
namespace {

SRWLOCK g_lock = SRWLOCK_INIT;
std::wstring g_settings[static_cast<int>(ToolsSetting::Count)];

class ExclusiveLock {
public:
    ExclusiveLock() { AcquireSRWLockExclusive(&g_lock); }
    ~ExclusiveLock() { ReleaseSRWLockExclusive(&g_lock); }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;
};

class FileHandle {
public:
    explicit FileHandle(HANDLE h) : m_h(h) {}
    ~FileHandle() {
        if (m_h != INVALID_HANDLE_VALUE) CloseHandle(m_h);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE Get() const { return m_h; }

private:
    HANDLE m_h;
};

bool WriteAll(HANDLE file, const void* data, DWORD bytes) {
    DWORD written = 0;
    return WriteFile(file, data, bytes, &written, nullptr) && written == bytes;
}

}  // namespace

void StoreSetting(ToolsSetting which, const wchar_t* text) {
    std::wstring copy = text ? text : L"";
    ExclusiveLock lock;
    g_settings[static_cast<int>(which)].swap(copy);
}

std::wstring ReadSetting(ToolsSetting which) {
    ExclusiveLock lock;
    return g_settings[static_cast<int>(which)];
}

void AppendLogLine(const std::wstring& text) noexcept {
    try {
        const std::wstring path = ReadSetting(ToolsSetting::LogFileName);
        if (path.empty()) return;

        SYSTEMTIME now;
        GetLocalTime(&now);
        wchar_t head[96];
        swprintf(head, 96, L"BrelmTools.dll %04u-%02u-%02u %02u:%02u:%02u (%lu-%lu): ", now.wYear, now.wMonth,
                 now.wDay, now.wHour, now.wMinute, now.wSecond, GetCurrentProcessId(), GetCurrentThreadId());
        std::wstring line = head;
        for (wchar_t c : text) line += (c == L'\r' || c == L'\n') ? L' ' : c;
        line += L"\r\n";

        // No sharing while the line is written, as the program's own log writer does.
        FileHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.Get() == INVALID_HANDLE_VALUE) return;
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(file.Get(), &size)) return;
        static const unsigned char kBom[2] = {0xFF, 0xFE};
        if (size.QuadPart == 0) {
            if (!WriteAll(file.Get(), kBom, 2)) return;
        } else {
            unsigned char first[2] = {};
            DWORD read = 0;
            if (!ReadFile(file.Get(), first, 2, &read, nullptr) || read != 2 || first[0] != kBom[0] ||
                first[1] != kBom[1])
                return;
            LARGE_INTEGER zero{};
            if (!SetFilePointerEx(file.Get(), zero, nullptr, FILE_END)) return;
        }
        WriteAll(file.Get(), line.data(), static_cast<DWORD>(line.size() * sizeof(wchar_t)));
    } catch (...) {
        // A log line is never worth a failure of its own.
    }
}

}  // namespace brelm_tools
