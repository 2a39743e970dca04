// Binding of the tools library BrelmTools.dll: load, 77 lookups by name, the four setters, two wrappers.
#include "tools_dll.h"

#include "file_helpers.h"
#include "folders.h"
#include "global.h"
#include "message_texts.h"
#include "settings.h"
#include "win_handles.h"

namespace {

template <typename Pointer>
void BindExport(HMODULE module, Pointer& field, const char* name) {
    field = reinterpret_cast<Pointer>(::GetProcAddress(module, name));
}

}  // namespace

// Each lookup stores into the field of its own name.
#define BRELM_BIND_EXPORT(name) BindExport(m_hModule, m_pfn##name, "BrelmTools" #name)

CBrelmToolsDll::CBrelmToolsDll(const wchar_t* logFileName, const wchar_t* settingsFileName,
                               const wchar_t* dllFolder) {
    CString folder(dllFolder ? dllFolder : L"");
    if (folder.IsEmpty()) folder = BrelmGetAppPath();
    BrelmAppendBackslash(folder);
    ::SetCurrentDirectoryW(folder);

    CString path = folder + L"BrelmTools.dll";
    m_hModule = ::LoadLibraryW(path);
    if (!m_hModule) {
        DWORD code = ::GetLastError();
        IBrelmGlobal* global = BrelmGetKMGlobal();
        global->WriteLog(BrelmFormatString1(L"ErrorCode=%1", BrelmIntToStr(static_cast<int>(code))), 0);
        global->WriteLog(BrelmFormatString1(L"Failed to load BrelmTools.dll: %1", path), 0);
        return;
    }
    // The destructor does not run for a constructor left by an exception: free the load here.
    try {
        BindExports();
        if (m_pfnSetSecuteText) m_pfnSetSecuteText(BrelmGetBuiltInSettingsText());
        if (logFileName && m_pfnSetLogFileName) m_pfnSetLogFileName(logFileName);
        if (settingsFileName && m_pfnSetSettingsFileName) m_pfnSetSettingsFileName(settingsFileName);
        CString tempFolder = BrelmGetKMGlobal()->GetTempFolder();
        if (m_pfnSetTempPath) m_pfnSetTempPath(tempFolder);
    } catch (...) {
        ::FreeLibrary(m_hModule);
        m_hModule = nullptr;
        throw;
    }
}

CBrelmToolsDll::~CBrelmToolsDll() {
    if (m_hModule) {
        ::FreeLibrary(m_hModule);
        m_hModule = nullptr;
    }
}

