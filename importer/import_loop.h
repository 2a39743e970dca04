// The import loop's note record and the pure steps it takes on a note's texts and dates.
#pragma once

#include "afx.h"
#include "brelm_sqlite_interfaces.h"
#include "string_helpers.h"

// One row of note_attr, in the order of the note query's columns.
class CExbNote {
public:
    CExbNote() : m_dtCreated(0), m_dtUpdated(0) {}

    CString m_strUid;
    CString m_strTitle;
    CString m_strAuthor;
    CString m_strNotebook;
    CString m_strTags;
    double m_dtCreated;  // .exb day count; 0 when missing
    double m_dtUpdated;
    CString m_strSourceURL;
    CString m_strLatitude;
    CString m_strLongitude;
    CString m_strNotebookUid;
};

// What one press of OK works with for every note.
struct CExbImportRun {
    IBrelmDatabase* database;
    IBrelmSQLiteDatabase* exb;
    CString workFolder;     // the product's temporary folder, with its separator
    BOOL evernoteFolder;    // notebooks go under "/Evernote"
    int rowCount;           // note rows read so far
};

// The note's tags: split at ",", each trimmed, "\", "/", "," and ";" made "-".
void CleanExbNoteTags(const CString& tags, CBrelmStringArray& list);

// "/" + parent level + "/" + notebook + "/" (the parent level left out when empty),
// under "/Evernote" when asked.
CString BuildExbFolderLocation(const CString& parentLevel, const CString& notebook, BOOL evernoteFolder);

// The document's dates from the note's: a missing creation date (below 0.001 either
// way) is now, already local; a missing modification date is the creation date.
// Dates from the file are converted to local time.
void GetExbNoteDates(double created, double updated, DATE now, DATE& documentCreated, DATE& documentModified);
