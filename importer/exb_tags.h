// Tags of the Evernote file: records, the map by lower-cased name, and their readers.
#pragma once

#include <map>
#include <vector>
#include "afx.h"
#include "brelm_sqlite_interfaces.h"

class CExbTag {
public:
    CExbTag() {}

    CString m_strName;       // separators replaced by "-"
    CString m_strUid;        // items.uid as decimal text
    CString m_strParentUid;  // empty at the top level
};

typedef std::vector<CExbTag> CExbTagArray;

// Keyed by the name with only A-Z lower-cased; keys ordered by UTF-16 code units.
typedef std::map<CString, CExbTag> CExbTagMap;

// FALSE only when the tag list cannot be queried; a later tag overwrites an
// earlier one of the same key.
BOOL ReadExbTags(IBrelmSQLiteDatabase* database, CExbTagMap& map);
CString ExbTagName(IBrelmSQLiteDatabase* database, const wchar_t* tagId);
CString ExbTagParentId(IBrelmSQLiteDatabase* database, const wchar_t* tagId);
CString ExbTagParentIdFallback(IBrelmSQLiteDatabase* database, const wchar_t* tagId);
