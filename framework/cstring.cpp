// Out-of-line helpers of CString and CStringA: conversions, formatting, resources.
#include "cstring.h"

#include <stdio.h>

namespace afx_detail {

std::wstring Widen(const char* s, size_t n) {
    std::wstring out;
    if (!s || n == 0) return out;
    int len = MultiByteToWideChar(CP_THREAD_ACP, 0, s, static_cast<int>(n), nullptr, 0);
    if (len <= 0) return out;
    out.resize(static_cast<size_t>(len));
    MultiByteToWideChar(CP_THREAD_ACP, 0, s, static_cast<int>(n), &out[0], len);
    return out;
}

std::string Narrow(const wchar_t* s, size_t n) {
    std::string out;
    if (!s || n == 0) return out;
    int len = WideCharToMultiByte(CP_THREAD_ACP, 0, s, static_cast<int>(n), nullptr, 0, nullptr, nullptr);
    if (len <= 0) return out;
    out.resize(static_cast<size_t>(len));
    WideCharToMultiByte(CP_THREAD_ACP, 0, s, static_cast<int>(n), &out[0], len, nullptr, nullptr);
    return out;
}

int VFormatLength(const wchar_t* fmt, va_list args) { return fmt ? _vscwprintf(fmt, args) : 0; }
int VFormatLength(const char* fmt, va_list args) { return fmt ? _vscprintf(fmt, args) : 0; }
void VFormatInto(wchar_t* out, size_t cap, const wchar_t* fmt, va_list args) { _vsnwprintf(out, cap, fmt, args); }
void VFormatInto(char* out, size_t cap, const char* fmt, va_list args) { _vsnprintf(out, cap, fmt, args); }

template <typename Ch>
static Ch FoldAscii(Ch c) { return (c >= 'A' && c <= 'Z') ? static_cast<Ch>(c + ('a' - 'A')) : c; }

template <typename Ch>
static int CompareFolded(const Ch* a, const Ch* b) {
    for (;; ++a, ++b) {
        // Unsigned, as the C runtime compares: bytes above 0x7F sort after ASCII.
        using Unit = std::make_unsigned_t<Ch>;
        int ca = static_cast<Unit>(FoldAscii(*a)), cb = static_cast<Unit>(FoldAscii(*b));
        if (ca != cb || ca == 0) return ca - cb;
    }
}

int CompareNoCase(const wchar_t* a, const wchar_t* b) { return CompareFolded(a, b); }
int CompareNoCase(const char* a, const char* b) { return CompareFolded(a, b); }

// Letter case is folded for A-Z only, as the C locale of the runtime does.
void MakeLower(wchar_t* s, size_t n) { for (size_t i = 0; i < n; ++i) s[i] = FoldAscii(s[i]); }
void MakeLower(char* s, size_t n) { for (size_t i = 0; i < n; ++i) s[i] = FoldAscii(s[i]); }
void MakeUpper(wchar_t* s, size_t n) {
    for (size_t i = 0; i < n; ++i) if (s[i] >= L'a' && s[i] <= L'z') s[i] = static_cast<wchar_t>(s[i] - 32);
}
void MakeUpper(char* s, size_t n) {
    for (size_t i = 0; i < n; ++i) if (s[i] >= 'a' && s[i] <= 'z') s[i] = static_cast<char>(s[i] - 32);
}

// A string table stores strings in blocks of sixteen counted texts.
bool LoadStringResource(HINSTANCE module, UINT id, std::wstring& out) {
    HRSRC res = FindResourceW(module, MAKEINTRESOURCEW((id >> 4) + 1), MAKEINTRESOURCEW(6));
    if (!res) return false;
    HGLOBAL mem = LoadResource(module, res);
    const WCHAR* p = mem ? static_cast<const WCHAR*>(LockResource(mem)) : nullptr;
    if (!p) return false;
    for (UINT i = 0; i < (id & 15); ++i) p += 1 + *p;
    if (*p == 0) return false;
    out.assign(p + 1, *p);
    return true;
}

}  // namespace afx_detail
