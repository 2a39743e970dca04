// The SQLite component of the core library: a database object made by the
// exported factory, and forward-only recordsets that its queries yield.
#pragma once

#include "brelm_km_interfaces.h"

struct IBrelmSQLiteDatabase : public IDispatch {
    // Opens the file read-only; fails at once when it is not an SQLite database.
    virtual HRESULT STDMETHODCALLTYPE Open(BSTR path) = 0;
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;
    // Runs exactly one statement; result answers for IBrelmSQLiteRecordset and
    // stands on the first row. flags is reserved (0).
    virtual HRESULT STDMETHODCALLTYPE Query(BSTR sql, long flags, IDispatch** result) = 0;
};
BRELM_DECLARE_IID(IBrelmSQLiteDatabase, 0xE4F770BE, 0x510E, 0x47DE, 0x8F, 0x5C, 0x51, 0x2E, 0xF6, 0xF6, 0x7B, 0x75);

struct IBrelmSQLiteRecordset : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_FieldCount(long* count) = 0;
    // *end becomes VARIANT_TRUE when there is no current row.
    virtual HRESULT STDMETHODCALLTYPE get_EOF(VARIANT_BOOL* end) = 0;
    // Text as UTF-16, numbers as decimal text, NULL as empty text.
    virtual HRESULT STDMETHODCALLTYPE GetFieldValue(long column, BSTR* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFieldName(long column, BSTR* name) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFieldType(long column, long* type) = 0;
    virtual HRESULT STDMETHODCALLTYPE IsFieldNull(long column, VARIANT_BOOL* isNull) = 0;
    virtual HRESULT STDMETHODCALLTYPE MoveNext() = 0;
    // Writes the column's bytes into the IStream held by stream (VT_UNKNOWN) and
    // leaves the stream's position at the first of them.
    virtual HRESULT STDMETHODCALLTYPE GetFieldData(long column, VARIANT stream) = 0;
};
BRELM_DECLARE_IID(IBrelmSQLiteRecordset, 0x211D409B, 0x885C, 0x45C0, 0xB2, 0x73, 0xBC, 0x2F, 0x9A, 0x35, 0x37, 0xF1);

// Exported by the core library by this name.
typedef HRESULT(WINAPI* PFN_BrelmKMCreateSQLiteDatabase)(IBrelmSQLiteDatabase** database);
