// Note resources and attachments written to files, one record per file.
#include "exb_resources.h"

#include <cstdlib>
#include <map>
#include <set>
#include <shlwapi.h>
#include "exb_access.h"
#include "file_helpers.h"
#include "global.h"
#include "message_texts.h"
#include "streams.h"

namespace {

const wchar_t kNoteResourcesSql[] =
    L"select note, resources.uid, width, height, file_name, md5, is_attachment, data from resource_attr, "
    L"resources where resource_attr.uid=resources.uid and resource_attr.note=%1";
const wchar_t kResourceDataSql[] = L"select data from resources where uid=%1";
const wchar_t kAttrDataSql[] = L"select uid, aid, data from attrs where uid=%1 and aid=%2";
const wchar_t kNoteAttachmentsSql[] =
    L"select note, uid, file_name, source_url, is_attachment, mime from resource_attr where note=%1";

// Windows drops trailing dots and blanks ("a.jpg." opens "a.jpg"); the page must name
// the file that holds the bytes, so names are stored without them.
CString WithoutTrailingDotsAndBlanks(const CString& name)
{
    int length = name.GetLength();
    while (length > 0 && (name[length - 1] == L'.' || name[length - 1] == L' '))
        --length;
    return name.Left(length);
}

// text cut to at most length characters, a surrogate pair kept whole.
CString CutText(const CString& text, int length)
{
    if (length > 0 && length < text.GetLength() && IS_HIGH_SURROGATE(text[length - 1]))
        --length;
    return text.Left(length);
}

// A cut name is usable when something is left of it and it names no device ("con" of "console.txt").
bool IsUsableCut(const CString& name)
{
    return !name.IsEmpty() && BrelmIsValidFileName(name);
}

// name with suffix before its extension, in at most room characters: the stem gives way first,
// the extension only when the stem cannot (too short, or its cut is no usable name). Empty when
// no usable name fits.
CString FittedName(const CString& name, const CString& suffix, int room)
{
    int dot = name.ReverseFind(L'.');
    CString stem = dot < 0 ? name : name.Left(dot);
    CString ext = dot < 0 ? CString() : name.Mid(dot);
    int excess = name.GetLength() + suffix.GetLength() - room;
    if (excess <= 0)
        return stem + suffix + ext;
    if (excess < stem.GetLength()) {
        CString fitted = WithoutTrailingDotsAndBlanks(CutText(stem, stem.GetLength() - excess) + suffix + ext);
        if (IsUsableCut(fitted))
            return fitted;
    }
    if (room <= suffix.GetLength())
        return CString();
    CString fitted = WithoutTrailingDotsAndBlanks(CutText(name, room - suffix.GetLength()) + suffix);
    return IsUsableCut(fitted) ? fitted : CString();
}

// File names of one note's resources, each short enough that the folder and the name together
// stay within kExbLongestPath. Two resources whose names are equal (letter case ignored, as the
// file system does) would overwrite each other: the first keeps the name, a later one gets
// " (2)", " (3)" ... before the extension. The note's own page is never overwritten either.
class CNoteFileNames {
public:
    CNoteFileNames(const wchar_t* noteId, const wchar_t* folder)
        : m_room(kExbLongestPath - static_cast<int>(folder ? wcslen(folder) : 0))
    {
        m_taken.insert(Key(CString(noteId) + L".htm"));
    }

    // The name given to uid before, or else name made to fit and free; empty when name is
    // empty or no free name fits beside the folder.
    CString Claim(const CString& uid, const CString& name)
    {
        auto known = m_byUid.find(uid);
        if (known != m_byUid.end())
            return known->second;
        if (name.IsEmpty())
            return name;
        CString free = FittedName(name, CString(), m_room);
        for (int n = 2; !free.IsEmpty() && !m_taken.insert(Key(free)).second; ++n)
            free = FittedName(name, L" (" + BrelmIntToStr(n) + L")", m_room);
        if (!free.IsEmpty())
            m_byUid[uid] = free;
        return free;
    }

    const CString* Find(const CString& uid) const
    {
        auto known = m_byUid.find(uid);
        return known == m_byUid.end() ? nullptr : &known->second;
    }

private:
    static CString Key(const CString& name)
    {
        CString key(name);
        int length = key.GetLength();
        if (length > 0) {
            ::CharUpperBuffW(key.GetBuffer(length), static_cast<DWORD>(length));
            key.ReleaseBuffer(length);
        }
        return key;
    }

    int m_room;
    std::map<CString, CString> m_byUid;
    std::set<CString> m_taken;
};

// A valid file name under which the file on disk has the very same name.
CString DiskFileName(CString name)
{
    BrelmMakeValidFileName(name);
    return WithoutTrailingDotsAndBlanks(name);
}

// The file name of a resource: its own name, or its digest when it has none or
// nothing of it survives validation.
CString ResourceFileName(const CString& fileName, const CString& md5)
{
    CString name = DiskFileName(fileName.IsEmpty() ? md5 : fileName);
    if (name.IsEmpty())
        name = DiskFileName(md5);
    return name;
}

// Gives every row of the resource list its name, in row order, as ReadNoteResources does.
void ClaimResourceNames(IBrelmSQLiteDatabase* database, const wchar_t* noteId, CNoteFileNames& names)
{
    CComPtr<IBrelmSQLiteRecordset> rows;
    rows.Attach(ExbQuery(database, BrelmFormatString1(kNoteResourcesSql, noteId)));
    if (!rows)
        return;
    while (!ExbAtEnd(rows)) {
        names.Claim(ExbFieldText(rows, 1), ResourceFileName(ExbFieldText(rows, 4), ExbFieldMd5Hex(rows)));
        if (!ExbMoveNext(rows))
            break;
    }
}

bool IsAttachment(int flag, const CString& mime)
{
    if (flag != 0)
        return true;
    return ::StrStrIW(mime, L"application/") == mime.GetString() ||
           ::StrStrIW(mime, L"text/plain") == mime.GetString();
}

bool WriteFromQuery(IBrelmSQLiteDatabase* database, const CString& sql, long column, const wchar_t* path)
{
    CComPtr<IBrelmSQLiteRecordset> rows;
    rows.Attach(ExbQuery(database, sql));
    return rows && !ExbAtEnd(rows) && ExbFieldToFile(rows, column, path);
}

}  // namespace

