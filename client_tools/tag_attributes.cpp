// Reading and rewriting one named attribute in the text of a start tag.
#include "tag_attributes.h"

#include "html_tokenizer.h"

#include <cwchar>

namespace brelm_tools {
namespace {

bool IsAttributeName(const wchar_t* name) {
    if (!*name) return false;
    for (; *name; ++name) {
        if (wcschr(L" \t\n\r\f\"'<>/=", *name)) return false;
    }
    return true;
}

bool SameName(const HtmlAttribute& attribute, const wchar_t* name) {
    if (wcslen(name) != attribute.nameLength) return false;
    for (size_t i = 0; i < attribute.nameLength; ++i) {
        wchar_t a = attribute.name[i], b = name[i];
        if (a >= L'A' && a <= L'Z') a = static_cast<wchar_t>(a - L'A' + L'a');
        if (b >= L'A' && b <= L'Z') b = static_cast<wchar_t>(b - L'A' + L'a');
        if (a != b) return false;
    }
    return true;
}

// The attributes of a start tag: where the first one named name lies, where the
// last one ends, and whether the tag is closed.
struct TagScan {
    bool startTag = false;
    bool found = false;
    bool closed = false;
    HtmlAttribute match{};
    const wchar_t* lastEnd = nullptr;
    bool lastValueMissing = false;  // the last attribute ends with "=" and nothing after it
};

TagScan ScanTag(const wchar_t* tag, const wchar_t* end, const wchar_t* name) {
    TagScan scan;
    size_t nameLength = 0;
    const wchar_t* tagName = HtmlTagName(tag, end, nameLength);
    if (nameLength == 0 || tag[1] == L'/') return scan;
    scan.startTag = true;
    const wchar_t* p = tagName + nameLength;
    scan.lastEnd = p;
    HtmlAttribute attribute;
    while (NextHtmlAttribute(p, end, attribute)) {
        if (!scan.found && SameName(attribute, name)) {
            scan.match = attribute;
            scan.found = true;
        }
        scan.lastEnd = attribute.end;
        scan.lastValueMissing = attribute.value && attribute.end == attribute.value;
    }
    scan.closed = p < end;
    return scan;
}

}  // namespace

HRESULT GetTagAttribute(const wchar_t* tag, const wchar_t* name, std::wstring& value) {
    value.clear();
    if (!IsAttributeName(name)) return E_INVALIDARG;
    TagScan scan = ScanTag(tag, tag + wcslen(tag), name);
    if (!scan.found) return S_FALSE;
    const wchar_t* p = scan.match.value;
    const wchar_t* end = p + scan.match.valueLength;
    while (p < end) {
        if (end - p >= 6 && wmemcmp(p, L"&quot;", 6) == 0) {
            value += L'"';
            p += 6;
        } else if (end - p >= 5 && wmemcmp(p, L"&amp;", 5) == 0) {
            value += L'&';
            p += 5;
        } else {
            value += *p++;
        }
    }
    return S_OK;
}

HRESULT SetTagAttribute(wchar_t* buffer, size_t bufferSize, const wchar_t* name, const wchar_t* value) {
    if (!IsAttributeName(name)) return E_INVALIDARG;
    const size_t length = wcsnlen(buffer, bufferSize);
    if (length == bufferSize) return E_INVALIDARG;  // no terminator inside the buffer
    const wchar_t* end = buffer + length;
    TagScan scan = ScanTag(buffer, end, name);
    if (!scan.startTag || !scan.closed) return E_INVALIDARG;

    std::wstring assignment = L"=\"";
    for (const wchar_t* v = value; *v; ++v) {
        if (*v == L'"') assignment += L"&quot;";
        else if (*v == L'&') assignment += L"&amp;";
        else assignment += *v;
    }
    assignment += L'"';

    // A present attribute keeps its name as written; only "=value" is replaced.
    const wchar_t* cutStart = scan.found ? scan.match.name + scan.match.nameLength : scan.lastEnd;
    const wchar_t* cutEnd = scan.found ? scan.match.end : scan.lastEnd;
    std::wstring text(buffer, static_cast<size_t>(cutStart - buffer));
    // After "type=" an added attribute would be read back as type's value: close it with "".
    if (!scan.found && scan.lastValueMissing) text.append(L"\"\"");
    if (!scan.found) text.append(L" ").append(name);
    text.append(assignment).append(cutEnd, end);
    if (text.size() >= bufferSize) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    wmemcpy(buffer, text.c_str(), text.size() + 1);
    return S_OK;
}

}  // namespace brelm_tools
