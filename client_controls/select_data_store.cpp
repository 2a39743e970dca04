// BrelmKMSelectDataStore: asks the user which of two data-store folders to use.
#include <windows.h>
#include <oleauto.h>
#include <string>

#include "brelm_tools_api.h"
#include "dialog_template.h"
#include "select_data_store.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

struct ChooserState {
    const wchar_t* registryFolder;
    const wchar_t* portableFolder;
    bool portableChosen;
};

// A button shows "&" as a mnemonic marker; a folder name must show as it is.
std::wstring ButtonText(const wchar_t* folder) {
    std::wstring text;
    for (const wchar_t* p = folder; *p; ++p) {
        if (*p == L'&') text += L'&';
        text += *p;
    }
    return text;
}

INT_PTR CALLBACK ChooserProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        auto* state = reinterpret_cast<ChooserState*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        try {
            SetDlgItemTextW(dialog, IDC_DATA_STORE_REGISTRY, ButtonText(state->registryFolder).c_str());
            SetDlgItemTextW(dialog, IDC_DATA_STORE_PORTABLE, ButtonText(state->portableFolder).c_str());
        } catch (...) {
            // Without memory for the texts the buttons stay unnamed; the choice still works.
        }
        CheckRadioButton(dialog, IDC_DATA_STORE_REGISTRY, IDC_DATA_STORE_PORTABLE, IDC_DATA_STORE_REGISTRY);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            auto* state = reinterpret_cast<ChooserState*>(GetWindowLongPtrW(dialog, DWLP_USER));
            state->portableChosen = IsDlgButtonChecked(dialog, IDC_DATA_STORE_PORTABLE) == BST_CHECKED;
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

// Shows the chooser; IDOK when the user confirmed a choice, IDCANCEL when dismissed, -1 on failure.
INT_PTR RunChooser(ChooserState& state) {
    CDialogTemplateBuilder dlg(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER |
                                   DS_SETFOREGROUND,
                               320, 79, BRELMKM_SELECT_DATA_STORE_CAPTION, 8, L"MS Shell Dlg");
    dlg.AddControl(CDialogTemplateBuilder::Static, 0xFFFF, SS_LEFT, 7, 7, 306, 8,
                   L"Brelm found two data folders. Which one should it use?");
    dlg.AddControl(CDialogTemplateBuilder::Button, IDC_DATA_STORE_REGISTRY,
                   BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 14, 22, 299, 10, L"");
    dlg.AddControl(CDialogTemplateBuilder::Button, IDC_DATA_STORE_PORTABLE, BS_AUTORADIOBUTTON, 14, 36, 299,
                   10, L"");
    dlg.AddControl(CDialogTemplateBuilder::Button, IDOK, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 209, 58,
                   50, 14, L"OK");
    dlg.AddControl(CDialogTemplateBuilder::Button, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 263, 58, 50, 14,
                   L"Cancel");
    return DialogBoxIndirectParamW(reinterpret_cast<HINSTANCE>(&__ImageBase), dlg.Get(), nullptr,
                                   ChooserProc, reinterpret_cast<LPARAM>(&state));
}

}  // namespace

// The answer is the portable folder only when the user picked it and pressed OK;
// every other outcome keeps the folder recorded in the registry.
extern "C" HRESULT WINAPI BrelmKMSelectDataStore(LPCWSTR registryFolder, LPCWSTR portableFolder,
                                                 BSTR* chosenFolder) {
    if (!chosenFolder) return E_POINTER;
    *chosenFolder = nullptr;
    ChooserState state = {registryFolder ? registryFolder : L"", portableFolder ? portableFolder : L"", false};
    HRESULT hr;
    try {
        const INT_PTR result = RunChooser(state);
        if (result == IDOK) {
            hr = S_OK;
        } else if (result == IDCANCEL) {
            hr = S_FALSE;
        } else {
            const DWORD error = GetLastError();
            hr = error ? HRESULT_FROM_WIN32(error) : E_FAIL;
        }
    } catch (...) {
        hr = E_OUTOFMEMORY;
    }
    *chosenFolder = SysAllocString(state.portableChosen ? state.portableFolder : state.registryFolder);
    if (!*chosenFolder) return E_OUTOFMEMORY;
    return hr;
}