void LogExbPathTooLong(const CString& path)
{
    BrelmGetKMGlobal()->WriteLog(BrelmFormatString1(L"Can't write file, its path is too long: %1", path), 0);
}

BOOL ReadNoteResources(IBrelmSQLiteDatabase* database, const wchar_t* noteId, const wchar_t* folder,
                       CExbResourceArray& out)
{
    CComPtr<IBrelmSQLiteRecordset> rows;
    rows.Attach(ExbQuery(database, BrelmFormatString1(kNoteResourcesSql, noteId)));
    if (!rows)
        return FALSE;

    CNoteFileNames names(noteId, folder);
    while (!ExbAtEnd(rows)) {
        CExbResource resource;
        resource.m_strNote = ExbFieldText(rows, 0);
        resource.m_strUid = ExbFieldText(rows, 1);
        resource.m_nWidth = _wtoi(ExbFieldText(rows, 2));
        resource.m_nHeight = _wtoi(ExbFieldText(rows, 3));
        resource.m_strFileName = ExbFieldText(rows, 4);
        resource.m_strMD5 = ExbFieldMd5Hex(rows);
        CString wanted = ResourceFileName(resource.m_strFileName, resource.m_strMD5);
        resource.m_strFileName = names.Claim(resource.m_strUid, wanted);
        if (resource.m_strFileName.IsEmpty() && !wanted.IsEmpty())
            LogExbPathTooLong(CString(folder) + wanted);

        if (!resource.m_strFileName.IsEmpty()) {
            CString path = CString(folder) + resource.m_strFileName;
            CComPtr<IStream> data;
            data.Attach(ExbFieldStream(rows, 7));
            if (data) {
                BrelmCreateDirectories(BrelmExtractFilePath(path));
                if (BrelmSaveStreamToFile(data, path))
                    out.push_back(resource);
            }
        }
        if (!ExbMoveNext(rows))
            break;
    }
    return TRUE;
}

BOOL ReadNoteAttachments(IBrelmSQLiteDatabase* database, const wchar_t* noteId, const wchar_t* folder,
                         CExbResourceArray& out)
{
    CComPtr<IBrelmSQLiteRecordset> rows;
    rows.Attach(ExbQuery(database, BrelmFormatString1(kNoteAttachmentsSql, noteId)));
    if (!rows)
        return FALSE;

    // The resource files of this note are written under these names: an attachment
    // takes the name its resource got there and never lands on another resource's file.
    CNoteFileNames names(noteId, folder);
    bool resourceNamesRead = false;

    while (!ExbAtEnd(rows)) {
        int flag = _wtoi(ExbFieldText(rows, 4));
        CString mime = ExbFieldText(rows, 5);
        mime.Trim();
        if (IsAttachment(flag, mime)) {
            CExbResource attachment;
            attachment.m_strNote = ExbFieldText(rows, 0);
            attachment.m_strUid = ExbFieldText(rows, 1);
            attachment.m_strFileName = ExbFieldText(rows, 2);
            attachment.m_strSourceURL = ExbFieldText(rows, 3);
            // The uid goes into the data queries: one that is not a number could fetch another note's bytes.
            if (!attachment.m_strFileName.IsEmpty() && IsExbItemId(attachment.m_strUid)) {
                if (!resourceNamesRead) {
                    ClaimResourceNames(database, noteId, names);
                    resourceNamesRead = true;
                }
                if (const CString* known = names.Find(attachment.m_strUid)) {
                    attachment.m_strFileName = *known;
                } else {
                    CString wanted = DiskFileName(attachment.m_strFileName);
                    attachment.m_strFileName = names.Claim(attachment.m_strUid, wanted);
                    if (attachment.m_strFileName.IsEmpty() && !wanted.IsEmpty())
                        LogExbPathTooLong(CString(folder) + wanted);
                }
                if (!attachment.m_strFileName.IsEmpty() &&
                    SaveResourceData(database, attachment.m_strUid, CString(folder) + attachment.m_strFileName))
                    out.push_back(attachment);
            }
        }
        if (!ExbMoveNext(rows))
            break;
    }
    return TRUE;
}

BOOL SaveResourceData(IBrelmSQLiteDatabase* database, const wchar_t* resourceId, const wchar_t* path)
{
    if (WriteFromQuery(database, BrelmFormatString1(kResourceDataSql, resourceId), 0, path))
        return TRUE;
    for (int aid : {35, 40}) {
        if (WriteFromQuery(database, BrelmFormatString2(kAttrDataSql, resourceId, BrelmIntToStr(aid)), 2, path))
            return TRUE;
    }
    return FALSE;
}
