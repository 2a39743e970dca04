// CString and CStringA: counted strings of UTF-16 units and of bytes.
#pragma once

#include <windows.h>
#include <oleauto.h>
#include <stdarg.h>
#include <wchar.h>
#include <string.h>
#include <algorithm>
#include <new>
#include <string>
#include <type_traits>

namespace afx_detail {

inline size_t StrLen(const wchar_t* s) { return s ? wcslen(s) : 0; }
inline size_t StrLen(const char* s) { return s ? strlen(s) : 0; }
inline bool IsSpace(wchar_t c) { return iswspace(c) != 0; }
inline bool IsSpace(char c) { return isspace(static_cast<unsigned char>(c)) != 0; }

// Conversions between the two string kinds use the thread's ANSI code page.
std::wstring Widen(const char* s, size_t n);
std::string Narrow(const wchar_t* s, size_t n);

int VFormatLength(const wchar_t* fmt, va_list args);
int VFormatLength(const char* fmt, va_list args);
void VFormatInto(wchar_t* out, size_t cap, const wchar_t* fmt, va_list args);
void VFormatInto(char* out, size_t cap, const char* fmt, va_list args);
int CompareNoCase(const wchar_t* a, const wchar_t* b);
int CompareNoCase(const char* a, const char* b);
void MakeLower(wchar_t* s, size_t n);
void MakeLower(char* s, size_t n);
void MakeUpper(wchar_t* s, size_t n);
void MakeUpper(char* s, size_t n);
bool LoadStringResource(HINSTANCE module, UINT id, std::wstring& out);

}  // namespace afx_detail

template <typename Ch>
class CStringT {
public:
    typedef Ch XCHAR;
    typedef const Ch* PCXSTR;
    typedef Ch* PXSTR;
    typedef typename std::conditional<sizeof(Ch) == 1, wchar_t, char>::type YCHAR;

    CStringT() {}
    CStringT(const CStringT& other) : m_str(other.m_str) {}
    CStringT(CStringT&& other) noexcept : m_str(std::move(other.m_str)) {}
    CStringT(PCXSTR s) { if (s) m_str.assign(s); }
    CStringT(PCXSTR s, int length) { if (s && length > 0) m_str.assign(s, static_cast<size_t>(length)); }
    CStringT(Ch ch, int repeat = 1) { if (repeat > 0) m_str.assign(static_cast<size_t>(repeat), ch); }
    CStringT(const YCHAR* s) { AssignOther(s, afx_detail::StrLen(s)); }
    CStringT(const YCHAR* s, int length) { if (length > 0) AssignOther(s, static_cast<size_t>(length)); }
    CStringT(const CStringT<YCHAR>& other) { AssignOther(other.GetString(), static_cast<size_t>(other.GetLength())); }

    CStringT& operator=(const CStringT& other) { m_str = other.m_str; return *this; }
    CStringT& operator=(CStringT&& other) noexcept { m_str = std::move(other.m_str); return *this; }
    CStringT& operator=(PCXSTR s) { if (s) m_str.assign(s); else m_str.clear(); return *this; }
    CStringT& operator=(Ch ch) { m_str.assign(1, ch); return *this; }
    CStringT& operator=(const YCHAR* s) { AssignOther(s, afx_detail::StrLen(s)); return *this; }
    CStringT& operator=(const CStringT<YCHAR>& other) {
        AssignOther(other.GetString(), static_cast<size_t>(other.GetLength()));
        return *this;
    }

    CStringT& operator+=(const CStringT& s) { m_str += s.m_str; return *this; }
    CStringT& operator+=(PCXSTR s) { if (s) m_str += s; return *this; }
    CStringT& operator+=(Ch ch) { m_str += ch; return *this; }

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    PCXSTR GetString() const { return m_str.c_str(); }
    operator PCXSTR() const { return m_str.c_str(); }
    Ch GetAt(int i) const { return m_str[static_cast<size_t>(i)]; }
    Ch operator[](int i) const { return m_str[static_cast<size_t>(i)]; }
    void SetAt(int i, Ch ch) { m_str[static_cast<size_t>(i)] = ch; }

    // Units beyond the first NUL are not part of the text.
    PXSTR GetBuffer(int minLength = 0) {
        if (minLength > GetLength()) m_str.resize(static_cast<size_t>(minLength));
        return &m_str[0];
    }
    PXSTR GetBufferSetLength(int length) {
        m_str.resize(static_cast<size_t>(length < 0 ? 0 : length));
        return &m_str[0];
    }
    void ReleaseBuffer(int newLength = -1) {
        if (newLength < 0) newLength = static_cast<int>(afx_detail::StrLen(m_str.c_str()));
        if (newLength > GetLength()) newLength = GetLength();
        m_str.resize(static_cast<size_t>(newLength));
    }
    void Preallocate(int length) { if (length > 0) m_str.reserve(static_cast<size_t>(length)); }

