// The library's exports: the four setters, the HTML rewrite pass and the tag attribute calls.
#include <brelm_tools_api.h>

#include "html_tokenizer.h"
#include "tag_attributes.h"
#include "tools_settings.h"

#include <climits>
#include <cwchar>
#include <new>
#include <string>
#include <type_traits>
#include <vector>

using namespace brelm_tools;

extern "C" {
HRESULT WINAPI BrelmToolsSetSecuteText(LPCWSTR text);
HRESULT WINAPI BrelmToolsSetLogFileName(LPCWSTR text);
HRESULT WINAPI BrelmToolsSetSettingsFileName(LPCWSTR text);
HRESULT WINAPI BrelmToolsSetTempPath(LPCWSTR text);
HRESULT WINAPI BrelmToolsParseHtml(LPCWSTR html, IBrelmToolsParseHtmlEvents* events, BSTR* resultHtml,
                                   BSTR* secondResult);
HRESULT WINAPI BrelmToolsTagGetAttribute(LPCWSTR tag, LPCWSTR attributeName, BSTR* value);
HRESULT WINAPI BrelmToolsTagSetAttribute(LPWSTR tagBuffer, long bufferSize, LPCWSTR attributeName,
                                         LPCWSTR value);
}

static_assert(std::is_same_v<decltype(&BrelmToolsSetLogFileName), PFN_BrelmToolsSetText>);
static_assert(std::is_same_v<decltype(&BrelmToolsParseHtml), PFN_BrelmToolsParseHtml>);
static_assert(std::is_same_v<decltype(&BrelmToolsTagGetAttribute), PFN_BrelmToolsTagGetAttribute>);
static_assert(std::is_same_v<decltype(&BrelmToolsTagSetAttribute), PFN_BrelmToolsTagSetAttribute>);

