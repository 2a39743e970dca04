// CBrelmEverNoteDlg: the main dialog, with its own load of the core library and the tools binding.
#pragma once

#include "afx.h"
#include "brelm_km_interfaces.h"
#include "brelm_sqlite_interfaces.h"
#include "tools_dll.h"

class CExbNote;
struct CExbImportRun;

// The core library's file in the client's folder: appPath, a backslash when it
// ends with neither separator, then "BrelmKMCore.dll"; the bare name for an empty appPath.
CString GetCoreDllPath(const wchar_t* appPath);

// Where Browse starts: evernotePath + "Databases" (a backslash put between when
// needed), or "Evernote\Evernote\Databases" under local application data.
CString GetEvernoteDatabasesFolder(const wchar_t* evernotePath);
// The file dialog's initial-folder buffer; a folder that does not fit whole leaves
// it empty (FALSE), so the dialog starts where it would by itself rather than in
// a truncated, different folder.
BOOL FillInitialFolderBuffer(const wchar_t* folder, wchar_t* buffer, size_t bufferSize);

// The dialog's own load of the core library, for its SQLite factory.
class CBrelmKMCoreDll {
public:
    explicit CBrelmKMCoreDll(const wchar_t* appPath);
    ~CBrelmKMCoreDll();
    CBrelmKMCoreDll(const CBrelmKMCoreDll&) = delete;
    CBrelmKMCoreDll& operator=(const CBrelmKMCoreDll&) = delete;

    // FALSE when the library does not load; TRUE otherwise, also without the export.
    BOOL Load();

    CString m_strAppPath;
    HMODULE m_hModule;
    PFN_BrelmKMCreateSQLiteDatabase m_pfnCreateSQLiteDatabase;
};

class CBrelmEverNoteDlg : public CDialog {
public:
    // The parent is never used: the dialog always runs without one.
    CBrelmEverNoteDlg(const wchar_t* appPath, IBrelmDatabase* database, CWnd* parent = nullptr);
    ~CBrelmEverNoteDlg() override;

    // The note's HTML file in folder, made through this dialog's tools binding; empty when none.
    CString BuildNoteHtmlFile(IBrelmSQLiteDatabase* database, const wchar_t* noteId, const wchar_t* folder);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // The import of the chosen file (import_loop.cpp).
    void OnOK() override;

    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnPaint();
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg void OnBrowse();

    DECLARE_MESSAGE_MAP()

    CComPtr<IBrelmDatabase> m_spDatabase;
    CBrelmKMCoreDll m_coreDll;
    CBrelmToolsDll m_toolsDll;
    HICON m_hIcon;
    CEdit m_editFile;
    CStatic m_staticStatus;
    CProgressCtrl m_progress;
    CButton m_btnOK;
    CButton m_checkCreateEvernoteFolder;

private:
    // One note of the import, once its row is read and left (import_loop.cpp); now
    // stands in for a missing creation date.
    void ImportNote(const CExbImportRun& run, CExbNote& note, const CString& parentLevel, DATE now);
};
