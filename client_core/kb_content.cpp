// Reading a page for a document: decoding, link values, local link paths and plain text.
#include "kb_content.h"

#include <windows.h>

#include <cwctype>

namespace brelm_core {

namespace {

bool IsHtmlSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\f'; }

bool EqualsNoCase(const std::wstring& a, const wchar_t* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        if (std::towlower(a[i]) != std::towlower(b[i])) return false;
    }
    return i == a.size() && !b[i];
}

std::wstring Trim(const std::wstring& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && IsHtmlSpace(text[begin])) ++begin;
    while (end > begin && IsHtmlSpace(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

void AppendCodePoint(std::wstring* out, unsigned long cp) {
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    if (cp >= 0x10000) {
        cp -= 0x10000;
        *out += static_cast<wchar_t>(0xD800 + (cp >> 10));
        *out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
    } else {
        *out += static_cast<wchar_t>(cp);
    }
}

std::wstring DecodeReferences(const std::wstring& text) {
    static const struct {
        const wchar_t* name;
        wchar_t value;
    } kNamed[] = {{L"amp", L'&'}, {L"lt", L'<'}, {L"gt", L'>'}, {L"quot", L'"'}, {L"apos", L'\''}, {L"nbsp", 0xA0}};
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        // A reference ends within ten units of its '&'; looking no further keeps the scan linear.
        size_t semi = std::wstring::npos;
        for (size_t j = i + 1; text[i] == L'&' && j < text.size() && j - i <= 10; ++j) {
            if (text[j] == L';') {
                semi = j;
                break;
            }
        }
        if (semi == std::wstring::npos) {
            out += text[i];
            continue;
        }
        const std::wstring name = text.substr(i + 1, semi - i - 1);
        bool done = false;
        if (name.size() > 1 && name[0] == L'#') {
            const bool hex = name[1] == L'x' || name[1] == L'X';
            const std::wstring digits = name.substr(hex ? 2 : 1);
            wchar_t* end = nullptr;
            const unsigned long cp = digits.empty() ? 0 : std::wcstoul(digits.c_str(), &end, hex ? 16 : 10);
            if (end && *end == 0) {
                AppendCodePoint(&out, cp);
                done = true;
            }
        } else {
            for (const auto& entity : kNamed) {
                if (name == entity.name) {
                    out += entity.value;
                    done = true;
                    break;
                }
            }
        }
        if (done)
            i = semi;
        else
            out += text[i];
    }
    return out;
}

int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// %XX sequences read as UTF-8 bytes; the value unchanged when they are not valid UTF-8.
std::wstring PercentDecode(const std::wstring& value) {
    auto isEscape = [&](size_t i) {
        return value[i] == L'%' && i + 2 < value.size() && HexValue(value[i + 1]) >= 0 && HexValue(value[i + 2]) >= 0;
    };
    std::string bytes;
    size_t i = 0;
    while (i < value.size()) {
        if (isEscape(i)) {
            bytes += static_cast<char>(HexValue(value[i + 1]) * 16 + HexValue(value[i + 2]));
            i += 3;
            continue;
        }
        size_t end = i + 1;
        while (end < value.size() && !isEscape(end)) ++end;
        const int n = WideCharToMultiByte(CP_UTF8, 0, &value[i], static_cast<int>(end - i), nullptr, 0, nullptr, nullptr);
        if (n <= 0) return value;
        std::string run(static_cast<size_t>(n), '\0');
        WideCharToMultiByte(CP_UTF8, 0, &value[i], static_cast<int>(end - i), &run[0], n, nullptr, nullptr);
        bytes += run;
        i = end;
    }
    const int n = bytes.empty() ? 0 : MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                                           static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0) return value;
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), &out[0], n);
    return out;
}

std::wstring Decode(UINT codePage, DWORD flags, const char* data, size_t size) {
    if (size == 0) return std::wstring();
    const int n = MultiByteToWideChar(codePage, flags, data, static_cast<int>(size), nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, flags, data, static_cast<int>(size), &out[0], n);
    return out;
}

// Calls visit(start, end) for each tag "<name ...>" of the page, skipping comments.
template <typename F>
void ForEachTag(const std::wstring& html, F visit) {
    size_t i = 0;
    while ((i = html.find(L'<', i)) != std::wstring::npos) {
        if (html.compare(i, 4, L"<!--") == 0) {
            const size_t end = html.find(L"-->", i + 4);
            if (end == std::wstring::npos) return;
            i = end + 3;
            continue;
        }
        const size_t next = i + 1;
        if (next < html.size() && (std::iswalpha(html[next]) || html[next] == L'/'))
            i = visit(i);
        else
            i = next;
    }
}

}  // namespace

