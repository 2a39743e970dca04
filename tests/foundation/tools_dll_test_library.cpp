// Stand-in of the tools library for the binding tests: records every call it receives, in order.
#include <windows.h>
#include <oleauto.h>

#include <string>

#include "brelm_tools_api.h"

namespace {

std::wstring g_record;

HRESULT Record(const wchar_t* call, LPCWSTR text) {
    g_record += std::wstring(call) + L":" + (text ? text : L"(null)") + L"\n";
    return S_OK;
}

}  // namespace

extern "C" {

// The calls received so far, one "name:argument" line each.
const wchar_t* WINAPI ToolsTestRecord() { return g_record.c_str(); }

HRESULT WINAPI BrelmToolsSetSecuteText(LPCWSTR text) { return Record(L"SetSecuteText", text); }
HRESULT WINAPI BrelmToolsSetLogFileName(LPCWSTR text) { return Record(L"SetLogFileName", text); }
HRESULT WINAPI BrelmToolsSetSettingsFileName(LPCWSTR text) { return Record(L"SetSettingsFileName", text); }
HRESULT WINAPI BrelmToolsSetTempPath(LPCWSTR text) { return Record(L"SetTempPath", text); }

// "fail..." fails with a first result set all the same; "...second..." also gives a second result.
HRESULT WINAPI BrelmToolsParseHtml(LPCWSTR html, IBrelmToolsParseHtmlEvents* events, BSTR* resultHtml,
                                   BSTR* secondResult) {
    std::wstring page(html ? html : L"");
    Record(L"ParseHtml", html);
    if (page.compare(0, 4, L"fail") == 0) {
        *resultHtml = ::SysAllocString(L"junk");
        return E_ABORT;
    }
    if (events) events->OnProgress(static_cast<long>(page.size()), static_cast<long>(page.size()));
    *resultHtml = ::SysAllocString((L"<parsed>" + page).c_str());
    if (page.find(L"second") != std::wstring::npos) *secondResult = ::SysAllocString(L"second text");
    return S_OK;
}

HRESULT WINAPI BrelmToolsTagGetAttribute(LPCWSTR tag, LPCWSTR attributeName, BSTR* value) {
    std::wstring text(tag), key = std::wstring(attributeName) + L"=\"";
    size_t start = text.find(key);
    if (start == std::wstring::npos) return S_FALSE;
    start += key.size();
    *value = ::SysAllocString(text.substr(start, text.find(L'"', start) - start).c_str());
    return S_OK;
}

HRESULT WINAPI BrelmToolsTagSetAttribute(LPWSTR, long, LPCWSTR, LPCWSTR) { return S_OK; }
HRESULT WINAPI BrelmToolsPngLoad2() { return S_OK; }
HRESULT WINAPI BrelmToolsHtmlRenderMarkdown() { return S_OK; }

}  // extern "C"
