// CWinApp and the program's entry point wWinMain, which runs the application object.
#include "win_app.h"

#include <new>
#include <vector>

#include "module_state.h"

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

static CString ProgramFileTitle() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return CString();
        if (n < path.size()) break;
        path.resize(path.size() * 2);
    }
    CString title(path.data());
    int slash = std::max(title.ReverseFind(L'\\'), title.ReverseFind(L'/'));
    title = title.Mid(slash + 1);
    int dot = title.ReverseFind(L'.');
    return dot > 0 ? title.Left(dot) : title;
}

CWinApp::CWinApp(LPCWSTR appName) : m_appName(appName) {
    if (m_appName.IsEmpty()) m_appName = ProgramFileTitle();
    m_pszAppName = m_appName;
    AfxModuleState& state = AfxGetModuleState();
    if (!state.pApp) state.pApp = this;
}

CWinApp::~CWinApp() {
    AfxModuleState& state = AfxGetModuleState();
    if (state.pApp == this) state.pApp = nullptr;
}

void CWinApp::SetRegistryKey(LPCWSTR key) {
    m_registryKey = key;
    m_pszRegistryKey = m_registryKey;
}

int CWinApp::Run() {
    MSG msg;
    for (;;) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            m_nQuitCode = static_cast<int>(msg.wParam);
            break;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return ExitInstance();
}

// Programs link with -municode, so the runtime starts them here with the command tail.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR cmdLine, int cmdShow) {
    AfxModuleState& state = AfxGetModuleState();
    state.hInstance = instance;
    state.hResource = instance;
    CWinApp* app = state.pApp;
    if (!app) return -1;
    app->m_hInstance = instance;
    app->m_lpCmdLine = cmdLine;
    app->m_nCmdShow = cmdShow;
    // Nothing may be thrown past the runtime; an application that lets an exception
    // out of its start-up or its loop has failed, and says so through the exit code.
    try {
        if (!app->InitInstance()) return app->ExitInstance();
        return app->Run();
    } catch (const std::bad_alloc&) {
        ::MessageBoxW(nullptr, L"Out of memory.", app->m_pszAppName, MB_OK | MB_ICONSTOP);
    } catch (...) {
    }
    return -1;
}
