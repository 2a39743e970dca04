// CWinApp: the one application object, run by the framework's wWinMain.
#pragma once

#include <windows.h>

#include "cmd_target.h"
#include "cstring.h"

class CWnd;

#ifndef ID_HELP
#define ID_HELP 0xE146
#endif

class CWinApp : public CCmdTarget {
public:
    // Registers this object as the application; without a name, the program file's
    // title (its name without folder and extension) is the application's name.
    explicit CWinApp(LPCWSTR appName = nullptr);
    ~CWinApp() override;

    virtual BOOL InitInstance() { return TRUE; }
    // The result is the program's exit code: that of the WM_QUIT that ended Run, else 0.
    virtual int ExitInstance() { return m_nQuitCode; }
    // The message loop; ends at WM_QUIT with ExitInstance's result.
    virtual int Run();

    void SetRegistryKey(LPCWSTR key);

    afx_msg void OnHelp() {}

    LPCWSTR m_pszAppName = nullptr;
    LPCWSTR m_pszRegistryKey = nullptr;
    HINSTANCE m_hInstance = nullptr;
    LPWSTR m_lpCmdLine = nullptr;  // the command line after the program's own name
    int m_nCmdShow = SW_SHOWNORMAL;
    CWnd* m_pMainWnd = nullptr;

protected:
    DECLARE_MESSAGE_MAP()

private:
    CString m_appName;
    CString m_registryKey;
    int m_nQuitCode = 0;
};
