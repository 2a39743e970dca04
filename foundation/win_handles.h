// Move-only owners of a loaded module, a kernel file handle and a C runtime stream.
#pragma once

#include <stdio.h>
#include "afx.h"

class CBrelmModule {
public:
    explicit CBrelmModule(HMODULE module = nullptr) : m_hModule(module) {}
    CBrelmModule(CBrelmModule&& other) noexcept : m_hModule(other.Detach()) {}
    CBrelmModule& operator=(CBrelmModule&& other) noexcept {
        if (this != &other) Attach(other.Detach());
        return *this;
    }
    CBrelmModule(const CBrelmModule&) = delete;
    CBrelmModule& operator=(const CBrelmModule&) = delete;
    ~CBrelmModule() { Free(); }

    void Attach(HMODULE module) { Free(); m_hModule = module; }
    HMODULE Detach() { HMODULE m = m_hModule; m_hModule = nullptr; return m; }
    void Free() { if (m_hModule) { ::FreeLibrary(m_hModule); m_hModule = nullptr; } }
    FARPROC GetProc(const char* name) const { return m_hModule ? ::GetProcAddress(m_hModule, name) : nullptr; }
    operator HMODULE() const { return m_hModule; }

private:
    HMODULE m_hModule;
};

// INVALID_HANDLE_VALUE and NULL both mean "no handle".
class CBrelmFileHandle {
public:
    explicit CBrelmFileHandle(HANDLE handle = INVALID_HANDLE_VALUE) : m_hFile(handle) {}
    CBrelmFileHandle(const CBrelmFileHandle&) = delete;
    CBrelmFileHandle& operator=(const CBrelmFileHandle&) = delete;
    ~CBrelmFileHandle() { Close(); }

    bool IsValid() const { return m_hFile != INVALID_HANDLE_VALUE && m_hFile != nullptr; }
    void Close() {
        if (IsValid()) ::CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
    }
    operator HANDLE() const { return m_hFile; }

private:
    HANDLE m_hFile;
};

class CBrelmStdioFile {
public:
    explicit CBrelmStdioFile(FILE* file = nullptr) : m_pFile(file) {}
    CBrelmStdioFile(const CBrelmStdioFile&) = delete;
    CBrelmStdioFile& operator=(const CBrelmStdioFile&) = delete;
    ~CBrelmStdioFile() { Close(); }

    void Close() { if (m_pFile) { ::fclose(m_pFile); m_pFile = nullptr; } }
    FILE** operator&() { Close(); return &m_pFile; }
    operator FILE*() const { return m_pFile; }

private:
    FILE* m_pFile;
};

// The text of a BSTR (a null BSTR is the empty text).
inline CString BrelmBstrText(BSTR text) {
    return CString(text, static_cast<int>(::SysStringLen(text)));
}