std::wstring DecodePageBytes(const std::string& bytes) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    if (n >= 2 && ((b[0] == 0xFF && b[1] == 0xFE) || (b[0] == 0xFE && b[1] == 0xFF))) {
        const bool big = b[0] == 0xFE;
        std::wstring out;
        out.reserve((n - 2) / 2);
        for (size_t i = 2; i + 1 < n; i += 2)
            out += static_cast<wchar_t>(big ? (b[i] << 8) | b[i + 1] : (b[i + 1] << 8) | b[i]);
        return out;
    }
    if (n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) return Decode(CP_UTF8, 0, bytes.data() + 3, n - 3);
    const std::wstring utf8 = Decode(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), n);
    if (!utf8.empty() || n == 0) return utf8;
    return Decode(CP_ACP, 0, bytes.data(), n);
}

std::vector<std::wstring> FindLinkValues(const std::wstring& html) {
    std::vector<std::wstring> values;
    ForEachTag(html, [&](size_t start) {
        const size_t n = html.size();
        size_t j = start + 1;
        while (j < n && !IsHtmlSpace(html[j]) && html[j] != L'>') ++j;
        for (;;) {
            while (j < n && (IsHtmlSpace(html[j]) || html[j] == L'/')) ++j;
            if (j >= n || html[j] == L'>') return j;
            const size_t nameStart = j;
            while (j < n && !IsHtmlSpace(html[j]) && html[j] != L'=' && html[j] != L'>' && html[j] != L'/') ++j;
            if (j == nameStart) ++j;
            const std::wstring name = html.substr(nameStart, j - nameStart);
            while (j < n && IsHtmlSpace(html[j])) ++j;
            if (j >= n || html[j] != L'=') continue;
            ++j;
            while (j < n && IsHtmlSpace(html[j])) ++j;
            std::wstring value;
            if (j < n && (html[j] == L'"' || html[j] == L'\'')) {
                const size_t close = html.find(html[j], j + 1);
                const size_t end = close == std::wstring::npos ? n : close;
                value = html.substr(j + 1, end - j - 1);
                j = end == n ? n : end + 1;
            } else {
                const size_t valueStart = j;
                while (j < n && !IsHtmlSpace(html[j]) && html[j] != L'>') ++j;
                value = html.substr(valueStart, j - valueStart);
            }
            if (EqualsNoCase(name, L"src") || EqualsNoCase(name, L"href")) values.push_back(DecodeReferences(value));
        }
    });
    return values;
}

std::vector<std::wstring> LinkCandidates(const std::wstring& value) {
    std::vector<std::wstring> out;
    const std::wstring trimmed = Trim(value);
    out.push_back(trimmed);
    const std::wstring bare = trimmed.substr(0, trimmed.find_first_of(L"?#"));
    if (bare != trimmed) out.push_back(bare);
    const std::wstring decoded = PercentDecode(bare);
    if (decoded != bare) out.push_back(decoded);
    return out;
}

std::wstring LocalLinkPath(const std::wstring& value) {
    if (value.empty() || value[0] == L'/' || value[0] == L'\\') return std::wstring();
    for (const wchar_t c : value) {
        if (c < 0x20 || std::wcschr(L":*?\"<>|", c)) return std::wstring();
    }
    std::wstring path;
    size_t start = 0;
    while (start <= value.size()) {
        const size_t end = value.find_first_of(L"/\\", start);
        const std::wstring segment = value.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        if (segment != L".") {
            // Windows drops trailing dots and blanks, so "..", "..." and ".. " could all climb out.
            if (segment.empty() || segment.back() == L'.' || segment.back() == L' ') return std::wstring();
            if (!path.empty()) path += L'\\';
            path += segment;
        }
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    return path;
}

std::wstring PageToPlainText(const std::wstring& html) {
    std::wstring text;
    size_t i = 0;
    auto appendText = [&](size_t from, size_t to) { text += DecodeReferences(html.substr(from, to - from)) + L' '; };
    for (;;) {
        size_t tag = html.find(L'<', i);
        appendText(i, tag == std::wstring::npos ? html.size() : tag);
        if (tag == std::wstring::npos) break;
        const size_t close = html.compare(tag, 4, L"<!--") == 0 ? html.find(L"-->", tag) : html.find(L'>', tag);
        if (close == std::wstring::npos) break;
        i = close + (html[close] == L'-' ? 3 : 1);
        size_t nameEnd = tag + 1;
        while (nameEnd < close && std::iswalpha(html[nameEnd])) ++nameEnd;
        const std::wstring name = html.substr(tag + 1, nameEnd - tag - 1);
        if (EqualsNoCase(name, L"script") || EqualsNoCase(name, L"style")) {
            const std::wstring end = L"</" + name;
            size_t stop = i;
            while ((stop = html.find(L"</", stop)) != std::wstring::npos &&
                   !EqualsNoCase(html.substr(stop, end.size()), end.c_str()))
                stop += 2;
            if (stop == std::wstring::npos) break;
            i = stop;
        }
    }
    std::wstring collapsed;
    for (const wchar_t c : text) {
        const bool space = std::iswspace(c) || c == 0xA0;
        if (space) {
            if (!collapsed.empty() && collapsed.back() != L' ') collapsed += L' ';
        } else {
            collapsed += c;
        }
    }
    if (!collapsed.empty() && collapsed.back() == L' ') collapsed.pop_back();
    return collapsed;
}

}  // namespace brelm_core
