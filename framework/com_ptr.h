// Owners of COM references and BSTRs: released on every path by their holder.
#pragma once

#include <windows.h>
#include <oleauto.h>
#include <unknwn.h>
#include <memory>
#include <new>

template <typename T>
class CComPtr {
public:
    CComPtr() : p(nullptr) {}
    CComPtr(T* q) : p(q) { if (p) p->AddRef(); }
    CComPtr(const CComPtr& other) : p(other.p) { if (p) p->AddRef(); }
    CComPtr(CComPtr&& other) noexcept : p(other.p) { other.p = nullptr; }
    ~CComPtr() { Release(); }

    CComPtr& operator=(T* q) {
        if (q) q->AddRef();
        Release();
        p = q;
        return *this;
    }
    CComPtr& operator=(const CComPtr& other) { return *this = other.p; }
    CComPtr& operator=(CComPtr&& other) noexcept {
        if (this != std::addressof(other)) { Release(); p = other.p; other.p = nullptr; }
        return *this;
    }

    void Release() { T* q = p; p = nullptr; if (q) q->Release(); }
    // Takes over a reference without adding one.
    void Attach(T* q) { Release(); p = q; }
    T* Detach() { T* q = p; p = nullptr; return q; }

    operator T*() const { return p; }
    T* operator->() const { return p; }
    // For out-parameters: the holder must be empty.
    T** operator&() { Release(); return &p; }
    bool operator!() const { return p == nullptr; }

    template <typename Q>
    HRESULT QueryInterface(Q** out) const {
        *out = nullptr;
        return p ? p->QueryInterface(__uuidof(Q), reinterpret_cast<void**>(out)) : E_POINTER;
    }
    HRESULT QueryInterface(REFIID iid, void** out) const {
        *out = nullptr;
        return p ? p->QueryInterface(iid, out) : E_POINTER;
    }

    T* p;
};

class CComBSTR {
public:
    CComBSTR() : m_str(nullptr) {}
    explicit CComBSTR(const wchar_t* s) : m_str(nullptr) {
        if (s) { m_str = ::SysAllocString(s); if (!m_str) throw std::bad_alloc(); }
    }
    CComBSTR(const wchar_t* s, UINT length) : m_str(::SysAllocStringLen(s, length)) {
        if (!m_str) throw std::bad_alloc();
    }
    CComBSTR(const CComBSTR&) = delete;
    CComBSTR& operator=(const CComBSTR&) = delete;
    CComBSTR(CComBSTR&& other) noexcept : m_str(other.m_str) { other.m_str = nullptr; }
    ~CComBSTR() { Empty(); }

    void Empty() { if (m_str) { ::SysFreeString(m_str); m_str = nullptr; } }
    void Attach(BSTR b) {
        if (b == m_str) return;
        Empty();
        m_str = b;
    }
    BSTR Detach() { BSTR b = m_str; m_str = nullptr; return b; }
    UINT Length() const { return ::SysStringLen(m_str); }
    operator BSTR() const { return m_str; }
    // For out-parameters: any text held before is freed.
    BSTR* operator&() { Empty(); return &m_str; }

    BSTR m_str;
};
