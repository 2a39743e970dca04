// A tiny CWinApp program that the start-up test runs: it reports what wWinMain gave it.
#include "afx.h"

namespace {

// Writes the lines as UTF-16 to the file named by the environment; the test reads them.
void Report(const CString& text) {
    wchar_t path[MAX_PATH] = {};
    if (!::GetEnvironmentVariableW(L"BRELM_FW_PROBE_OUT", path, MAX_PATH)) return;
    HANDLE file = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, text.GetString(), static_cast<DWORD>(text.GetLength() * sizeof(wchar_t)), &written, nullptr);
    ::CloseHandle(file);
}

bool RunMode() {
    wchar_t mode[16] = {};
    ::GetEnvironmentVariableW(L"BRELM_FW_PROBE_MODE", mode, 16);
    return wcscmp(mode, L"run") == 0;
}

class CProbeApp : public CWinApp {
public:
    BOOL InitInstance() override {
        HINSTANCE self = ::GetModuleHandleW(nullptr);
        CString report;
        report.Format(L"%s\n%s\n%d", m_lpCmdLine ? m_lpCmdLine : L"(null)", m_pszAppName,
                      m_hInstance == self && AfxGetInstanceHandle() == self && AfxGetResourceHandle() == self &&
                          AfxGetApp() == this);
        Report(report);
        if (!RunMode()) return FALSE;
        ::PostQuitMessage(23);
        return TRUE;
    }
    // 37 after a failed start-up; after the loop, the quit code plus 100.
    int ExitInstance() override { return RunMode() ? CWinApp::ExitInstance() + 100 : 37; }
};

CProbeApp theApp;

}  // namespace
