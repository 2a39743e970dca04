// The note's HTML file: body attribute chosen, mended, en-media elements made img.
#pragma once

#include "afx.h"
#include "brelm_sqlite_interfaces.h"
#include "brelm_tools_api.h"
#include "exb_resources.h"
#include "tools_dll.h"

// Parser events of one page: an en-media element whose hash names one of the
// note's resources becomes an img element pointing at that resource's file.
class CProcessEnMediaEvents : public IBrelmToolsParseHtmlEvents {
public:
    CProcessEnMediaEvents(CBrelmToolsDll* toolsDll, CExbResourceArray* resources)
        : m_pToolsDll(toolsDll), m_pResources(resources) {}
    virtual ~CProcessEnMediaEvents() {}

    long __stdcall OnTag(wchar_t* tag, long bufferSize) override;
    long __stdcall OnProgress(long done, long total) override;
    long __stdcall OnParseError(long offset) override;
    long __stdcall ContinueParse() override;

    CBrelmToolsDll* m_pToolsDll;
    CExbResourceArray* m_pResources;
};

// Writes the note's page to folder + noteId + ".htm" as UTF-16 with a byte-order
// mark, its resource files beside it, and returns that path; empty when none of
// the body attributes gives a usable page.
CString BuildNoteHtmlFile(CBrelmToolsDll& tools, IBrelmSQLiteDatabase* database, const wchar_t* noteId,
                          const wchar_t* folder);
