// CFileDialog in the shell's style under a real display: filter, initial folder, owner, result.
#include <gtest/gtest.h>

#include <shobjidl.h>

#include <thread>

#include "afx.h"
#include "framework_ui.h"

using namespace framework_ui;

namespace {

// The file-name field of the shell's dialog, and the combo box that holds the classic dialog's.
const int kFileNameEdit = 1152;
const int kClassicFileNameCombo = 1148;

// Stands in for the shell's Open dialog: Show answers with a chosen result and shows nothing.
class FailingShellDialog final : public IFileDialog, public IClassFactory {
public:
    explicit FailingShellDialog(HRESULT showResult) : m_showResult(showResult) {}
    int shown = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IClassFactory) *ppv = static_cast<IClassFactory*>(this);
        else if (riid == IID_IFileDialog || riid == IID_IModalWindow) *ppv = static_cast<IFileDialog*>(this);
        else { *ppv = nullptr; return E_NOINTERFACE; }
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives on the test's stack
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID riid, void** ppv) override {
        return QueryInterface(riid, ppv);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

    HRESULT STDMETHODCALLTYPE Show(HWND) override { ++shown; return m_showResult; }
    HRESULT STDMETHODCALLTYPE SetFileTypes(UINT, const COMDLG_FILTERSPEC*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetFileTypeIndex(UINT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetFileTypeIndex(UINT*) override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE Advise(IFileDialogEvents*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetOptions(FILEOPENDIALOGOPTIONS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetOptions(FILEOPENDIALOGOPTIONS* fos) override { *fos = 0; return S_OK; }
    HRESULT STDMETHODCALLTYPE SetDefaultFolder(IShellItem*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetFolder(IShellItem*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetFolder(IShellItem**) override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE GetCurrentSelection(IShellItem**) override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE SetFileName(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetFileName(LPWSTR*) override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE SetTitle(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetOkButtonLabel(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetFileNameLabel(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetResult(IShellItem**) override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE AddPlace(IShellItem*, FDAP) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetDefaultExtension(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Close(HRESULT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetClientGuid(REFGUID) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ClearClientData() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetFilter(IShellItemFilter*) override { return S_OK; }

private:
    HRESULT m_showResult;
};

CWinApp theApp(L"File Dialog Test");

class FileDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        folder.Format(L"%sbrelm_fw_filedialog_%lu\\", temp, ::GetCurrentProcessId());
        ::CreateDirectoryW(folder, nullptr);
        picked = folder + L"pick.fwp";
        HANDLE file = ::CreateFileW(picked, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        ::CloseHandle(file);
        // A window of this thread to own the dialog.
        owner = ::CreateWindowExW(0, L"STATIC", L"File dialog owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
        ASSERT_NE(nullptr, owner);
    }
    void TearDown() override {
        if (owner) ::DestroyWindow(owner);
        ::DeleteFileW(picked);
        ::RemoveDirectoryW(folder);
        ::CoUninitialize();
    }

    // Shows the dialog while the driver works it; the driver gets the dialog's window.
    template <typename Driver>
    INT_PTR RunDriven(CFileDialog& dlg, Driver driver) {
        DWORD uiThread = ::GetCurrentThreadId();
        std::thread helper([&] {
            HWND hwnd = WaitForOtherDialog(uiThread, nullptr);
            if (!hwnd) return;
            driver(hwnd);
            if (!WaitGone(hwnd, 3000)) ::PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
        });
        INT_PTR result = dlg.DoModal();
        helper.join();
        return result;
    }

    CString folder, picked;
    HWND owner = nullptr;
};

TEST_F(FileDialogTest, TypedNameIsTakenFromTheInitialFolder) {
    CWnd parent(owner);
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                    L"Probe Files (*.fwp)|*.fwp|All Files (*.*)|*.*|", &parent);
    dlg.m_ofn.lpstrInitialDir = folder;
    HWND dialogOwner = nullptr;
    std::wstring fileType;
    INT_PTR result = RunDriven(dlg, [&](HWND hwnd) {
        dialogOwner = ::GetWindow(hwnd, GW_OWNER);
        for (HWND h : Descendants(hwnd))
            if (ClassOf(h) == L"ComboBox") fileType = TextOf(h);
        // A bare name: the dialog resolves it against the folder it shows.
        ::SendMessageW(::GetDlgItem(hwnd, kFileNameEdit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"pick.fwp"));
        Click(::GetDlgItem(hwnd, IDOK));
        EXPECT_TRUE(WaitGone(hwnd));
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(picked, dlg.GetPathName());
    EXPECT_EQ(picked, CString(dlg.m_ofn.lpstrFile));
    EXPECT_EQ(owner, dialogOwner);
    EXPECT_EQ(L"Probe Files (*.fwp)", fileType);
}

// Without a parent the application's main window owns the dialog.
TEST_F(FileDialogTest, CancelGivesNoPath) {
    CWnd mainWnd(owner);
    theApp.m_pMainWnd = &mainWnd;
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY, L"Probe Files (*.fwp)|*.fwp|");
    dlg.m_ofn.lpstrInitialDir = folder;
    HWND dialogOwner = nullptr;
    INT_PTR result = RunDriven(dlg, [&](HWND hwnd) {
        dialogOwner = ::GetWindow(hwnd, GW_OWNER);
        ::SendMessageW(::GetDlgItem(hwnd, kFileNameEdit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"pick.fwp"));
        Click(::GetDlgItem(hwnd, IDCANCEL));
        EXPECT_TRUE(WaitGone(hwnd));
    });
    theApp.m_pMainWnd = nullptr;
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_TRUE(dlg.GetPathName().IsEmpty());
    EXPECT_EQ(owner, dialogOwner);
}

// The shell's dialog failing to show is no cancel: the classic dialog is shown instead.
TEST_F(FileDialogTest, ShellDialogFailureFallsBackToTheClassicDialogButCancelDoesNot) {
    const struct {
        HRESULT show;
        bool classicShown;
        INT_PTR result;
    } cases[] = {
        {E_FAIL, true, IDOK},
        {HRESULT_FROM_WIN32(ERROR_CANCELLED), false, IDCANCEL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.show);
        FailingShellDialog shell(c.show);
        DWORD cookie = 0;
        ASSERT_EQ(S_OK, ::CoRegisterClassObject(CLSID_FileOpenDialog, static_cast<IClassFactory*>(&shell),
                                                CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie));
        // The classic dialog would otherwise leave the test in the folder, which then cannot be removed.
        CFileDialog dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_NOCHANGEDIR, L"Probe Files (*.fwp)|*.fwp|");
        dlg.m_ofn.lpstrInitialDir = folder;
        DWORD uiThread = ::GetCurrentThreadId();
        volatile bool done = false;
        bool classicShown = false;
        std::thread helper([&] {
            HWND hwnd = nullptr;
            WaitUntil([&] { return done || (hwnd = WaitForOtherDialog(uiThread, nullptr, 50)) != nullptr; });
            if (!hwnd) return;
            classicShown = true;
            for (HWND h : Descendants(hwnd))
                if (::GetDlgCtrlID(h) == kClassicFileNameCombo && ClassOf(h) == L"Edit")
                    ::SendMessageW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"pick.fwp"));
            Click(::GetDlgItem(hwnd, IDOK));
            if (!WaitGone(hwnd, 3000)) ::PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
        });
        INT_PTR result = dlg.DoModal();
        done = true;
        helper.join();
        ::CoRevokeClassObject(cookie);
        EXPECT_EQ(1, shell.shown);
        EXPECT_EQ(c.classicShown, classicShown);
        EXPECT_EQ(c.result, result);
        EXPECT_STREQ(c.result == IDOK ? picked.GetString() : L"", dlg.GetPathName().GetString());
    }
}

}  // namespace