namespace {

// Room a tag may grow by inside OnTag: an attribute whose value is a long path.
constexpr size_t kTagRoom = 1024 + 32768;
constexpr size_t kProgressStep = 64 * 1024;
constexpr size_t kMaxBstrLength = 0x3FFFFFFF;

class OwnedBstr {
public:
    OwnedBstr() = default;
    ~OwnedBstr() { SysFreeString(m_b); }
    OwnedBstr(const OwnedBstr&) = delete;
    OwnedBstr& operator=(const OwnedBstr&) = delete;
    HRESULT Assign(const std::wstring& text) {
        if (text.size() > kMaxBstrLength) return E_OUTOFMEMORY;
        SysFreeString(m_b);
        m_b = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        return m_b ? S_OK : E_OUTOFMEMORY;
    }
    BSTR Detach() {
        BSTR b = m_b;
        m_b = nullptr;
        return b;
    }

private:
    BSTR m_b = nullptr;
};

long ClampToLong(size_t n) { return n > static_cast<size_t>(LONG_MAX) ? LONG_MAX : static_cast<long>(n); }

// The pass behind BrelmToolsParseHtml. Everything but tags is copied unchanged;
// each tag goes through the sink's OnTag. title gets the text of the first
// <title> element; titleFound tells an empty title from none.
HRESULT RewriteHtml(const wchar_t* html, IBrelmToolsParseHtmlEvents* events, std::wstring& out,
                    std::wstring& title, bool& titleFound) {
    const size_t total = wcslen(html);
    HtmlTokenizer tokenizer(html, total);
    out.reserve(total + total / 8);
    std::vector<wchar_t> buffer;
    bool inTitle = false;
    size_t reported = 0;

    HtmlToken token;
    while (tokenizer.Next(token)) {
        switch (token.type) {
        case HtmlTokenType::StartTag:
        case HtmlTokenType::EmptyTag:
        case HtmlTokenType::EndTag: {
            size_t nameLength = 0;
            const wchar_t* name = HtmlTagName(token.text, token.text + token.length, nameLength);
            if (HtmlNameIs(name, nameLength, L"title")) {
                if (token.type == HtmlTokenType::EndTag) {
                    inTitle = false;
                } else if (!titleFound) {
                    titleFound = true;
                    inTitle = token.type == HtmlTokenType::StartTag;
                }
            }
            if (!events) {
                out.append(token.text, token.length);
                break;
            }
            if (token.length > static_cast<size_t>(LONG_MAX) - kTagRoom - 1) return E_OUTOFMEMORY;
            const size_t size = token.length + 1 + kTagRoom;
            if (buffer.size() < size) buffer.resize(size);
            wmemcpy(buffer.data(), token.text, token.length);
            buffer[token.length] = L'\0';
            events->OnTag(buffer.data(), static_cast<long>(size));
            out.append(buffer.data(), wcsnlen(buffer.data(), size));
            if (!events->ContinueParse()) return E_ABORT;
            break;
        }
        case HtmlTokenType::Error:
            if (events) events->OnParseError(ClampToLong(static_cast<size_t>(token.text - html)));
            [[fallthrough]];
        case HtmlTokenType::Text:
            if (inTitle) title.append(token.text, token.length);
            [[fallthrough]];
        default:
            out.append(token.text, token.length);
            break;
        }
        if (events && tokenizer.Offset() - reported >= kProgressStep) {
            reported = tokenizer.Offset();
            events->OnProgress(ClampToLong(reported), ClampToLong(total));
        }
    }
    if (events) events->OnProgress(ClampToLong(total), ClampToLong(total));
    return S_OK;
}

HRESULT ParseHtml(LPCWSTR html, IBrelmToolsParseHtmlEvents* events, BSTR* resultHtml, BSTR* secondResult) {
    if (!html || !resultHtml || !secondResult) return E_INVALIDARG;
    std::wstring out, title;
    bool titleFound = false;
    HRESULT hr = RewriteHtml(html, events, out, title, titleFound);
    if (FAILED(hr)) return hr;
    OwnedBstr first, second;
    hr = first.Assign(out);
    if (SUCCEEDED(hr) && titleFound) hr = second.Assign(title);
    if (FAILED(hr)) return hr;
    *resultHtml = first.Detach();
    *secondResult = second.Detach();
    return S_OK;
}

HRESULT ExceptionToHresult() {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT Store(ToolsSetting which, LPCWSTR text) {
    try {
        StoreSetting(which, text);
        return S_OK;
    } catch (...) {
        return ExceptionToHresult();
    }
}

}  // namespace

extern "C" {

HRESULT WINAPI BrelmToolsSetSecuteText(LPCWSTR text) { return Store(ToolsSetting::SecuteText, text); }
HRESULT WINAPI BrelmToolsSetLogFileName(LPCWSTR text) { return Store(ToolsSetting::LogFileName, text); }
HRESULT WINAPI BrelmToolsSetSettingsFileName(LPCWSTR text) { return Store(ToolsSetting::SettingsFileName, text); }
HRESULT WINAPI BrelmToolsSetTempPath(LPCWSTR text) { return Store(ToolsSetting::TempPath, text); }

HRESULT WINAPI BrelmToolsParseHtml(LPCWSTR html, IBrelmToolsParseHtmlEvents* events, BSTR* resultHtml,
                                   BSTR* secondResult) {
    if (resultHtml) *resultHtml = nullptr;
    if (secondResult) *secondResult = nullptr;
    HRESULT hr;
    try {
        hr = ParseHtml(html, events, resultHtml, secondResult);
    } catch (...) {
        hr = ExceptionToHresult();
    }
    if (FAILED(hr)) {
        wchar_t line[64];
        swprintf(line, 64, L"BrelmToolsParseHtml failed: 0x%08lX", static_cast<unsigned long>(hr));
        AppendLogLine(line);
    }
    return hr;
}

HRESULT WINAPI BrelmToolsTagGetAttribute(LPCWSTR tag, LPCWSTR attributeName, BSTR* value) {
    if (!value) return E_INVALIDARG;
    *value = nullptr;
    if (!tag || !attributeName) return E_INVALIDARG;
    try {
        std::wstring text;
        HRESULT hr = GetTagAttribute(tag, attributeName, text);
        if (hr != S_OK) return hr;
        OwnedBstr result;
        hr = result.Assign(text);
        if (SUCCEEDED(hr)) *value = result.Detach();
        return hr;
    } catch (...) {
        return ExceptionToHresult();
    }
}

HRESULT WINAPI BrelmToolsTagSetAttribute(LPWSTR tagBuffer, long bufferSize, LPCWSTR attributeName,
                                         LPCWSTR value) {
    if (!tagBuffer || bufferSize <= 0 || !attributeName || !value) return E_INVALIDARG;
    try {
        return SetTagAttribute(tagBuffer, static_cast<size_t>(bufferSize), attributeName, value);
    } catch (...) {
        return ExceptionToHresult();
    }
}

}  // extern "C"
