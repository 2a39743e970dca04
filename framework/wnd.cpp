// CWnd: handle attachment, window text and the dispatch of a message to the message map.
#include "wnd.h"

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

BOOL CWnd::Attach(HWND hwnd) {
    m_hWnd = hwnd;
    return hwnd != nullptr;
}

HWND CWnd::Detach() {
    HWND hwnd = m_hWnd;
    m_hWnd = nullptr;
    return hwnd;
}

int CWnd::GetWindowText(CString& text) const {
    int length = ::GetWindowTextLengthW(m_hWnd);
    if (length <= 0) {
        text.Empty();
        return 0;
    }
    int got = ::GetWindowTextW(m_hWnd, text.GetBufferSetLength(length + 1), length + 1);
    text.ReleaseBuffer(got > 0 ? got : 0);
    return text.GetLength();
}

LRESULT CWnd::Default() {
    if (m_pCurrentMsg) m_pCurrentMsg->wantDefault = true;
    return 0;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    UINT code = 0, id = 0;
    if (message == WM_COMMAND) {
        code = HIWORD(wParam);
        id = LOWORD(wParam);
        // An accelerator's command (code 1, no control) is the same command as the menu's.
        if (code == 1 && lParam == 0) code = 0;
    }
    const AfxMsgMapEntry* entry = FindMessageEntry(message, code, id);
    if (!entry) return FALSE;

    // Handlers may run nested (a handler that sends this window a message), so each
    // dispatch keeps its own record and puts the outer one back however it ends.
    struct Scope {
        CWnd* wnd;
        CurrentMessage* outer;
        ~Scope() { wnd->m_pCurrentMsg = outer; }
    };
    CurrentMessage current{false};
    Scope scope{this, m_pCurrentMsg};
    m_pCurrentMsg = &current;
    *result = entry->thunk(this, wParam, lParam);
    return current.wantDefault ? FALSE : TRUE;
}
