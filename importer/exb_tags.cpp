// Reading the tags of the Evernote file into a map by lower-cased name.
#include "exb_tags.h"

#include "exb_access.h"
#include "file_helpers.h"
#include "message_texts.h"

namespace {

const wchar_t kTagListSql[] = L"select uid from items where type=2";
const wchar_t kTagNameSql[] = L"select data from attrs where uid=%1 and aid=0 and afl=2";
const wchar_t kTagParentSql[] = L"select data from attrs where uid=%1 and aid=28 and afl=160";
const wchar_t kTagParentFallbackSql[] = L"select data from attrs where uid=%1 and aid=30 and afl=160";

// Only A-Z fold: other letters keep tags apart that differ in their case.
CString TagKey(const CString& name)
{
    CString key(name);
    for (int i = 0; i < key.GetLength(); ++i) {
        wchar_t c = key[i];
        if (c >= L'A' && c <= L'Z')
            key.SetAt(i, static_cast<wchar_t>(c - L'A' + L'a'));
    }
    return key;
}

CString ReadParentId(IBrelmSQLiteDatabase* database, const wchar_t* pattern, const wchar_t* tagId)
{
    CComPtr<IBrelmSQLiteRecordset> rows;
    rows.Attach(ExbQuery(database, BrelmFormatString1(pattern, tagId)));
    if (!rows || ExbAtEnd(rows))
        return CString();
    return BrelmIntToStr(ExbFieldInt32(rows));
}

}  // namespace

CString ExbTagName(IBrelmSQLiteDatabase* database, const wchar_t* tagId)
{
    CComPtr<IBrelmSQLiteRecordset> rows;
    rows.Attach(ExbQuery(database, BrelmFormatString1(kTagNameSql, tagId)));
    if (!rows || ExbAtEnd(rows))
        return CString();
    return ExbFieldUtf8Text(rows);
}

CString ExbTagParentId(IBrelmSQLiteDatabase* database, const wchar_t* tagId)
{
    return ReadParentId(database, kTagParentSql, tagId);
}

CString ExbTagParentIdFallback(IBrelmSQLiteDatabase* database, const wchar_t* tagId)
{
    return ReadParentId(database, kTagParentFallbackSql, tagId);
}

BOOL ReadExbTags(IBrelmSQLiteDatabase* database, CExbTagMap& map)
{
    CComPtr<IBrelmSQLiteRecordset> rows;
    rows.Attach(ExbQuery(database, kTagListSql));
    if (!rows)
        return FALSE;

    CExbTagArray tags;
    while (!ExbAtEnd(rows)) {
        CExbTag tag;
        tag.m_strUid = ExbFieldText(rows, 0);
        // An id that is not a number cannot go into the tag queries.
        if (!IsExbItemId(tag.m_strUid)) {
            if (!ExbMoveNext(rows))
                break;
            continue;
        }
        tag.m_strName = ExbTagName(database, tag.m_strUid);
        tag.m_strParentUid = ExbTagParentId(database, tag.m_strUid);
        if (tag.m_strParentUid.IsEmpty())
            tag.m_strParentUid = ExbTagParentIdFallback(database, tag.m_strUid);
        tag.m_strName.Replace(L'\\', L'-');
        tag.m_strName.Replace(L'/', L'-');
        tag.m_strName.Replace(L',', L'-');
        tag.m_strName.Replace(L';', L'-');
        tags.push_back(tag);
        if (!ExbMoveNext(rows))
            break;
    }

    for (const CExbTag& tag : tags)
        map[TagKey(tag.m_strName)] = tag;
    return TRUE;
}
