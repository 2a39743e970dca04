// "%1".."%3" message patterns and the system's texts for error codes.
#include "message_texts.h"

#include "file_helpers.h"

namespace {

// Frees a buffer that FormatMessageW allocated.
class CLocalBuffer {
public:
    CLocalBuffer() : m_p(nullptr) {}
    ~CLocalBuffer() { if (m_p) ::LocalFree(m_p); }
    wchar_t** operator&() { return &m_p; }
    const wchar_t* Get() const { return m_p; }

private:
    CLocalBuffer(const CLocalBuffer&) = delete;
    CLocalBuffer& operator=(const CLocalBuffer&) = delete;
    wchar_t* m_p;
};

}  // namespace

void BrelmFormatString(CString& output, const wchar_t* pattern, const wchar_t* a1, const wchar_t* a2,
                       const wchar_t* a3) {
    output = pattern;
    int i = 0;
    while (i < output.GetLength() - 1) {
        const wchar_t c = output[i];
        const wchar_t next = output[i + 1];
        if (c == L'%' && next >= L'1' && next <= L'9') {
            const wchar_t* insert = nullptr;
            if (next == L'1') insert = a1;
            else if (next == L'2') insert = a2;
            else if (next == L'3') insert = a3;
            output.Delete(i, 2);
            if (insert && *insert) {
                output.Insert(i, insert);
                i += static_cast<int>(wcslen(insert));
            }
        } else if (c == L'%' && next == L'a') {
            output.Delete(i, 2);
        } else {
            ++i;
        }
    }
}

CString BrelmFormatString1(const wchar_t* pattern, const wchar_t* a1) {
    CString output;
    BrelmFormatString(output, pattern, a1, nullptr, nullptr);
    return output;
}

CString BrelmFormatString2(const wchar_t* pattern, const wchar_t* a1, const wchar_t* a2) {
    CString output;
    BrelmFormatString(output, pattern, a1, a2, nullptr);
    return output;
}

CString BrelmFormatString3(const wchar_t* pattern, const wchar_t* a1, const wchar_t* a2, const wchar_t* a3) {
    CString output;
    BrelmFormatString(output, pattern, a1, a2, a3);
    return output;
}

CString BrelmGetSystemErrorText(DWORD code) {
    CLocalBuffer buffer;
    ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM,
                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    CString text(buffer.Get());
    if (text.IsEmpty()) {
        text = BrelmFormatString1(L"GetLastError()=%1", BrelmIntToStr(static_cast<int>(code)));
    }
    return text;
}

CString BrelmGetLastErrorText() {
    const DWORD code = ::GetLastError();
    if (code == 0) return CString();
    return BrelmGetSystemErrorText(code);
}
