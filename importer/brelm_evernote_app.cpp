// The application object theApp and InitInstance: install folder, knowledge base, main dialog.
#include "brelm_evernote_app.h"

#include <shlwapi.h>

#include "command_line.h"
#include "dll_objects.h"
#include "folders.h"
#include "main_dialog.h"
#include "registry.h"
#include "translations.h"

// Registered during static initialisation, in this order, before theApp is built.
const UINT BRELM_UM_PARENT_SIZED = ::RegisterWindowMessageW(L"BRELM_UM_PARENT_SIZED");
const UINT BRELM_UM_CLOSE_WINDOW_FOR_AUTO_UPDATE = ::RegisterWindowMessageW(L"BRELM_UM_CLOSE_WINDOW_FOR_AUTO_UPDATE");
const UINT BRELM_UM_USER_IMAGE_INITED = ::RegisterWindowMessageW(L"BRELM_UM_USER_IMAGE_INITED");
const UINT BRELM_UM_DOCUMENT_ABSTRACT_INITED = ::RegisterWindowMessageW(L"BRELM_UM_DOCUMENT_ABSTRACT_INITED");
const UINT BRELM_UM_OPERATION_IS_CANCELED = ::RegisterWindowMessageW(L"BRELM_UM_OPERATION_IS_CANCELED");
const UINT BRELM_UM_OPERATION_DONE = ::RegisterWindowMessageW(L"BRELM_UM_OPERATION_DONE");
const UINT BRELM_UM_OPERATION_SET_PROGRESS = ::RegisterWindowMessageW(L"BRELM_UM_OPERATION_SET_PROGRESS");
const UINT BRELM_UM_BUBBLE_CLICKED = ::RegisterWindowMessageW(L"BRELM_UM_BUBBLE_CLICKED");
const UINT BRELMKM_UM_DOWNLOADINGDOCUMENT = ::RegisterWindowMessageW(L"BRELMKM_UM_DOWNLOADINGDOCUMENT");
const UINT BRELMKM_UM_UPLOADINGDOCUMENT = ::RegisterWindowMessageW(L"BRELMKM_UM_UPLOADINGDOCUMENT");
const UINT BRELMKM_UM_UPLOADINGATTACHMENT = ::RegisterWindowMessageW(L"BRELMKM_UM_UPLOADINGATTACHMENT");
const UINT BRELM_UM_SWITCH_IMAGE_FROM_MOBILE = ::RegisterWindowMessageW(L"BRELM_UM_SWITCH_IMAGE_FROM_MOBILE");
const UINT BRELMKM_UM_INSERT_IMAGE_INTO_DOCUMENT = ::RegisterWindowMessageW(L"BRELMKM_UM_INSERT_IMAGE_INTO_DOCUMENT");
const UINT BRELMKM_UM_UPDATE_POPUP_EDITOR = ::RegisterWindowMessageW(L"BRELMKM_UM_UPDATE_POPUP_EDITOR");
const UINT BRELM_UM_QUERY_CAN_USE_AMEND = ::RegisterWindowMessageW(L"BRELM_UM_QUERY_CAN_USE_AMEND");
const UINT BRELM_UM_CONTROLEVENTS = ::RegisterWindowMessageW(L"BRELM_UM_CONTROLEVENTS");

CBrelmEverNoteApp theApp;

const UINT BRELM_UM_CONTROLEVENTS_APP = ::RegisterWindowMessageW(L"BRELM_UM_CONTROLEVENTS");

namespace {

// The client's database open is told who opens it by this fixed key.
const wchar_t kOpenExKey[] = L"{3E8B1C47-92D0-4A6F-B5E3-7D14C9A0F286}";

void ShowStartupError(const wchar_t* text) { ::MessageBoxW(nullptr, text, nullptr, MB_OK | MB_ICONERROR); }

// TRUE when the knowledge base is open and the dialog may run.
BOOL OpenKnowledgeBase(IBrelmDatabase* database, const CString& databasePath) {
    if (databasePath.IsEmpty()) {
        CComBSTR name(L"");
        return database->Open(name) == S_OK;
    }
    CComBSTR errorText;
    HRESULT hr;
    {
        CComBSTR path(databasePath);
        hr = database->OpenEx(path, kOpenExKey, 0, &errorText);
    }
    if (SUCCEEDED(hr)) return TRUE;
    const CString text(errorText.m_str);
    if (!text.IsEmpty()) ShowStartupError(text);
    return FALSE;
}

}  // namespace

BEGIN_MESSAGE_MAP(CBrelmEverNoteApp, CWinApp)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CBrelmEverNoteApp::CBrelmEverNoteApp() : CWinApp(nullptr) {
    // Single-threaded apartment for the whole run; nothing uninitialises it.
    ::CoInitialize(nullptr);
}

CBrelmEverNoteApp::~CBrelmEverNoteApp() {}

BOOL CBrelmEverNoteApp::InitInstance() {
    INITCOMMONCONTROLSEX controls = {sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    CWinApp::InitInstance();
    AfxEnableControlContainer();
    SetRegistryKey(L"");

    CString appPath = BrelmGetCommandLineValue(m_lpCmdLine ? m_lpCmdLine : L"", L"AppPath");
    if (appPath.IsEmpty()) appPath = BrelmRegReadString(L"Software\\Brelm", L"AppPath", L"");

    if (!appPath.IsEmpty() && ::PathFileExistsW(appPath)) {
        CString& installFolder = BrelmGetInstallFolder();
        installFolder = appPath;
        BrelmAppendBackslash(installFolder);
    }

    if (!::PathFileExistsW(BrelmGetToolsDllFileName())) {
        ShowStartupError(L"Can not find BrelmTools.dll");
        return FALSE;
    }

    BrelmLoadTranslations();

    const CString databasePath = BrelmGetCommandLineValue(m_lpCmdLine ? m_lpCmdLine : L"", L"DatabasePath");

    CComPtr<IBrelmDatabase> database;
    database.Attach(CreateDllObjectByClsid(GetCoreDllPath(appPath), CLSID_BrelmDatabase));
    if (!database) {
        ShowStartupError(L"Can not create database object");
        return FALSE;
    }

    if (OpenKnowledgeBase(database, databasePath)) {
        CBrelmEverNoteDlg dialog(appPath, database);
        m_pMainWnd = &dialog;
        dialog.DoModal();
        m_pMainWnd = nullptr;
    }
    return FALSE;
}
