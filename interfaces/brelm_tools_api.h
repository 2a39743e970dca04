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
typedef HRESULT(WINAPI* PFN_BrelmToolsParseHtml)(LPCWSTR html, IBrelmToolsParseHtmlEvents* events,
                                                 BSTR* resultHtml, BSTR* secondResult);
typedef HRESULT(WINAPI* PFN_BrelmToolsTagGetAttribute)(LPCWSTR tag, LPCWSTR attributeName, BSTR* value);
typedef HRESULT(WINAPI* PFN_BrelmToolsTagSetAttribute)(LPWSTR tagBuffer, long bufferSize,
                                                       LPCWSTR attributeName, LPCWSTR value);

// The controls library's data-store chooser.
typedef HRESULT(WINAPI* PFN_BrelmKMSelectDataStore)(LPCWSTR registryFolder, LPCWSTR portableFolder,
                                                    BSTR* chosenFolder);
