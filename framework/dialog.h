// CDialog: a modal dialog from a resource template, with data exchange to member controls.
#pragma once

#include <windows.h>

#include "wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

    BOOL m_bSaveAndValidate;  // TRUE: controls to members; FALSE: members to controls
    CWnd* m_pDlgWnd;
};

// Binds a member control to the dialog's control with this id (again after each
// run of the dialog, since every run makes new windows).
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr)
        : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

    // Runs the dialog; the result given to EndDialog, or -1 when the dialog could not be made
    // or a handler failed.
    virtual INT_PTR DoModal();
    // After a handler failed, the run's result stays -1 whatever the code still running asks.
    void EndDialog(int result) {
        if (!m_bRunFailed) ::EndDialog(m_hWnd, result);
    }
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

protected:
    virtual void DoDataExchange(CDataExchange* pDX) {}

    afx_msg void OnSysCommand(UINT nID, LPARAM lParam) { Default(); }
    afx_msg void OnPaint() { Default(); }

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

    DECLARE_MESSAGE_MAP()

private:
    bool m_bRunFailed = false;

    bool RefusesCancel(UINT message, WPARAM wParam) const;
    INT_PTR HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};
