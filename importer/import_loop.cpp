// The import run by OK: the .exb file's tags and notes into the knowledge base, with progress.
#include "import_loop.h"

#include <cmath>
#include <shlwapi.h>

#include "exb_access.h"
#include "exb_date.h"
#include "exb_resources.h"
#include "global.h"
#include "main_dialog.h"
#include "message_boxes.h"
#include "message_pump.h"
#include "resource.h"
#include "tag_tree.h"

namespace {

const wchar_t kCountSql[] = L"select count(*) from note_attr";
const wchar_t kNoteSql[] =
    L"select uid, title, author, notebook, tags, date_created, date_updated, source_url, latitude, "
    L"longitude, notebook_uid from note_attr";

// The knowledge base's content flags for a note's page: keep its text, store its local files.
const long kUpdateDocumentFlags = 0x22;

bool IsMissingDate(double date) { return std::fabs(date) < 0.001; }

void ReadExbNote(IBrelmSQLiteRecordset* rows, CExbNote& note) {
    note.m_strUid = ExbFieldText(rows, 0);
    note.m_strTitle = ExbFieldText(rows, 1);
    note.m_strAuthor = ExbFieldText(rows, 2);
    note.m_strNotebook = ExbFieldText(rows, 3);
    note.m_strTags = ExbFieldText(rows, 4);
    note.m_dtCreated = ExbFieldDouble(rows, 5);
    note.m_dtUpdated = ExbFieldDouble(rows, 6);
    note.m_strSourceURL = ExbFieldText(rows, 7);
    note.m_strLatitude = ExbFieldText(rows, 8);
    note.m_strLongitude = ExbFieldText(rows, 9);
    note.m_strNotebookUid = ExbFieldText(rows, 10);
}

// The notebook's names come from SQL that takes the id as it stands; an id that is
// not a number is not looked up at all.
CString NotebookName(IBrelmSQLiteDatabase* exb, const CString& notebookUid) {
    return IsExbItemId(notebookUid) ? ExbNotebookName(exb, notebookUid) : CString();
}

CString NotebookOwnName(IBrelmSQLiteDatabase* exb, const CString& notebookUid) {
    return IsExbItemId(notebookUid) ? ExbAttrText(exb, notebookUid, 0) : CString();
}

// The folder at location, made when missing; empty unless it answers as a folder.
void GetFolder(IBrelmDatabase* database, const CString& location, CComPtr<IBrelmFolder>& folder) {
    folder.Release();
    CComPtr<IDispatch> object;
    const HRESULT hr = database->GetFolderByLocation(CComBSTR(location), VARIANT_TRUE, &object);
    if (SUCCEEDED(hr) && object) object.QueryInterface(&folder);
}

}  // namespace

void CleanExbNoteTags(const CString& tags, CBrelmStringArray& list) {
    if (tags.IsEmpty()) return;
    BrelmSplitString(tags, L',', list);
    for (CString& tag : list) {
        tag.TrimRight();
        tag.TrimLeft();
        tag.Replace(L'\\', L'-');
        tag.Replace(L'/', L'-');
        tag.Replace(L',', L'-');
        tag.Replace(L';', L'-');
    }
}

CString BuildExbFolderLocation(const CString& parentLevel, const CString& notebook, BOOL evernoteFolder) {
    CString location = evernoteFolder ? L"/Evernote/" : L"/";
    if (!parentLevel.IsEmpty()) location += parentLevel + L"/";
    location += notebook + L"/";
    return location;
}

void GetExbNoteDates(double created, double updated, DATE now, DATE& documentCreated, DATE& documentModified) {
    const bool createdFromFile = !IsMissingDate(created);
    const bool updatedFromFile = !IsMissingDate(updated);
    if (!createdFromFile) created = now;
    if (!updatedFromFile) updated = created;
    documentCreated = createdFromFile ? static_cast<DATE>(ExbDateToLocalDate(created)) : created;
    // A modification date taken over from the creation date is converted exactly when that one is.
    documentModified =
        (updatedFromFile || createdFromFile) ? static_cast<DATE>(ExbDateToLocalDate(updated)) : updated;
}

