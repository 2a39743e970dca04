// CFileDialog: fills the classic OPENFILENAMEW and shows the shell's IFileDialog from it.
#include "file_dialog.h"

#include <shobjidl.h>

#include "com_ptr.h"
#include "module_state.h"
#include "wnd.h"

namespace {

// Large enough for any path the system hands back.
const size_t kFileBufferLength = 32768;

struct CoTaskString {
    LPWSTR p = nullptr;
    ~CoTaskString() { ::CoTaskMemFree(p); }
};

// The shell dialog's counterparts of the classic flags; the dialog's own defaults stay.
const struct { DWORD ofn; DWORD fos; } kFlagMap[] = {
    { OFN_OVERWRITEPROMPT, FOS_OVERWRITEPROMPT },   { OFN_NOCHANGEDIR, FOS_NOCHANGEDIR },
    { OFN_NOVALIDATE, FOS_NOVALIDATE },             { OFN_PATHMUSTEXIST, FOS_PATHMUSTEXIST },
    { OFN_FILEMUSTEXIST, FOS_FILEMUSTEXIST },       { OFN_CREATEPROMPT, FOS_CREATEPROMPT },
    { OFN_NODEREFERENCELINKS, FOS_NODEREFERENCELINKS }, { OFN_DONTADDTORECENT, FOS_DONTADDTORECENT },
    { OFN_FORCESHOWHIDDEN, FOS_FORCESHOWHIDDEN },
};

}  // namespace

CFileDialog::CFileDialog(BOOL openFileDialog, LPCWSTR defExt, LPCWSTR fileName, DWORD flags, LPCWSTR filter,
                         CWnd* parent, DWORD size, BOOL vistaStyle)
    : m_ofn(), m_bOpenFileDialog(openFileDialog), m_bVistaStyle(vistaStyle), m_pParentWnd(parent),
      m_defExt(defExt), m_filter(filter), m_fileBuffer(kFileBufferLength, L'\0') {
    if (!m_filter.IsEmpty()) {
        if (m_filter[m_filter.GetLength() - 1] != L'|') m_filter += L'|';
        m_filter.Replace(L'|', L'\0');  // with the terminator, the list ends in two NULs
    }
    if (fileName) ::lstrcpynW(m_fileBuffer.data(), fileName, static_cast<int>(m_fileBuffer.size()));

    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.Flags = flags | OFN_EXPLORER;
    m_ofn.lpstrFilter = m_filter.IsEmpty() ? nullptr : m_filter.GetString();
    m_ofn.nFilterIndex = 1;
    m_ofn.lpstrFile = m_fileBuffer.data();
    m_ofn.nMaxFile = static_cast<DWORD>(m_fileBuffer.size());
    m_ofn.lpstrDefExt = m_defExt.IsEmpty() ? nullptr : m_defExt.GetString();
}

INT_PTR CFileDialog::DoModal() {
    HWND owner = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
    if (!owner) {
        CWnd* main = AfxGetMainWnd();
        owner = main ? main->GetSafeHwnd() : nullptr;
        if (owner && !::IsWindow(owner)) owner = nullptr;
    }
    m_pathName.Empty();
    if (m_bVistaStyle) {
        INT_PTR result = IDCANCEL;
        if (ShowShellDialog(owner, result) == S_OK) return result;
    }
    return ShowClassicDialog(owner);
}

HRESULT CFileDialog::ShowShellDialog(HWND owner, INT_PTR& result) {
    result = IDCANCEL;
    CComPtr<IFileDialog> dialog;
    HRESULT hr = ::CoCreateInstance(m_bOpenFileDialog ? CLSID_FileOpenDialog : CLSID_FileSaveDialog, nullptr,
                                    CLSCTX_INPROC_SERVER, IID_IFileDialog, reinterpret_cast<void**>(&dialog));
    if (FAILED(hr)) return S_FALSE;  // COM not initialised on this thread, or no such dialog

    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    options |= FOS_FORCEFILESYSTEM;
    for (const auto& f : kFlagMap)
        if (m_ofn.Flags & f.ofn) options |= f.fos;
    dialog->SetOptions(options);

    std::vector<COMDLG_FILTERSPEC> types;
    for (LPCWSTR p = m_ofn.lpstrFilter; p && *p;) {
        LPCWSTR name = p;
        p += wcslen(p) + 1;
        if (!*p) break;  // a description without a pattern
        types.push_back({ name, p });
        p += wcslen(p) + 1;
    }
    if (!types.empty()) {
        dialog->SetFileTypes(static_cast<UINT>(types.size()), types.data());
        UINT index = m_ofn.nFilterIndex;
        dialog->SetFileTypeIndex(index >= 1 && index <= types.size() ? index : 1);
    }
    if (m_ofn.lpstrDefExt) dialog->SetDefaultExtension(m_ofn.lpstrDefExt);
    if (m_ofn.lpstrTitle) dialog->SetTitle(m_ofn.lpstrTitle);
    if (m_ofn.lpstrFile && *m_ofn.lpstrFile) dialog->SetFileName(m_ofn.lpstrFile);
    if (m_ofn.lpstrInitialDir && *m_ofn.lpstrInitialDir) {
        // A folder that does not exist is left out; the dialog then starts where it likes.
        CComPtr<IShellItem> folder;
        if (SUCCEEDED(::SHCreateItemFromParsingName(m_ofn.lpstrInitialDir, nullptr, IID_IShellItem,
                                                    reinterpret_cast<void**>(&folder))))
            dialog->SetFolder(folder);
    }

    // Only the user's cancel ends here; any other failure leaves the choice to the classic dialog.
    hr = dialog->Show(owner);
    if (hr == HRESULT_FROM_WIN32(ERROR_CANCELLED)) return S_OK;
    if (FAILED(hr)) return S_FALSE;
    CComPtr<IShellItem> item;
    CoTaskString path;
    if (FAILED(dialog->GetResult(&item)) || FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path.p)) || !path.p)
        return S_OK;
    m_pathName = path.p;
    if (m_ofn.lpstrFile && m_ofn.nMaxFile) ::lstrcpynW(m_ofn.lpstrFile, path.p, static_cast<int>(m_ofn.nMaxFile));
    UINT index = 0;
    if (!types.empty() && SUCCEEDED(dialog->GetFileTypeIndex(&index))) m_ofn.nFilterIndex = index;
    result = IDOK;
    return S_OK;
}

INT_PTR CFileDialog::ShowClassicDialog(HWND owner) {
    m_ofn.hwndOwner = owner;
    BOOL ok = m_bOpenFileDialog ? ::GetOpenFileNameW(&m_ofn) : ::GetSaveFileNameW(&m_ofn);
    if (!ok) return IDCANCEL;
    m_pathName = m_ofn.lpstrFile;
    return IDOK;
}
