// CDialog: the one dialog procedure, modal runs, the OK and Cancel defaults and data exchange.
#include "dialog.h"

#include <new>

#include "module_state.h"
#include "win_app.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
    control.Attach(::GetDlgItem(pDX->m_pDlgWnd->GetSafeHwnd(), id));
}

INT_PTR CDialog::DoModal() {
    // Without a parent the application's main window owns the dialog, so that it is
    // disabled while the dialog runs.
    HWND parent = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
    if (!parent) {
        CWnd* main = AfxGetMainWnd();
        if (main && main != this) parent = main->GetSafeHwnd();
    }
    m_bRunFailed = false;
    INT_PTR result = ::DialogBoxParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(m_nIDTemplate), parent,
                                       &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    m_hWnd = nullptr;
    return m_bRunFailed ? -1 : result;
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(TRUE)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

// Messages whose result the dialog procedure returns itself instead of through DWLP_MSGRESULT.
static bool ReturnsResultDirectly(UINT message) {
    switch (message) {
    case WM_CHARTOITEM: case WM_COMPAREITEM: case WM_VKEYTOITEM: case WM_INITDIALOG:
    case WM_QUERYDRAGICON: case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN: case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
        return true;
    default:
        return false;
    }
}

// Windows' dialog manager does not cancel a dialog whose Cancel button is disabled: a close
// request (Alt+F4, the system menu, the title bar) or Escape only beeps. Wine sends IDCANCEL
// all the same, so the rule is kept here, before either reaches the system or the map.
bool CDialog::RefusesCancel(UINT message, WPARAM wParam) const {
    const bool cancelRequest =
        message == WM_CLOSE || (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL && HIWORD(wParam) == BN_CLICKED);
    if (!cancelRequest) return false;
    HWND cancel = ::GetDlgItem(m_hWnd, IDCANCEL);
    return cancel && !::IsWindowEnabled(cancel);
}

INT_PTR CDialog::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) return OnInitDialog();
    if (RefusesCancel(message, wParam)) {
        ::MessageBeep(0);
        ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, 0);
        return TRUE;
    }
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) {
        // Commands the dialog leaves alone go to the application (its Help command).
        CWinApp* app = AfxGetApp();
        if (message != WM_COMMAND || !app || !app->OnCmdMsg(LOWORD(wParam), HIWORD(wParam))) return FALSE;
    }
    if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialog* self;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, lParam);
        self->m_hWnd = hwnd;
    } else {
        self = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return FALSE;  // messages before WM_INITDIALOG

    INT_PTR handled = FALSE;
    // No exception may leave for the system's code. A handler that ran out of memory
    // has released what it held on the way out, so the user is told and the dialog
    // goes on (the action is simply not done); any other failure leaves the dialog's
    // state unknown, so the run ends with -1, as when the dialog cannot be made.
    try {
        handled = self->HandleMessage(hwnd, message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        CWinApp* app = AfxGetApp();
        ::MessageBoxW(hwnd, L"Out of memory.", app ? app->m_pszAppName : nullptr, MB_OK | MB_ICONSTOP);
        ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, 0);
        handled = TRUE;
    } catch (...) {
        self->m_bRunFailed = true;
        ::EndDialog(hwnd, -1);
        handled = TRUE;
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_hWnd = nullptr;
    }
    return handled;
}
