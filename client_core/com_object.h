// COM plumbing of the core library: module count, reference holder, error info, dispatch base.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <oleauto.h>

#include <cwchar>
#include <new>
#include <string>

namespace brelm_core {

// Live objects and server locks of this module; DllCanUnloadNow answers from it.
void ModuleAddRef();
void ModuleRelease();
long ModuleCount();

// A failure carried from deep inside a method to its COM boundary.
struct ComError {
    HRESULT hr;
    std::wstring text;
};

[[noreturn]] inline void ThrowComError(HRESULT hr, std::wstring text) {
    throw ComError{hr, std::move(text)};
}

// Hands text to the calling thread's error object (what GetErrorInfo returns); gives hr back.
HRESULT SetComErrorInfo(HRESULT hr, const std::wstring& text, REFIID source);

// Runs a method body: no C++ exception crosses a COM method. The thread's error object is cleared
// first, so a failure returned without text never shows the description of an earlier one.
template <typename F>
HRESULT ComGuard(REFIID source, F&& body) noexcept {
    SetErrorInfo(0, nullptr);
    try {
        return body();
    } catch (const ComError& e) {
        return SetComErrorInfo(e.hr, e.text, source);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

// Callers sometimes pass plain wide strings for BSTRs, so the length is not taken from the prefix.
inline std::wstring FromBstr(const wchar_t* text) {
    return text ? std::wstring(text) : std::wstring();
}

inline HRESULT ReturnBstr(const std::wstring& text, BSTR* out) {
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

// Owner of one COM reference.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    explicit ComPtr(T* adopt) : p_(adopt) {}
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p_(other.Detach()) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) Attach(other.Detach());
        return *this;
    }
    ~ComPtr() { Reset(); }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    T** Put() {
        Reset();
        return &p_;
    }
    void Attach(T* adopt) {
        Reset();
        p_ = adopt;
    }
    T* Detach() {
        T* p = p_;
        p_ = nullptr;
        return p;
    }
    void Reset() {
        T* p = p_;
        p_ = nullptr;
        if (p) p->Release();
    }

private:
    T* p_ = nullptr;
};

// IUnknown and IDispatch for an object that implements one interface Itf.
// Objects are called through their vtables only, so IDispatch answers E_NOTIMPL.
template <typename Itf>
class DispatchObject : public Itf, public ISupportErrorInfo {
public:
    DispatchObject() { ModuleAddRef(); }
    DispatchObject(const DispatchObject&) = delete;
    DispatchObject& operator=(const DispatchObject&) = delete;
    virtual ~DispatchObject() { ModuleRelease(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(Itf))
            *ppv = static_cast<Itf*>(this);
        else if (riid == IID_ISupportErrorInfo)
            *ppv = static_cast<ISupportErrorInfo*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override {
        return riid == __uuidof(Itf) ? S_OK : S_FALSE;
    }

    // Hands the new object out as IDispatch; the creation reference goes with it.
    IDispatch* DetachAsDispatch() { return static_cast<Itf*>(this); }

protected:
    template <typename F>
    HRESULT Guard(F&& body) noexcept {
        return ComGuard(__uuidof(Itf), static_cast<F&&>(body));
    }

private:
    LONG refs_ = 1;
};

// Out-pointers are cleared before anything can fail.
template <typename T>
inline HRESULT ClearOut(T** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return S_OK;
}

}  // namespace brelm_core
