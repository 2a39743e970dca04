// Charset names to code pages through MLang, declared charsets of HTML and XML, 8-bit text to UTF-16.
#include "charset.h"

#include <mlang.h>
#include <shlwapi.h>
#include <memory>
#include <new>
#include "win_handles.h"

namespace {

// Given as constants: MinGW's uuid library lacks IID_IMultiLanguage.
const CLSID kClsidMultiLanguage = {0x275C23E2, 0x3747, 0x11D0, {0x9F, 0xEA, 0x00, 0xAA, 0x00, 0x3F, 0x86, 0x46}};
const IID kIidMultiLanguage = {0x275C23E1, 0x3747, 0x11D0, {0x9F, 0xEA, 0x00, 0xAA, 0x00, 0x3F, 0x86, 0x46}};

const UINT kCodePageUtf8 = 65001;
const UINT kCodePageEucJp = 51932;

typedef HRESULT(WINAPI* PFN_ConvertINetMultiByteToUnicode)(LPDWORD mode, DWORD encoding, LPCSTR source,
                                                            LPINT sourceCount, LPWSTR target, LPINT targetCount);

// EUC-JP is not a MultiByteToWideChar code page everywhere: MLang converts it.
bool ConvertEucJp(const CStringA& bytes, CString& text) {
    int capacity = bytes.GetLength() + 1;
    std::unique_ptr<wchar_t[]> buffer(new (std::nothrow) wchar_t[static_cast<size_t>(capacity)]());
    if (!buffer) return false;
    HRESULT hr = E_FAIL;
    {
        CBrelmModule mlang(::LoadLibraryW(L"mlang.dll"));
        PFN_ConvertINetMultiByteToUnicode convert =
            reinterpret_cast<PFN_ConvertINetMultiByteToUnicode>(mlang.GetProc("ConvertINetMultiByteToUnicode"));
        if (!convert) return false;
        DWORD mode = 0;
        hr = convert(&mode, kCodePageEucJp, bytes.GetString(), nullptr, buffer.get(), &capacity);
    }
    if (FAILED(hr)) return false;
    buffer[static_cast<size_t>(bytes.GetLength())] = 0;
    text = buffer.get();
    return true;
}

bool ConvertWithCodePage(const CStringA& bytes, UINT codePage, CString& text) {
    int count = ::MultiByteToWideChar(codePage, 0, bytes.GetString(), -1, nullptr, 0);
    if (count <= 0) return false;
    std::unique_ptr<wchar_t[]> buffer(new (std::nothrow) wchar_t[static_cast<size_t>(count) + 1]());
    if (!buffer) return false;
    ::MultiByteToWideChar(codePage, 0, bytes.GetString(), -1, buffer.get(), count + 1);
    text = buffer.get();
    return true;
}

bool StartsWithUtf8Mark(const CStringA& bytes) {
    return bytes.GetLength() > 3 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
           static_cast<unsigned char>(bytes[1]) == 0xBB && static_cast<unsigned char>(bytes[2]) == 0xBF;
}

}  // namespace

UINT BrelmCharsetToCodePage(const wchar_t* charset) {
    CString name(charset ? charset : L"");
    if (name.CompareNoCase(L"utf8") == 0) name = L"utf-8";

    CComPtr<IMultiLanguage> multiLanguage;
    if (FAILED(::CoCreateInstance(kClsidMultiLanguage, nullptr, CLSCTX_ALL, kIidMultiLanguage,
                                  reinterpret_cast<void**>(&multiLanguage))) ||
        !multiLanguage)
        return 0;

    MIMECSETINFO info;
    ::ZeroMemory(&info, sizeof(info));
    CComBSTR bstrName(name.GetString());
    if (FAILED(multiLanguage->GetCharsetInfo(bstrName, &info))) return 0;
    return info.uiInternetEncoding;
}

