// Resources and attachments of a note: records, and their files in the working folder.
#pragma once

#include <vector>
#include "afx.h"
#include "brelm_sqlite_interfaces.h"

class CExbResource {
public:
    CExbResource() : m_nWidth(0), m_nHeight(0) {}

    CString m_strNote;
    CString m_strUid;
    int m_nWidth;
    int m_nHeight;
    CString m_strFileName;   // the file written for this resource, in the working folder
    CString m_strMD5;        // 32 lowercase hex digits; empty for attachments
    CString m_strSourceURL;  // attachments only
};

typedef std::vector<CExbResource> CExbResourceArray;

// The longest whole path of a working file: the plain file calls of Windows open nothing
// longer (MAX_PATH with its terminator). Wine does, so a write that succeeds here proves nothing.
const int kExbLongestPath = MAX_PATH - 1;
// The log line of a working file left unwritten because its path would be too long.
void LogExbPathTooLong(const CString& path);

// Writes every resource of the note that has bytes in the resources table to
// folder and appends a record per file written. FALSE only when the list query fails.
// Names are cut so that folder + name stays shorter than MAX_PATH; a resource for
// which no name fits is left out (a log line).
BOOL ReadNoteResources(IBrelmSQLiteDatabase* database, const wchar_t* noteId, const wchar_t* folder,
                       CExbResourceArray& out);
// The same for the note's attachments (by flag or by mime type), whose bytes may
// also come from the attrs table. A resource gets the same file name from both.
BOOL ReadNoteAttachments(IBrelmSQLiteDatabase* database, const wchar_t* noteId, const wchar_t* folder,
                         CExbResourceArray& out);
// Writes a resource's bytes to path from resources.data, else attrs 35, else attrs 40.
BOOL SaveResourceData(IBrelmSQLiteDatabase* database, const wchar_t* resourceId, const wchar_t* path);
