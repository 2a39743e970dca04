// Pull-style HTML tokenizer: tags, text, comments, declarations, CDATA and raw script/style text.
#include "html_tokenizer.h"

#include <cwchar>

namespace brelm_tools {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\f'; }
bool IsLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }
wchar_t Fold(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool SameFolded(const wchar_t* a, const wchar_t* b, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        if (Fold(a[i]) != Fold(b[i])) return false;
    }
    return true;
}

bool StartsWith(const wchar_t* p, const wchar_t* end, const wchar_t* prefix) {
    size_t length = wcslen(prefix);
    return static_cast<size_t>(end - p) >= length && wmemcmp(p, prefix, length) == 0;
}

// First occurrence of what in [p, end), or null.
const wchar_t* Find(const wchar_t* p, const wchar_t* end, const wchar_t* what) {
    size_t length = wcslen(what);
    for (; static_cast<size_t>(end - p) >= length; ++p) {
        if (wmemcmp(p, what, length) == 0) return p;
    }
    return nullptr;
}

// A '<' that opens markup; any other '<' belongs to the text ("a < b").
bool OpensMarkup(const wchar_t* p, const wchar_t* end) {
    if (end - p < 2 || *p != L'<') return false;
    wchar_t c = p[1];
    if (IsLetter(c) || c == L'!' || c == L'?') return true;
    return c == L'/' && end - p >= 3 && IsLetter(p[2]);
}

}  // namespace

bool NextHtmlAttribute(const wchar_t*& p, const wchar_t* end, HtmlAttribute& attribute) {
    for (;;) {
        while (p < end && IsBlank(*p)) ++p;
        if (p == end || *p == L'>') return false;
        if (*p != L'/') break;
        if (end - p >= 2 && p[1] == L'>') return false;
        ++p;  // a stray '/' between attributes is ignored, as browsers do
    }
    // The first character is taken whatever it is, so "=x" is a name, not an endless loop.
    attribute.name = p++;
    while (p < end && !IsBlank(*p) && *p != L'/' && *p != L'>' && *p != L'=') ++p;
    attribute.nameLength = static_cast<size_t>(p - attribute.name);
    attribute.value = nullptr;
    attribute.valueLength = 0;
    attribute.end = p;

    const wchar_t* q = p;
    while (q < end && IsBlank(*q)) ++q;
    if (q == end || *q != L'=') return true;
    ++q;
    while (q < end && IsBlank(*q)) ++q;
    if (q < end && (*q == L'"' || *q == L'\'')) {
        const wchar_t quote = *q++;
        const wchar_t* close = q;
        while (close < end && *close != quote) ++close;
        attribute.value = q;
        attribute.valueLength = static_cast<size_t>(close - q);
        attribute.end = close < end ? close + 1 : end;
    } else {
        const wchar_t* v = q;
        while (q < end && !IsBlank(*q) && *q != L'>') ++q;
        attribute.value = v;
        attribute.valueLength = static_cast<size_t>(q - v);
        attribute.end = q;
    }
    p = attribute.end;
    return true;
}

const wchar_t* HtmlTagName(const wchar_t* tag, const wchar_t* end, size_t& length) {
    length = 0;
    if (end - tag < 2 || tag[0] != L'<') return tag;
    const wchar_t* name = tag + 1;
    if (*name == L'/') ++name;
    if (name == end || !IsLetter(*name)) return name;
    const wchar_t* p = name;
    while (p < end && !IsBlank(*p) && *p != L'/' && *p != L'>') ++p;
    length = static_cast<size_t>(p - name);
    return name;
}

bool HtmlNameIs(const wchar_t* name, size_t length, const wchar_t* lowerName) {
    return wcslen(lowerName) == length && SameFolded(name, lowerName, length);
}

HtmlTokenizer::HtmlTokenizer(const wchar_t* page, size_t length)
    : m_begin(page), m_pos(page), m_end(page + length) {}

bool HtmlTokenizer::Emit(HtmlToken& token, HtmlTokenType type, const wchar_t* stop) {
    token.type = type;
    token.text = m_pos;
    token.length = static_cast<size_t>(stop - m_pos);
    m_pos = stop;
    return true;
}

bool HtmlTokenizer::EmitError(HtmlToken& token) { return Emit(token, HtmlTokenType::Error, m_end); }

// Past the tag's '>' (quoted values may hold '>'), or null when the page ends first.
const wchar_t* HtmlTokenizer::ScanTag(const wchar_t* p, bool& empty) const {
    size_t nameLength = 0;
    const wchar_t* q = HtmlTagName(p, m_end, nameLength) + nameLength;
    HtmlAttribute attribute;
    while (NextHtmlAttribute(q, m_end, attribute)) {
    }
    if (q == m_end) return nullptr;
    empty = *q == L'/';
    return empty ? q + 2 : q + 1;
}

// Start of the end tag that closes the raw text element, or null.
const wchar_t* HtmlTokenizer::FindRawTextEnd() const {
    for (const wchar_t* p = m_pos; (p = Find(p, m_end, L"</")) != nullptr; ++p) {
        const wchar_t* after = p + 2 + m_rawNameLength;
        if (after > m_end || !SameFolded(p + 2, m_rawName, m_rawNameLength)) continue;
        if (after == m_end || IsBlank(*after) || *after == L'/' || *after == L'>') return p;
    }
    return nullptr;
}

bool HtmlTokenizer::Next(HtmlToken& token) {
    if (m_pos == m_end) return false;

    if (m_rawName) {
        const wchar_t* stop = FindRawTextEnd();
        m_rawName = nullptr;
        if (!stop) return EmitError(token);
        if (stop > m_pos) return Emit(token, HtmlTokenType::Text, stop);
    }

    const wchar_t* p = m_pos;
    if (OpensMarkup(p, m_end)) {
        if (p[1] == L'!' || p[1] == L'?') {
            HtmlTokenType type = HtmlTokenType::Declaration;
            const wchar_t* close = nullptr;
            if (StartsWith(p, m_end, L"<!--")) {
                type = HtmlTokenType::Comment;
                close = Find(p + 4, m_end, L"-->");
                if (close) close += 3;
            } else if (StartsWith(p, m_end, L"<![CDATA[")) {
                type = HtmlTokenType::CData;
                close = Find(p + 9, m_end, L"]]>");
                if (close) close += 3;
            } else {
                close = Find(p + 2, m_end, L">");
                if (close) close += 1;
            }
            return close ? Emit(token, type, close) : EmitError(token);
        }

        bool empty = false;
        const wchar_t* close = ScanTag(p, empty);
        if (!close) return EmitError(token);
        if (p[1] == L'/') return Emit(token, HtmlTokenType::EndTag, close);
        if (empty) return Emit(token, HtmlTokenType::EmptyTag, close);
        size_t nameLength = 0;
        const wchar_t* name = HtmlTagName(p, close, nameLength);
        if (HtmlNameIs(name, nameLength, L"script") || HtmlNameIs(name, nameLength, L"style")) {
            m_rawName = name;
            m_rawNameLength = nameLength;
        }
        return Emit(token, HtmlTokenType::StartTag, close);
    }

    const wchar_t* q = p + 1;
    while (q < m_end && !OpensMarkup(q, m_end)) ++q;
    return Emit(token, HtmlTokenType::Text, q);
}

}  // namespace brelm_tools
