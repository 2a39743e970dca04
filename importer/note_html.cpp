// Note body to an HTML file with its en-media elements rewritten as images.
#include "note_html.h"

#include <cwchar>
#include "exb_access.h"
#include "file_helpers.h"
#include "message_texts.h"
#include "text_file_load.h"
#include "text_file_save.h"

namespace {

const wchar_t kAttrDataSql[] = L"select uid, aid, data from attrs where uid=%1 and aid=%2";
const int kBodyAttributes[] = {13, 14, 15, 16, 17, 18, 19, 20, 24, 28, 29};
const unsigned __int64 kLongestRefusedBody = 16;
const wchar_t kEnMedia[] = L"<en-media";
const int kEnMediaLength = 9;

wchar_t FoldAsciiCase(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool StartsWithEnMedia(const wchar_t* tag)
{
    for (int i = 0; i < kEnMediaLength; ++i) {
        if (FoldAsciiCase(tag[i]) != kEnMedia[i])
            return false;
    }
    return true;
}

bool EqualsIgnoringAsciiCase(const wchar_t* a, const wchar_t* b)
{
    for (; *a && *b; ++a, ++b) {
        if (FoldAsciiCase(*a) != FoldAsciiCase(*b))
            return false;
    }
    return *a == *b;
}

// An element name written in capitals, or followed by something other than a
// blank ("<EN-MEDIA ...", "<en-media/>"), is an en-media element all the same.
void RenameEnMediaElement(CString& text)
{
    text.Replace(L"<en-media ", L"<img ");
    if (text.GetLength() < kEnMediaLength || !StartsWithEnMedia(text))
        return;
    wchar_t next = text.GetLength() > kEnMediaLength ? text[kEnMediaLength] : L'\0';
    if (next == L'\0' || iswspace(next) || next == L'/' || next == L'>')
        text = L"<img" + text.Mid(kEnMediaLength);
}

// Tries one body attribute: true when it gives the page, which is then in text.
bool TryBody(CBrelmToolsDll& tools, IBrelmSQLiteDatabase* database, const wchar_t* noteId, int aid,
             const CString& path, const wchar_t* folder, CString& text)
{
    CComPtr<IBrelmSQLiteRecordset> rows;
    rows.Attach(ExbQuery(database, BrelmFormatString2(kAttrDataSql, noteId, BrelmIntToStr(aid))));
    if (!rows || ExbAtEnd(rows))
        return false;
    if (!ExbFieldToFile(rows, 2, path))
        return false;
    if (BrelmGetFileSize64(path) <= kLongestRefusedBody)
        return false;

    text.Empty();
    BrelmLoadTextFromFile(path, text, BRELM_TEXT_UTF8);
    if (text.Find(L"&apos;") >= 0) {
        text.Replace(L"&apos;", L"&#39;");
        BrelmSaveUnicodeTextToFile(path, text);
    }

    CExbResourceArray resources;
    if (!ReadNoteResources(database, noteId, folder, resources))
        return false;
    if (resources.empty())
        return true;
    if (text.Find(L"application/vnd.evernote.ink") >= 0)
        return false;

    CProcessEnMediaEvents events(&tools, &resources);
    CString scratch;
    return SUCCEEDED(tools.ParseHtml(text, &events, text, scratch));
}

}  // namespace

long __stdcall CProcessEnMediaEvents::OnTag(wchar_t* tag, long bufferSize)
{
    if (!tag || bufferSize <= 0 || !StartsWithEnMedia(tag) || !m_pResources)
        return 0;
    // Called from inside the tools library: nothing may be thrown back into it.
    try {
        CString hash = m_pToolsDll ? m_pToolsDll->TagGetAttribute(tag, L"hash") : CString();
        const CExbResource* match = nullptr;
        for (const CExbResource& resource : *m_pResources) {
            if (EqualsIgnoringAsciiCase(resource.m_strMD5, hash)) {
                match = &resource;
                break;
            }
        }
        if (!match)
            return 0;

        if (m_pToolsDll && m_pToolsDll->m_pfnTagSetAttribute)
            m_pToolsDll->m_pfnTagSetAttribute(tag, bufferSize, L"src", match->m_strFileName);

        CString text(tag);
        RenameEnMediaElement(text);
        if (text.GetLength() < bufferSize)
            wcscpy_s(tag, static_cast<size_t>(bufferSize), text);
    } catch (...) {
    }
    return 0;
}

long __stdcall CProcessEnMediaEvents::OnProgress(long, long)
{
    return 0;
}

long __stdcall CProcessEnMediaEvents::OnParseError(long)
{
    return 0;
}

long __stdcall CProcessEnMediaEvents::ContinueParse()
{
    return 1;
}

CString BuildNoteHtmlFile(CBrelmToolsDll& tools, IBrelmSQLiteDatabase* database, const wchar_t* noteId,
                          const wchar_t* folder)
{
    CString path = CString(folder) + noteId + L".htm";
    if (path.GetLength() > kExbLongestPath) {
        LogExbPathTooLong(path);
        return CString();
    }
    for (int aid : kBodyAttributes) {
        CString text;
        if (TryBody(tools, database, noteId, aid, path, folder, text)) {
            BrelmSaveUnicodeTextToFile(path, text);
            return path;
        }
    }
    return CString();
}