CString BrelmMultiByteToCString(const CStringA& bytes, UINT codePage) {
    CStringA data(bytes);
    if (StartsWithUtf8Mark(data)) {
        data = data.Mid(3);
        codePage = kCodePageUtf8;
    }
    CString text;
    if (codePage == kCodePageEucJp) {
        if (ConvertEucJp(data, text)) return text;
    } else if (ConvertWithCodePage(data, codePage, text)) {
        return text;
    }
    return CString(data.GetString());
}

CString BrelmMultiByteToCStringByCharset(const CStringA& bytes, const wchar_t* charset) {
    return BrelmMultiByteToCString(bytes, BrelmCharsetToCodePage(charset));
}

CString BrelmGetHtmlMetaCharset(const CStringA& html) {
    const char* meta = ::StrStrIA(html.GetString(), "<meta");
    while (meta) {
        const char* close = strchr(meta, '>');
        if (!close) return CString();
        CStringA tag(meta, static_cast<int>(close - meta + 1));
        const char* found = ::StrStrIA(tag.GetString(), "charset=");
        if (!found) {
            meta = ::StrStrIA(close + 1, "<meta");
            continue;
        }
        tag = tag.Mid(static_cast<int>(found - tag.GetString()) + 8);
        tag.TrimRight('\'');
        tag.TrimLeft('\'');
        tag.TrimRight('"');
        tag.TrimLeft('"');

        int quote = tag.FindOneOf("\"'");
        int end = tag.Find('>');
        int cut = quote;
        if (cut < 0 || (end >= 0 && end < cut)) cut = end;
        if (cut < 0) return CString();

        CString value(tag.Left(cut));
        int space = value.Find(L' ');
        if (space >= 0) value = value.Left(space);
        return value;
    }
    return CString();
}

CString BrelmGetXmlEncoding(const CStringA& xml) {
    const char* start = ::StrStrIA(xml.GetString(), "<?xml");
    if (!start) return CString();
    const char* close = strchr(start, '>');
    if (!close) return CString();
    CStringA declaration(start, static_cast<int>(close - start));
    const char* found = ::StrStrIA(declaration.GetString(), "encoding=");
    if (!found) return CString();

    declaration = declaration.Mid(static_cast<int>(found - declaration.GetString()) + 9);
    declaration.Replace('"', ' ');
    declaration.Replace('\'', ' ');
    declaration.Replace('?', ' ');
    declaration.TrimRight();
    declaration.TrimLeft();

    CString value(declaration);
    int space = value.Find(L' ');
    if (space >= 0) value = value.Left(space);
    return value;
}

namespace {

BOOL DecodeDeclared(const char* bytes, CString& text, CString (*extract)(const CStringA&)) {
    CStringA data(bytes ? bytes : "");
    CString name = extract(data);
    if (name.IsEmpty())
        text = BrelmMultiByteToCString(data, BrelmGuessCodePage(data.GetString()));
    else
        text = BrelmMultiByteToCStringByCharset(data, name);
    return TRUE;
}

}  // namespace

BOOL BrelmDecodeHtmlText(const char* bytes, CString& text) {
    return DecodeDeclared(bytes, text, BrelmGetHtmlMetaCharset);
}

BOOL BrelmDecodeXmlText(const char* bytes, CString& text) {
    return DecodeDeclared(bytes, text, BrelmGetXmlEncoding);
}

UINT BrelmGuessCodePage(const char* bytes) {
    int length = bytes ? static_cast<int>(strlen(bytes)) : 0;
    UINT ansi = ::GetACP();
    if (::MultiByteToWideChar(ansi, MB_ERR_INVALID_CHARS, bytes, length, nullptr, 0) > 0) return ansi;
    if (::GetLastError() != ERROR_NO_UNICODE_TRANSLATION) return ansi;
    if (::MultiByteToWideChar(kCodePageUtf8, 0, bytes, length, nullptr, 0) > 0) return kCodePageUtf8;
    return ::GetLastError() == ERROR_NO_UNICODE_TRANSLATION ? ansi : kCodePageUtf8;
}
