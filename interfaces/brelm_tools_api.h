// The tools library's exports that the program calls, and the callback
// interface its HTML parser drives. Shared by the program and the library.
#pragma once

#include <windows.h>
#include <oleauto.h>

// Events of one BrelmToolsParseHtml run, called synchronously inside it.
struct IBrelmToolsParseHtmlEvents {
    // tag holds one tag's text ("<" up to ">") in a writable buffer of bufferSize
    // wide characters, terminator included; whatever the buffer holds when the
    // call returns is the tag's new text. The result is not used.
    virtual long __stdcall OnTag(wchar_t* tag, long bufferSize) = 0;
    // Progress: done characters of total characters of the page have been parsed.
    virtual long __stdcall OnProgress(long done, long total) = 0;
    // The page has a construct that is not closed at this character offset; the
    // rest of the page is copied as text. The result is not used.
    virtual long __stdcall OnParseError(long offset) = 0;
    // Asked after each tag: 0 stops the parse, which then fails with E_ABORT.
    virtual long __stdcall ContinueParse() = 0;
};

typedef HRESULT(WINAPI* PFN_BrelmToolsSetText)(LPCWSTR text);
// ParseHtml's first result is the page with each tag as OnTag left it and every
// other character unchanged; its second is the text of the page's first <title>
// element as written (tags inside it dropped), null when there is none. On
// failure both stay null and one line goes to the log file set by
// BrelmToolsSetLogFileName. TagGetAttribute gives the value as written with only
// "&quot;" and "&amp;" decoded, or S_FALSE and null when the attribute is
// missing. TagSetAttribute writes name="value" with '"' and '&' escaped as those
// entities; a result that would not fit fails and leaves the buffer unchanged.
typedef HRESULT(WINAPI* PFN_BrelmToolsParseHtml)(LPCWSTR html, IBrelmToolsParseHtmlEvents* events,
                                                 BSTR* resultHtml, BSTR* secondResult);
typedef HRESULT(WINAPI* PFN_BrelmToolsTagGetAttribute)(LPCWSTR tag, LPCWSTR attributeName, BSTR* value);
typedef HRESULT(WINAPI* PFN_BrelmToolsTagSetAttribute)(LPWSTR tagBuffer, long bufferSize,
                                                       LPCWSTR attributeName, LPCWSTR value);

// The controls library's data-store chooser.
typedef HRESULT(WINAPI* PFN_BrelmKMSelectDataStore)(LPCWSTR registryFolder, LPCWSTR portableFolder,
                                                    BSTR* chosenFolder);
