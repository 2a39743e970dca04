// A fresh folder under the temp folder for one test, removed with its content afterwards.
#pragma once

#include <windows.h>

#include <string>

class FoundationTempDir {
public:
    FoundationTempDir() {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        for (unsigned n = GetTickCount();; ++n) {
            m_path = std::wstring(temp) + L"brelm_foundation_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                     std::to_wstring(n) + L"\\";
            if (CreateDirectoryW(m_path.c_str(), nullptr)) break;
        }
    }
    ~FoundationTempDir() { RemoveTree(m_path); }

    // The folder, ending with a backslash.
    const std::wstring& Path() const { return m_path; }

    static void RemoveTree(const std::wstring& folder) {
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                std::wstring name = data.cFileName;
                if (name == L"." || name == L"..") continue;
                std::wstring full = folder + name;
                if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveTree(full + L"\\");
                } else {
                    SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileW(full.c_str());
                }
            } while (FindNextFileW(find, &data));
            FindClose(find);
        }
        RemoveDirectoryW(folder.c_str());
    }

private:
    FoundationTempDir(const FoundationTempDir&) = delete;
    FoundationTempDir& operator=(const FoundationTempDir&) = delete;
    std::wstring m_path;
};