void CBrelmEverNoteDlg::OnOK() {
    // Every enabled child, OK and Cancel included, stays disabled until the import returns.
    CBrelmChildWindowDisabler disabler(m_hWnd);

    CComPtr<IBrelmDatabase> database(m_spDatabase);
    if (!database) return;

    // A factory that claims success without an object has failed as well.
    CComPtr<IBrelmSQLiteDatabase> exb;
    if (!m_coreDll.m_pfnCreateSQLiteDatabase || FAILED(m_coreDll.m_pfnCreateSQLiteDatabase(&exb)) || !exb) {
        BrelmMessageBoxByID(IDS_FAILED_TO_CREATE_DATABASE_OBJECT);
        return;
    }

    CString path;
    m_editFile.GetWindowText(path);
    if (!::PathFileExistsW(path)) {
        BrelmMessageBoxByID1(IDS_FILE_DOES_NOT_EXIST, path);
        return;
    }
    if (FAILED(exb->Open(CComBSTR(path)))) {
        BrelmMessageBoxByID1(IDS_CANNOT_OPEN_DATABASE, path);
        return;
    }

    CExbTagMap tags;
    ReadExbTags(exb, tags);
    CreateTagTree(database, nullptr, tags, L"");

    int noteCount = 0;
    {
        CComPtr<IBrelmSQLiteRecordset> countRows;
        countRows.Attach(ExbQuery(exb, kCountSql));
        if (!countRows) return;
        noteCount = ExbFieldInt(countRows, 0);
    }

    CComPtr<IBrelmSQLiteRecordset> notes;
    notes.Attach(ExbQuery(exb, kNoteSql));
    if (!notes) return;
    m_progress.SetRange32(0, noteCount);

    CExbImportRun run = {database, exb, BrelmGetKMGlobal()->GetTempFolder(), FALSE, 0};
    run.evernoteFolder = m_checkCreateEvernoteFolder.GetCheck() == BST_CHECKED;

    for (;;) {
        VARIANT_BOOL end = VARIANT_FALSE;
        notes->get_EOF(&end);
        if (end) break;

        CExbNote note;
        ReadExbNote(notes, note);
        const CString parentLevel = NotebookName(exb, note.m_strNotebookUid);
        const DATE now = COleDateTime::GetCurrentTime();
        // The row is left before the note's own queries run on the same file.
        const HRESULT moved = notes->MoveNext();
        ++run.rowCount;
        ImportNote(run, note, parentLevel, now);
        // Rows that cannot be moved past would come back again and again, and a file
        // whose rows break off must not look like one that was read to its end.
        if (FAILED(moved)) {
            BrelmMessageBoxByID1(IDS_CANNOT_QUERY_DATABASE, kNoteSql);
            break;
        }
    }

    exb->Close();
    BrelmMessageBoxByID(IDS_IMPORT_COMPLETED);
    CDialog::OnOK();
}

void CBrelmEverNoteDlg::ImportNote(const CExbImportRun& run, CExbNote& note, const CString& parentLevel,
                                   DATE now) {
    IBrelmDatabase* database = run.database;
    IBrelmSQLiteDatabase* exb = run.exb;
    const CString& workFolder = run.workFolder;

    note.m_strNotebook.Replace(L'/', L'-');
    m_staticStatus.SetWindowText(note.m_strTitle);
    BrelmPumpMessages();

    CBrelmStringArray tagList;
    CleanExbNoteTags(note.m_strTags, tagList);
    BrelmPumpMessages();

    // The uid names the body file and goes into the readers' SQL, so only a number will do.
    // A note without a usable body is skipped without a message.
    const CString bodyFile =
        IsExbItemId(note.m_strUid) ? BuildNoteHtmlFile(exb, note.m_strUid, workFolder) : CString();
    if (bodyFile.IsEmpty()) return;

    CString location = BuildExbFolderLocation(parentLevel, note.m_strNotebook, run.evernoteFolder);
    BrelmPumpMessages();

    CComPtr<IBrelmFolder> folder;
    GetFolder(database, location, folder);
    if (!folder) {
        // Second try under the notebook's own name in place of its group's. Only that
        // level changes (it is left out when the notebook has no name of its own), never
        // the notebook's level or "/Evernote", which may hold the same text.
        const CString ownName = NotebookOwnName(exb, note.m_strNotebookUid);
        location = BuildExbFolderLocation(parentLevel.IsEmpty() ? parentLevel : ownName, note.m_strNotebook,
                                          run.evernoteFolder);
        GetFolder(database, location, folder);
        if (!folder) {
            BrelmMessageBoxByID1(IDS_FAILED_TO_CREATE_FOLDER, location);
            return;
        }
    }

    CComPtr<IBrelmDocument> document;
    {
        CComPtr<IDispatch> object;
        const HRESULT hr =
            folder->CreateDocument(CComBSTR(note.m_strTitle), CComBSTR(note.m_strSourceURL), &object);
        if (SUCCEEDED(hr) && object) object.QueryInterface(&document);
    }
    if (!document) {
        BrelmMessageBoxByID1(IDS_FAILED_TO_CREATE_DOCUMENT, note.m_strTitle);
        return;
    }
    BrelmPumpMessages();

    {
        const CComBSTR body(bodyFile);
        if (FAILED(document->UpdateDocument(body, body, kUpdateDocumentFlags))) {
            BrelmMessageBoxByID1(IDS_FAILED_TO_SAVE_DOCUMENT, note.m_strTitle);
            return;
        }
    }

    DATE created = 0, modified = 0;
    GetExbNoteDates(note.m_dtCreated, note.m_dtUpdated, now, created, modified);
    document->put_DateCreated(created);
    document->put_DateModified(modified);
    document->put_DataDateModified(modified);

    if (!note.m_strLatitude.IsEmpty() && !note.m_strLongitude.IsEmpty()) {
        document->SetParamValue(CComBSTR(L"MAP_LOCATION"),
                                CComBSTR(note.m_strLongitude + L"," + note.m_strLatitude));
    }

    if (!tagList.empty()) {
        CString tagsText;
        BrelmJoinStrings(tagList, tagsText);
        document->SetTagsText(CComBSTR(tagsText), CComBSTR(L"Evernote"));
    }
    BrelmPumpMessages();

    CExbResourceArray attachments;
    if (ReadNoteAttachments(exb, note.m_strUid, workFolder, attachments)) {
        for (const CExbResource& attachment : attachments) {
            CComPtr<IDispatch> object;
            document->AddAttachment(CComBSTR(workFolder + attachment.m_strFileName), &object);
            CComPtr<IBrelmDocumentAttachment> added;
            if (object) object.QueryInterface(&added);
            if (added) added->put_URL(CComBSTR(attachment.m_strSourceURL));
            BrelmPumpMessages();
        }
    }

    m_progress.SetPos(run.rowCount);
    BrelmPumpMessages();
}
