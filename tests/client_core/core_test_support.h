// Helpers of the core-library tests: the loaded DLL, owned references and BSTRs, temp folders, files.
#pragma once

#include "brelm_km_interfaces.h"
#include "brelm_sqlite_interfaces.h"

#include <windows.h>

#include <string>
#include <vector>

// A failed HRESULT, printed when it is not.
#define EXPECT_FAILED(expr) EXPECT_LT(static_cast<long>(expr), 0L)

namespace core_test {

// Owner of one COM reference.
template <typename T>
class Ref {
public:
    Ref() = default;
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    Ref(Ref&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
    Ref& operator=(Ref&& other) noexcept {
        if (this != &other) {
            Reset();
            p_ = other.p_;
            other.p_ = nullptr;
        }
        return *this;
    }
    ~Ref() { Reset(); }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    T** put() {
        Reset();
        return &p_;
    }
    void** put_void() { return reinterpret_cast<void**>(put()); }
    void Reset() {
        T* p = p_;
        p_ = nullptr;
        if (p) p->Release();
    }
    // Asks the object for interface U.
    template <typename U>
    HRESULT As(Ref<U>* out) const {
        return p_->QueryInterface(__uuidof(U), out->put_void());
    }

private:
    T* p_ = nullptr;
};

class Bstr {
public:
    explicit Bstr(const std::wstring& text = std::wstring())
        : b_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(b_); }
    operator BSTR() const { return b_; }
    BSTR* put() {
        SysFreeString(b_);
        b_ = nullptr;
        return &b_;
    }
    std::wstring str() const { return b_ ? std::wstring(b_, SysStringLen(b_)) : std::wstring(); }

private:
    BSTR b_;
};

// BrelmKMCore.dll from the test program's own folder, loaded once per process.
struct CoreDll {
    HMODULE module = nullptr;
    HRESULT(WINAPI* getClassObject)(REFCLSID, REFIID, void**) = nullptr;
    HRESULT(WINAPI* canUnloadNow)() = nullptr;
    PFN_BrelmKMCreateSQLiteDatabase createSQLiteDatabase = nullptr;
};
const CoreDll& Core();

// A new knowledge-base database object (through the class factory) and SQLite database object.
HRESULT NewDatabase(Ref<IBrelmDatabase>* out);
HRESULT NewSQLiteDatabase(Ref<IBrelmSQLiteDatabase>* out);

// A fresh folder under the temp folder, removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();
    // The folder, ending with '\'.
    const std::wstring& path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + name; }

private:
    std::wstring path_;
};

// A symbolic link of a test, removed at the end. Wine's CreateSymbolicLinkW makes none, so under
// Wine it is a Unix symbolic link, which Wine follows the same way.
class FileLink {
public:
    FileLink() = default;
    FileLink(const FileLink&) = delete;
    FileLink& operator=(const FileLink&) = delete;
    ~FileLink();
    // True when link exists afterwards (leading to target, a folder or a file).
    bool Make(const std::wstring& link, const std::wstring& target, bool folder);

private:
    std::wstring link_;
    bool folder_ = false;
    bool unix_ = false;
};

bool WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);
// Names in a folder (no "." or ".."), sorted.
std::vector<std::wstring> ListFolder(const std::wstring& folder);
std::string Utf8(const std::wstring& text);

// The description of the calling thread's error object, or empty.
std::wstring LastErrorInfo();

}  // namespace core_test
