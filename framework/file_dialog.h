// CFileDialog: the system's Open and Save As dialogs, in the shell's (Vista) style or the classic one.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "cstring.h"

class CWnd;

class CFileDialog {
public:
    // The filter lists pairs of description and pattern, each followed by '|':
    // "Text Files (*.txt)|*.txt|All Files (*.*)|*.*|". The size is that of the
    // classic OPENFILENAMEW, which is always used whole.
    explicit CFileDialog(BOOL openFileDialog, LPCWSTR defExt = nullptr, LPCWSTR fileName = nullptr,
                         DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCWSTR filter = nullptr,
                         CWnd* parent = nullptr, DWORD size = 0, BOOL vistaStyle = TRUE);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;
    virtual ~CFileDialog() = default;

    // IDOK when a file was chosen, IDCANCEL otherwise.
    virtual INT_PTR DoModal();
    CString GetPathName() const { return m_pathName; }

    // Callers may set lpstrInitialDir and lpstrTitle before DoModal.
    OPENFILENAMEW m_ofn;

private:
    // S_FALSE when the shell's dialog is not available here or fails to show.
    HRESULT ShowShellDialog(HWND owner, INT_PTR& result);
    INT_PTR ShowClassicDialog(HWND owner);

    BOOL m_bOpenFileDialog;
    BOOL m_bVistaStyle;
    CWnd* m_pParentWnd;
    CString m_defExt;
    CString m_filter;  // pairs separated by NULs, ending with two NULs
    std::vector<wchar_t> m_fileBuffer;
    CString m_pathName;
};
