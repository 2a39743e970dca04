// CFileDialog in the shell's style under a real display: filter, initial folder, owner, result.
#include <gtest/gtest.h>

#include <thread>

#include "afx.h"
#include "framework_ui.h"

using namespace framework_ui;

namespace {

// The shell dialog's file-name field.
const int kFileNameEdit = 1152;

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

}  // namespace
