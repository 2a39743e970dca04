// The framework's process-wide state and the Afx functions that read it.
#pragma once

#include <windows.h>

class CWinApp;
class CWnd;

// The only process-wide state of the framework; built on first use.
struct AfxModuleState {
    HINSTANCE hInstance = nullptr;  // the program's module
    HINSTANCE hResource = nullptr;  // where dialogs, icons and strings are looked up
    CWinApp* pApp = nullptr;        // the one application object, or null
};

AfxModuleState& AfxGetModuleState();

HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
// The module that holds a non-empty string with this id, or null.
HINSTANCE AfxFindStringResourceHandle(UINT id);
CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
void AfxEnableControlContainer();
// Owned by the main window when it exists; the caption is the application's name.
int AfxMessageBox(LPCWSTR text, UINT type = MB_OK, UINT helpId = 0);
