// Reading the Evernote notebook file through the core library's SQLite objects.
#pragma once

#include <objidl.h>
#include "afx.h"
#include "brelm_sqlite_interfaces.h"

// Runs sql; the rows come back with one reference for the caller, or null after
// message 106 (a failed query) or silently (no recordset interface).
IBrelmSQLiteRecordset* ExbQuery(IBrelmSQLiteDatabase* database, const wchar_t* sql);

// Column readers of the current row; a failed read shows its message (107 or 108)
// and gives an empty or zero value.
CString ExbFieldText(IBrelmSQLiteRecordset* rows, long column);
int ExbFieldInt(IBrelmSQLiteRecordset* rows, long column);
double ExbFieldDouble(IBrelmSQLiteRecordset* rows, long column);
IStream* ExbFieldStream(IBrelmSQLiteRecordset* rows, long column);
BOOL ExbFieldToFile(IBrelmSQLiteRecordset* rows, long column, const wchar_t* path);
// The md5 column (5) as 32 lowercase hex digits, short digests padded with zeros.
CString ExbFieldMd5Hex(IBrelmSQLiteRecordset* rows);
// Column 0 as UTF-8 text, cut at the first zero byte.
CString ExbFieldUtf8Text(IBrelmSQLiteRecordset* rows);
// Column 0 as a little-endian 32-bit integer; 0 unless it holds exactly 4 bytes.
int ExbFieldInt32(IBrelmSQLiteRecordset* rows);

// The UTF-8 text of attribute aid of an item; empty when it has none.
CString ExbAttrText(IBrelmSQLiteDatabase* database, const wchar_t* itemId, int aid);
// A notebook's group name (attribute 46), else its own name (attribute 0).
CString ExbNotebookName(IBrelmSQLiteDatabase* database, const wchar_t* notebookId);

// Whether rows has no current row (also for null rows).
bool ExbAtEnd(IBrelmSQLiteRecordset* rows);
// Moves to the next row; false when the move failed, so a reader loop cannot stand on one row forever.
bool ExbMoveNext(IBrelmSQLiteRecordset* rows);

// Whether text can go into the reader's SQL and file names as an item id: an
// integer in decimal, nothing else.
BOOL IsExbItemId(const wchar_t* text);
