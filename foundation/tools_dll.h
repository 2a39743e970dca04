// Binding of the tools library BrelmTools.dll by export names.
#pragma once

#include "afx.h"
#include "brelm_tools_api.h"

class CBrelmToolsDll {
public:
    CBrelmToolsDll(const wchar_t* logFileName, const wchar_t* settingsFileName, const wchar_t* dllFolder);
    virtual ~CBrelmToolsDll();

    HRESULT ParseHtml(const wchar_t* html, IBrelmToolsParseHtmlEvents* events, CString& resultHtml,
                      CString& secondResult);
    CString TagGetAttribute(const wchar_t* tag, const wchar_t* attributeName);

    HMODULE m_hModule = nullptr;
    // One pointer per export, null when the library or the export is missing. The program calls
    // the typed ones; the others are only looked up.
    PFN_BrelmToolsSetText m_pfnSetLogFileName = nullptr;
    PFN_BrelmToolsSetText m_pfnSetTempPath = nullptr;
    PFN_BrelmToolsSetText m_pfnSetSettingsFileName = nullptr;
    FARPROC m_pfnSetSkin = nullptr;
    FARPROC m_pfnSetDataStorePath = nullptr;
    FARPROC m_pfnDocument2Html = nullptr;
    FARPROC m_pfnDocument2Mht = nullptr;
    FARPROC m_pfnDocument2Zip = nullptr;
    FARPROC m_pfnCompressHtml2Zip = nullptr;
    FARPROC m_pfnHtml2Html = nullptr;
    FARPROC m_pfnZip2Html = nullptr;
    FARPROC m_pfnHtmlGetContent = nullptr;
    FARPROC m_pfnHtml2Text = nullptr;
    FARPROC m_pfnHtmlFormatCss = nullptr;
    FARPROC m_pfnHtml2TextAndImage = nullptr;
    FARPROC m_pfnRtfText2Html = nullptr;
    FARPROC m_pfnRtfFile2Html = nullptr;
    FARPROC m_pfnRtfText2Text = nullptr;
    FARPROC m_pfnRtfFile2Text = nullptr;
    FARPROC m_pfnConvertToHtmlFile = nullptr;
    FARPROC m_pfnConvertToHtmlFile2 = nullptr;
    FARPROC m_pfnHtmlContentRulesManagerDlg = nullptr;
    FARPROC m_pfnExtractTags = nullptr;
    FARPROC m_pfnEnumTableCells = nullptr;
    FARPROC m_pfnURLDownloadToTempFile = nullptr;
    FARPROC m_pfnURLDownloadGetHtmlText = nullptr;
    FARPROC m_pfnEnumLinks = nullptr;
    FARPROC m_pfnLoadUnicodeTextFromFile = nullptr;
    PFN_BrelmToolsTagGetAttribute m_pfnTagGetAttribute = nullptr;
    PFN_BrelmToolsTagSetAttribute m_pfnTagSetAttribute = nullptr;
    FARPROC m_pfnDocumentGetSelection = nullptr;
    FARPROC m_pfnShowBubbleWindow = nullptr;
    FARPROC m_pfnShowBubbleWindowEx = nullptr;
    FARPROC m_pfnShowBubbleWindow2 = nullptr;
    FARPROC m_pfnShowBubbleWindow2Ex = nullptr;
    FARPROC m_pfnRunScript = nullptr;
    FARPROC m_pfnRunScript2 = nullptr;
    PFN_BrelmToolsParseHtml m_pfnParseHtml = nullptr;
    FARPROC m_pfnEncrypt_AES256_CBC_PKCS5 = nullptr;
    FARPROC m_pfnDecrypt_AES256_CBC_PKCS5 = nullptr;
    FARPROC m_pfnEncrypt_RSA = nullptr;
    FARPROC m_pfnDecrypt_RSA = nullptr;
    FARPROC m_pfnGenerateKeyPair_RSA = nullptr;
    FARPROC m_pfnHtml2Mht = nullptr;
    FARPROC m_pfnMht2Html = nullptr;
    FARPROC m_pfnLoadMime = nullptr;
    FARPROC m_pfnCreateMimeMessageCreator = nullptr;
    FARPROC m_pfnPDF2Html = nullptr;
    FARPROC m_pfnPDF2Text = nullptr;
    FARPROC m_pfnCreateHtmlEditor = nullptr;
    FARPROC m_pfnScreenCapture = nullptr;
    FARPROC m_pfnScreenCaptureToFile = nullptr;
    FARPROC m_pfnCreateHtmlDocumentByHtmlText = nullptr;
    FARPROC m_pfnCreateHtmlDocumentByHtmlFileName = nullptr;
    FARPROC m_pfnHtmlDocumentToHtmlResourceFile = nullptr;
    FARPROC m_pfnHtmlResourceFileGetExtInfo = nullptr;
    FARPROC m_pfnHtmlResourceFileToHtmlDocument = nullptr;
    FARPROC m_pfnHtmlResourceFileClearFiles = nullptr;
    FARPROC m_pfnPublishHtml = nullptr;
    PFN_BrelmToolsSetText m_pfnSetSecuteText = nullptr;
    FARPROC m_pfnHtmlResource2HtmlResource = nullptr;
    FARPROC m_pfnCreateBubbleWindow2 = nullptr;
    FARPROC m_pfnSetBubbleWindowText2 = nullptr;
    FARPROC m_pfnSetBubbleWindowParams2 = nullptr;
    FARPROC m_pfnAnimateBubbleWindow = nullptr;
    FARPROC m_pfnCloseBubbleWindow2 = nullptr;
    FARPROC m_pfnCompress7z = nullptr;
    FARPROC m_pfnUncompress7z = nullptr;
    FARPROC m_pfnHtml2Image = nullptr;
    FARPROC m_pfnHtmlDocument2Image = nullptr;
    FARPROC m_pfnChinese2PinYinEx = nullptr;
    FARPROC m_pfnPngLoad = nullptr;
    FARPROC m_pfnPngLoad2 = nullptr;
    FARPROC m_pfnPngFree = nullptr;
    FARPROC m_pfnHtmlRenderMarkdown = nullptr;
    FARPROC m_pfnHtmlRenderMathJax = nullptr;
    FARPROC m_pfnExecuteRunableInDlg = nullptr;

private:
    void BindExports();

    CBrelmToolsDll(const CBrelmToolsDll&) = delete;
    CBrelmToolsDll& operator=(const CBrelmToolsDll&) = delete;
};
