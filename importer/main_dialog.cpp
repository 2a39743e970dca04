// The main dialog: construction, data exchange, start-up of the window, About, painting and Browse.
#include "main_dialog.h"

#include "about_dialog.h"
#include "data_store.h"
#include "folders.h"
#include "message_boxes.h"
#include "note_html.h"
#include "registry.h"
#include "resource.h"
#include "translations.h"

namespace {

const size_t kInitialFolderChars = 1024;

// The settings file name is settled before the log file name, whatever order the
// compiler evaluates the binding's arguments in.
CString LogFileNameAfterSettings() {
    BrelmGetSettingsFileName();
    return BrelmGetLogFileName();
}

}  // namespace

CString GetCoreDllPath(const wchar_t* appPath) {
    CString path(appPath);
    BrelmAppendBackslash(path);
    path += L"BrelmKMCore.dll";
    return path;
}

CString GetEvernoteDatabasesFolder(const wchar_t* evernotePath) {
    CString folder(evernotePath);
    if (folder.IsEmpty()) return BrelmGetLocalAppDataFolder() + L"Evernote\\Evernote\\Databases";
    BrelmAppendBackslash(folder);
    folder += L"Databases";
    return folder;
}

BOOL FillInitialFolderBuffer(const wchar_t* folder, wchar_t* buffer, size_t bufferSize) {
    if (!buffer || bufferSize == 0) return FALSE;
    ZeroMemory(buffer, bufferSize * sizeof(wchar_t));
    const size_t length = folder ? wcslen(folder) : 0;
    if (length == 0 || length >= bufferSize) return FALSE;
    wmemcpy(buffer, folder, length);
    return TRUE;
}

CBrelmKMCoreDll::CBrelmKMCoreDll(const wchar_t* appPath)
    : m_strAppPath(appPath), m_hModule(nullptr), m_pfnCreateSQLiteDatabase(nullptr) {
    Load();
}

CBrelmKMCoreDll::~CBrelmKMCoreDll() {
    if (m_hModule) {
        ::FreeLibrary(m_hModule);
        m_hModule = nullptr;
    }
    m_pfnCreateSQLiteDatabase = nullptr;
}

BOOL CBrelmKMCoreDll::Load() {
    if (m_hModule) {
        ::FreeLibrary(m_hModule);
        m_hModule = nullptr;
    }
    m_pfnCreateSQLiteDatabase = nullptr;
    m_hModule = ::LoadLibraryW(GetCoreDllPath(m_strAppPath));
    if (!m_hModule) return FALSE;
    m_pfnCreateSQLiteDatabase = reinterpret_cast<PFN_BrelmKMCreateSQLiteDatabase>(
        reinterpret_cast<void*>(::GetProcAddress(m_hModule, "BrelmKMCreateSQLiteDatabase")));
    return TRUE;
}

BEGIN_MESSAGE_MAP(CBrelmEverNoteDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_BUTTON_BROWSE, &CBrelmEverNoteDlg::OnBrowse)
END_MESSAGE_MAP()

CBrelmEverNoteDlg::CBrelmEverNoteDlg(const wchar_t* appPath, IBrelmDatabase* database, CWnd*)
    : CDialog(IDD_BRELMEVERNOTE_DIALOG, nullptr),
      m_spDatabase(database),
      m_coreDll(appPath),
      m_toolsDll(LogFileNameAfterSettings(), BrelmGetSettingsFileName(), appPath),
      m_hIcon(nullptr) {
    m_hIcon = ::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME));
}

CBrelmEverNoteDlg::~CBrelmEverNoteDlg() {}

CString CBrelmEverNoteDlg::BuildNoteHtmlFile(IBrelmSQLiteDatabase* database, const wchar_t* noteId,
                                             const wchar_t* folder) {
    return ::BuildNoteHtmlFile(m_toolsDll, database, noteId, folder);
}

void CBrelmEverNoteDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_EDIT_FILE, m_editFile);
    DDX_Control(pDX, IDC_STATIC_STATUS, m_staticStatus);
    DDX_Control(pDX, IDC_PROGRESS_IMPORT, m_progress);
    DDX_Control(pDX, IDOK, m_btnOK);
    DDX_Control(pDX, IDC_CHECK_CREATE_EVERNOTE_FOLDER, m_checkCreateEvernoteFolder);
}

BOOL CBrelmEverNoteDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    g_translations.TranslateWindow(m_hWnd);

    if (HMENU systemMenu = GetSystemMenu(FALSE)) {
        // The menu item is the one text that is not translated.
        CString about;
        about.LoadString(IDS_ABOUTBOX);
        if (!about.IsEmpty()) {
            ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, about);
        }
    }

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    m_btnOK.EnableWindow(m_editFile.GetWindowTextLength() > 0);
    g_translations.TranslateWindow(m_hWnd);
    return TRUE;
}

void CBrelmEverNoteDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
    } else {
        CDialog::OnSysCommand(nID, lParam);
    }
}

void CBrelmEverNoteDlg::OnPaint() {
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    const int iconWidth = ::GetSystemMetrics(SM_CXICON);
    const int iconHeight = ::GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    const int x = (rect.right - rect.left - iconWidth + 1) / 2;
    const int y = (rect.bottom - rect.top - iconHeight + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CBrelmEverNoteDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

void CBrelmEverNoteDlg::OnBrowse() {
    const CString folder =
        GetEvernoteDatabasesFolder(BrelmRegReadString(L"Software\\Evernote\\Evernote", L"EvernotePath", L""));
    const CString filter = BrelmLoadTranslatedString(IDS_EXB_FILE_FILTER);
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filter, nullptr, 0, TRUE);

    wchar_t initialFolder[kInitialFolderChars];
    if (FillInitialFolderBuffer(folder, initialFolder, kInitialFolderChars)) {
        dialog.m_ofn.lpstrInitialDir = initialFolder;
    }
    if (dialog.DoModal() != IDOK) return;

    m_editFile.SetWindowText(dialog.GetPathName());
    m_btnOK.EnableWindow(m_editFile.GetWindowTextLength() > 0);
}
