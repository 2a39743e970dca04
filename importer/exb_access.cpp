// Queries and column readers over the core library's SQLite objects.
#include "exb_access.h"

#include <cstdlib>
#include "charset.h"
#include "file_helpers.h"
#include "message_boxes.h"
#include "message_texts.h"
#include "resource.h"
#include "streams.h"

namespace {

const wchar_t kAttrTextSql[] = L"select data from attrs where uid=%1 and aid=%2";

// A stream on movable global memory, freed with the stream; null when it cannot be made.
CComPtr<IStream> NewMemoryStream()
{
    CComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, &stream)))
        stream.Release();
    return stream;
}

// Asks the component to write the column's bytes into stream.
bool FetchFieldData(IBrelmSQLiteRecordset* rows, long column, IStream* stream)
{
    VARIANT holder;
    ::VariantInit(&holder);
    holder.vt = VT_UNKNOWN;
    holder.punkVal = stream;
    stream->AddRef();
    HRESULT hr = rows ? rows->GetFieldData(column, holder) : E_POINTER;
    ::VariantClear(&holder);
    if (FAILED(hr)) {
        BrelmMessageBoxByID(IDS_CANNOT_GET_FIELD_DATA);
        return false;
    }
    return true;
}

}  // namespace

IBrelmSQLiteRecordset* ExbQuery(IBrelmSQLiteDatabase* database, const wchar_t* sql)
{
    CComBSTR text(sql ? sql : L"");
    CComPtr<IDispatch> result;
    HRESULT hr = database ? database->Query(text, 0, &result) : E_POINTER;
    text.Empty();
    if (SUCCEEDED(hr) && result) {
        IBrelmSQLiteRecordset* rows = nullptr;
        if (FAILED(result->QueryInterface(IID_IBrelmSQLiteRecordset, reinterpret_cast<void**>(&rows))))
            rows = nullptr;
        return rows;
    }
    BrelmMessageBoxByID1(IDS_CANNOT_QUERY_DATABASE, sql);
    return nullptr;
}

CString ExbFieldText(IBrelmSQLiteRecordset* rows, long column)
{
    CComBSTR value;
    HRESULT hr = rows ? rows->GetFieldValue(column, &value) : E_POINTER;
    if (FAILED(hr)) {
        BrelmMessageBoxByID(IDS_CANNOT_GET_FIELD_VALUE);
        return CString();
    }
    // A value ends at its first zero character: what follows it would be invisible to
    // every later check yet still count as part of the text.
    return CString(value.m_str);
}

int ExbFieldInt(IBrelmSQLiteRecordset* rows, long column)
{
    return _wtoi(ExbFieldText(rows, column));
}

double ExbFieldDouble(IBrelmSQLiteRecordset* rows, long column)
{
    CString text = ExbFieldText(rows, column);
    return text.IsEmpty() ? 0.0 : _wtof(text);
}

IStream* ExbFieldStream(IBrelmSQLiteRecordset* rows, long column)
{
    CComPtr<IStream> stream = NewMemoryStream();
    if (!stream || !FetchFieldData(rows, column, stream))
        return nullptr;
    return stream.Detach();
}

BOOL ExbFieldToFile(IBrelmSQLiteRecordset* rows, long column, const wchar_t* path)
{
    CComPtr<IStream> stream;
    stream.Attach(ExbFieldStream(rows, column));
    if (!stream)
        return FALSE;
    BrelmCreateDirectories(BrelmExtractFilePath(path));
    return BrelmSaveStreamToFile(stream, path);
}

CString ExbFieldMd5Hex(IBrelmSQLiteRecordset* rows)
{
    CComPtr<IStream> stream = NewMemoryStream();
    if (!stream)
        return CString();
    if (!FetchFieldData(rows, 5, stream))
        return CString();
    BYTE digest[16] = {};
    ULONG read = 0;
    stream->Read(digest, sizeof(digest), &read);
    CString hex;
    hex.Format(L"%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x%02x", digest[0], digest[1],
               digest[2], digest[3], digest[4], digest[5], digest[6], digest[7], digest[8], digest[9],
               digest[10], digest[11], digest[12], digest[13], digest[14], digest[15]);
    return hex;
}

CString ExbFieldUtf8Text(IBrelmSQLiteRecordset* rows)
{
    CComPtr<IStream> stream;
    stream.Attach(ExbFieldStream(rows, 0));
    if (!stream)
        return CString();
    CStringA bytes;
    if (!BrelmReadStreamToStringA(stream, bytes))
        return CString();
    return BrelmMultiByteToCString(bytes, CP_UTF8);
}

int ExbFieldInt32(IBrelmSQLiteRecordset* rows)
{
    CComPtr<IStream> stream;
    stream.Attach(ExbFieldStream(rows, 0));
    if (!stream)
        return 0;
    // Asking for one byte more tells a longer blob from a 4-byte one.
    BYTE bytes[5] = {};
    ULONG read = 0;
    if (FAILED(stream->Read(bytes, sizeof(bytes), &read)) || read != 4)
        return 0;
    UINT32 value = static_cast<UINT32>(bytes[0]) | (static_cast<UINT32>(bytes[1]) << 8) |
                   (static_cast<UINT32>(bytes[2]) << 16) | (static_cast<UINT32>(bytes[3]) << 24);
    return static_cast<int>(value);
}

bool ExbAtEnd(IBrelmSQLiteRecordset* rows)
{
    if (!rows)
        return true;
    VARIANT_BOOL end = 0;
    rows->get_EOF(&end);
    return end != 0;
}

bool ExbMoveNext(IBrelmSQLiteRecordset* rows)
{
    return rows && SUCCEEDED(rows->MoveNext());
}

BOOL IsExbItemId(const wchar_t* text)
{
    if (!text)
        return FALSE;
    if (*text == L'-')
        ++text;
    if (!*text)
        return FALSE;
    for (; *text; ++text) {
        if (*text < L'0' || *text > L'9')
            return FALSE;
    }
    return TRUE;
}

CString ExbAttrText(IBrelmSQLiteDatabase* database, const wchar_t* itemId, int aid)
{
    CString sql = BrelmFormatString2(kAttrTextSql, itemId, BrelmIntToStr(aid));
    CComPtr<IBrelmSQLiteRecordset> rows;
    rows.Attach(ExbQuery(database, sql));
    if (!rows || ExbAtEnd(rows))
        return CString();
    return ExbFieldUtf8Text(rows);
}

CString ExbNotebookName(IBrelmSQLiteDatabase* database, const wchar_t* notebookId)
{
    CString name = ExbAttrText(database, notebookId, 46);
    if (!name.IsEmpty())
        return name;
    return ExbAttrText(database, notebookId, 0);
}
