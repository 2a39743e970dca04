// The framework's process-wide state, module handles and the application's message box.
#include "module_state.h"

#include "cstring.h"
#include "win_app.h"
#include "wnd.h"

AfxModuleState& AfxGetModuleState() {
    static AfxModuleState state = [] {
        AfxModuleState s;
        s.hInstance = ::GetModuleHandleW(nullptr);
        s.hResource = s.hInstance;
        return s;
    }();
    return state;
}

HINSTANCE AfxGetInstanceHandle() { return AfxGetModuleState().hInstance; }
HINSTANCE AfxGetResourceHandle() { return AfxGetModuleState().hResource; }

HINSTANCE AfxFindStringResourceHandle(UINT id) {
    std::wstring text;
    const AfxModuleState& state = AfxGetModuleState();
    if (afx_detail::LoadStringResource(state.hResource, id, text)) return state.hResource;
    if (state.hInstance != state.hResource && afx_detail::LoadStringResource(state.hInstance, id, text))
        return state.hInstance;
    return nullptr;
}

CWinApp* AfxGetApp() { return AfxGetModuleState().pApp; }

CWnd* AfxGetMainWnd() {
    CWinApp* app = AfxGetApp();
    return app ? app->m_pMainWnd : nullptr;
}

// Dialogs here host window-class controls only; there is no ActiveX site to set up.
void AfxEnableControlContainer() {}

// No help file is wired to the program, so the help id has nothing to select.
int AfxMessageBox(LPCWSTR text, UINT type, UINT helpId) {
    CWnd* main = AfxGetMainWnd();
    HWND owner = main ? main->GetSafeHwnd() : nullptr;
    if (owner && !::IsWindow(owner)) owner = nullptr;
    CWinApp* app = AfxGetApp();
    return ::MessageBoxW(owner, text ? text : L"", app ? app->m_pszAppName : nullptr, type);
}