    int Compare(PCXSTR s) const {
        int c = m_str.compare(s ? s : EmptyText());
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    int CompareNoCase(PCXSTR s) const { return afx_detail::CompareNoCase(m_str.c_str(), s ? s : EmptyText()); }

    CStringT Left(int n) const {
        if (n < 0) n = 0;
        return CStringT(m_str.substr(0, static_cast<size_t>(n)));
    }
    CStringT Right(int n) const {
        if (n < 0) n = 0;
        if (n >= GetLength()) return *this;
        return CStringT(m_str.substr(m_str.size() - static_cast<size_t>(n)));
    }
    CStringT Mid(int first) const { return Mid(first, GetLength()); }
    CStringT Mid(int first, int count) const {
        if (first < 0) first = 0;
        if (count < 0) count = 0;
        if (first >= GetLength()) return CStringT();
        return CStringT(m_str.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
    }

    int Find(Ch ch, int start = 0) const { return Pos(start < 0 || start > GetLength() ? std::basic_string<Ch>::npos : m_str.find(ch, static_cast<size_t>(start))); }
    int Find(PCXSTR s, int start = 0) const {
        if (!s || start < 0 || start > GetLength()) return -1;
        return Pos(m_str.find(s, static_cast<size_t>(start)));
    }
    int ReverseFind(Ch ch) const { return Pos(m_str.rfind(ch)); }
    int FindOneOf(PCXSTR set) const { return set ? Pos(m_str.find_first_of(set)) : -1; }

    // Replaces every non-overlapping occurrence, left to right; returns the count.
    int Replace(PCXSTR oldText, PCXSTR newText) {
        size_t oldLen = afx_detail::StrLen(oldText);
        if (oldLen == 0) return 0;
        std::basic_string<Ch> repl(newText ? newText : EmptyText());
        std::basic_string<Ch> out;
        int count = 0;
        size_t pos = 0;
        for (;;) {
            size_t hit = m_str.find(oldText, pos, oldLen);
            if (hit == std::basic_string<Ch>::npos) break;
            out.append(m_str, pos, hit - pos);
            out += repl;
            pos = hit + oldLen;
            ++count;
        }
        if (count) {
            out.append(m_str, pos, std::basic_string<Ch>::npos);
            m_str.swap(out);
        }
        return count;
    }
    int Replace(Ch oldCh, Ch newCh) {
        if (oldCh == newCh) return 0;
        int count = 0;
        for (auto& c : m_str) if (c == oldCh) { c = newCh; ++count; }
        return count;
    }
    int Remove(Ch ch) {
        size_t before = m_str.size();
        m_str.erase(std::remove(m_str.begin(), m_str.end(), ch), m_str.end());
        return static_cast<int>(before - m_str.size());
    }
    int Insert(int index, PCXSTR s) {
        if (index < 0) index = 0;
        if (index > GetLength()) index = GetLength();
        if (s) m_str.insert(static_cast<size_t>(index), s);
        return GetLength();
    }
    int Insert(int index, Ch ch) {
        if (index < 0) index = 0;
        if (index > GetLength()) index = GetLength();
        m_str.insert(static_cast<size_t>(index), 1, ch);
        return GetLength();
    }
    int Delete(int index, int count = 1) {
        if (index < 0) index = 0;
        if (count > 0 && index < GetLength()) m_str.erase(static_cast<size_t>(index), static_cast<size_t>(count));
        return GetLength();
    }

    CStringT& TrimRight() {
        size_t n = m_str.size();
        while (n > 0 && afx_detail::IsSpace(m_str[n - 1])) --n;
        m_str.resize(n);
        return *this;
    }
    CStringT& TrimLeft() {
        size_t i = 0;
        while (i < m_str.size() && afx_detail::IsSpace(m_str[i])) ++i;
        m_str.erase(0, i);
        return *this;
    }
    CStringT& Trim() { return TrimRight().TrimLeft(); }
    CStringT& TrimRight(Ch ch) {
        size_t n = m_str.size();
        while (n > 0 && m_str[n - 1] == ch) --n;
        m_str.resize(n);
        return *this;
    }
    CStringT& TrimLeft(Ch ch) {
        size_t i = 0;
        while (i < m_str.size() && m_str[i] == ch) ++i;
        m_str.erase(0, i);
        return *this;
    }
    CStringT& Trim(Ch ch) { return TrimRight(ch).TrimLeft(ch); }

    CStringT& MakeLower() { if (!m_str.empty()) afx_detail::MakeLower(&m_str[0], m_str.size()); return *this; }
    CStringT& MakeUpper() { if (!m_str.empty()) afx_detail::MakeUpper(&m_str[0], m_str.size()); return *this; }

    // Arguments travel through C varargs, which carry only plain values: a CString must be passed
    // as GetString() (or cast to PCXSTR), or this does not compile.
    template <typename... Args>
    void Format(PCXSTR fmt, Args... args) {
        static_assert((std::is_trivially_copyable<Args>::value && ...),
                      "Format takes plain values only; pass a CString as GetString()");
        FormatVarargs(fmt, args...);
    }
    void FormatV(PCXSTR fmt, va_list args) {
        va_list copy;
        va_copy(copy, args);
        int n = afx_detail::VFormatLength(fmt, copy);
        va_end(copy);
        if (n <= 0) { m_str.clear(); return; }
        std::basic_string<Ch> out(static_cast<size_t>(n) + 1, Ch(0));
        afx_detail::VFormatInto(&out[0], out.size(), fmt, args);
        out.resize(static_cast<size_t>(n));
        m_str.swap(out);
    }
    template <typename... Args>
    void AppendFormat(PCXSTR fmt, Args... args) {
        static_assert((std::is_trivially_copyable<Args>::value && ...),
                      "AppendFormat takes plain values only; pass a CString as GetString()");
        CStringT piece;
        piece.FormatVarargs(fmt, args...);
        m_str += piece.m_str;
    }

    // Loads a string-table text from the framework's resource module.
    BOOL LoadString(UINT id);
    BOOL LoadString(HINSTANCE module, UINT id) {
        std::wstring text;
        if (!afx_detail::LoadStringResource(module, id, text)) return FALSE;
        *this = CStringT<wchar_t>(text.c_str(), static_cast<int>(text.size()));
        return TRUE;
    }

    BSTR AllocSysString() const;

    friend CStringT operator+(const CStringT& a, const CStringT& b) { CStringT r(a); r += b; return r; }
    friend CStringT operator+(const CStringT& a, PCXSTR b) { CStringT r(a); r += b; return r; }
    friend CStringT operator+(PCXSTR a, const CStringT& b) { CStringT r(a); r += b; return r; }
    friend CStringT operator+(const CStringT& a, Ch b) { CStringT r(a); r += b; return r; }
    friend CStringT operator+(Ch a, const CStringT& b) { CStringT r(a); r += b; return r; }
    friend bool operator==(const CStringT& a, const CStringT& b) { return a.m_str == b.m_str; }
    friend bool operator==(const CStringT& a, PCXSTR b) { return a.m_str.compare(b ? b : EmptyText()) == 0; }
    friend bool operator==(PCXSTR a, const CStringT& b) { return b == a; }
    friend bool operator!=(const CStringT& a, const CStringT& b) { return !(a == b); }
    friend bool operator!=(const CStringT& a, PCXSTR b) { return !(a == b); }
    friend bool operator!=(PCXSTR a, const CStringT& b) { return !(b == a); }
    friend bool operator<(const CStringT& a, const CStringT& b) { return a.m_str < b.m_str; }

private:
    void FormatVarargs(PCXSTR fmt, ...) {
        va_list args;
        va_start(args, fmt);
        FormatV(fmt, args);
        va_end(args);
    }

    explicit CStringT(std::basic_string<Ch>&& s) : m_str(std::move(s)) {}
    static PCXSTR EmptyText() { static const Ch empty[1] = {0}; return empty; }
    static int Pos(size_t p) { return p == std::basic_string<Ch>::npos ? -1 : static_cast<int>(p); }
    void AssignOther(const YCHAR* s, size_t n) { AssignConverted(s, n); }
    void AssignConverted(const char* s, size_t n) { m_str = afx_detail::Widen(s, n); }
    void AssignConverted(const wchar_t* s, size_t n) { m_str = afx_detail::Narrow(s, n); }

    std::basic_string<Ch> m_str;
};

typedef CStringT<wchar_t> CString;
typedef CStringT<char> CStringA;
typedef CStringT<wchar_t> CStringW;

HINSTANCE AfxGetResourceHandle();

template <typename Ch>
BOOL CStringT<Ch>::LoadString(UINT id) { return LoadString(AfxGetResourceHandle(), id); }

template <typename Ch>
BSTR CStringT<Ch>::AllocSysString() const {
    CStringT<wchar_t> wide(*this);
    BSTR b = ::SysAllocStringLen(wide.GetString(), static_cast<UINT>(wide.GetLength()));
    if (!b) throw std::bad_alloc();
    return b;
}