void CBrelmToolsDll::BindExports() {
    BRELM_BIND_EXPORT(SetLogFileName);
    BRELM_BIND_EXPORT(SetTempPath);
    BRELM_BIND_EXPORT(SetSettingsFileName);
    BRELM_BIND_EXPORT(SetSkin);
    BRELM_BIND_EXPORT(SetDataStorePath);
    BRELM_BIND_EXPORT(Document2Html);
    BRELM_BIND_EXPORT(Document2Mht);
    BRELM_BIND_EXPORT(Document2Zip);
    BRELM_BIND_EXPORT(CompressHtml2Zip);
    BRELM_BIND_EXPORT(Html2Html);
    BRELM_BIND_EXPORT(Zip2Html);
    BRELM_BIND_EXPORT(HtmlGetContent);
    BRELM_BIND_EXPORT(Html2Text);
    BRELM_BIND_EXPORT(HtmlFormatCss);
    BRELM_BIND_EXPORT(Html2TextAndImage);
    BRELM_BIND_EXPORT(RtfText2Html);
    BRELM_BIND_EXPORT(RtfFile2Html);
    BRELM_BIND_EXPORT(RtfText2Text);
    BRELM_BIND_EXPORT(RtfFile2Text);
    BRELM_BIND_EXPORT(ConvertToHtmlFile);
    BRELM_BIND_EXPORT(ConvertToHtmlFile2);
    BRELM_BIND_EXPORT(HtmlContentRulesManagerDlg);
    BRELM_BIND_EXPORT(ExtractTags);
    BRELM_BIND_EXPORT(EnumTableCells);
    BRELM_BIND_EXPORT(URLDownloadToTempFile);
    BRELM_BIND_EXPORT(URLDownloadGetHtmlText);
    BRELM_BIND_EXPORT(EnumLinks);
    BRELM_BIND_EXPORT(LoadUnicodeTextFromFile);
    BRELM_BIND_EXPORT(TagGetAttribute);
    BRELM_BIND_EXPORT(TagSetAttribute);
    BRELM_BIND_EXPORT(DocumentGetSelection);
    BRELM_BIND_EXPORT(ShowBubbleWindow);
    BRELM_BIND_EXPORT(ShowBubbleWindowEx);
    BRELM_BIND_EXPORT(ShowBubbleWindow2);
    BRELM_BIND_EXPORT(ShowBubbleWindow2Ex);
    BRELM_BIND_EXPORT(RunScript);
    BRELM_BIND_EXPORT(RunScript2);
    BRELM_BIND_EXPORT(ParseHtml);
    BRELM_BIND_EXPORT(Encrypt_AES256_CBC_PKCS5);
    BRELM_BIND_EXPORT(Decrypt_AES256_CBC_PKCS5);
    BRELM_BIND_EXPORT(Encrypt_RSA);
    BRELM_BIND_EXPORT(Decrypt_RSA);
    BRELM_BIND_EXPORT(GenerateKeyPair_RSA);
    BRELM_BIND_EXPORT(Html2Mht);
    BRELM_BIND_EXPORT(Mht2Html);
    BRELM_BIND_EXPORT(LoadMime);
    BRELM_BIND_EXPORT(CreateMimeMessageCreator);
    BRELM_BIND_EXPORT(PDF2Html);
    BRELM_BIND_EXPORT(PDF2Text);
    BRELM_BIND_EXPORT(CreateHtmlEditor);
    BRELM_BIND_EXPORT(ScreenCapture);
    BRELM_BIND_EXPORT(ScreenCaptureToFile);
    BRELM_BIND_EXPORT(CreateHtmlDocumentByHtmlText);
    BRELM_BIND_EXPORT(CreateHtmlDocumentByHtmlFileName);
    BRELM_BIND_EXPORT(HtmlDocumentToHtmlResourceFile);
    BRELM_BIND_EXPORT(HtmlResourceFileGetExtInfo);
    BRELM_BIND_EXPORT(HtmlResourceFileToHtmlDocument);
    BRELM_BIND_EXPORT(HtmlResourceFileClearFiles);
    BRELM_BIND_EXPORT(PublishHtml);
    BRELM_BIND_EXPORT(SetSecuteText);
    BRELM_BIND_EXPORT(HtmlResource2HtmlResource);
    BRELM_BIND_EXPORT(CreateBubbleWindow2);
    BRELM_BIND_EXPORT(SetBubbleWindowText2);
    BRELM_BIND_EXPORT(SetBubbleWindowParams2);
    BRELM_BIND_EXPORT(AnimateBubbleWindow);
    BRELM_BIND_EXPORT(CloseBubbleWindow2);
    BRELM_BIND_EXPORT(Compress7z);
    BRELM_BIND_EXPORT(Uncompress7z);
    BRELM_BIND_EXPORT(Html2Image);
    BRELM_BIND_EXPORT(HtmlDocument2Image);
    BRELM_BIND_EXPORT(Chinese2PinYinEx);
    BRELM_BIND_EXPORT(PngLoad);
    BRELM_BIND_EXPORT(HtmlRenderMarkdown);
    BRELM_BIND_EXPORT(HtmlRenderMathJax);
    BRELM_BIND_EXPORT(PngLoad2);
    BRELM_BIND_EXPORT(PngFree);
    BRELM_BIND_EXPORT(ExecuteRunableInDlg);
}

#undef BRELM_BIND_EXPORT

HRESULT CBrelmToolsDll::ParseHtml(const wchar_t* html, IBrelmToolsParseHtmlEvents* events, CString& resultHtml,
                                  CString& secondResult) {
    if (!m_pfnParseHtml) return E_FAIL;
    CComBSTR first;
    CComBSTR second;
    HRESULT hr = m_pfnParseHtml(html, events, &first, &second);
    // Assigned only now: html may be the very text of resultHtml.
    if (SUCCEEDED(hr)) {
        resultHtml = BrelmBstrText(first);
        secondResult = BrelmBstrText(second);
    }
    return hr;
}

CString CBrelmToolsDll::TagGetAttribute(const wchar_t* tag, const wchar_t* attributeName) {
    CComBSTR value;
    if (m_pfnTagGetAttribute) m_pfnTagGetAttribute(tag, attributeName, &value);
    return BrelmBstrText(value);
}
