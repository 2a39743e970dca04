// CDialog under a real display: message-map dispatch, data exchange, OK/Cancel, Default(),
// results returned directly, commands routed to the application, and the message boxes.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <stdexcept>
#include <thread>
#include <vector>

#include "afx.h"
#include "framework_test_res.h"
#include "framework_ui.h"

using namespace framework_ui;

namespace {

class CTestApp : public CWinApp {
public:
    CTestApp() : CWinApp(L"Framework Test") {}
    int helpCount = 0;

protected:
    afx_msg void OnAppHelp() { ++helpCount; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
    ON_COMMAND(ID_HELP, &CTestApp::OnAppHelp)
END_MESSAGE_MAP()

CTestApp theApp;

class CProbeDlg : public CDialog {
public:
    CProbeDlg() : CDialog(IDD_PROBE) {}

    std::atomic<HWND> ready{nullptr};
    HICON dragIcon = ::LoadIconW(nullptr, IDI_QUESTION);
    // What the handlers saw; read by the test after DoModal.
    std::vector<BOOL> exchanges;
    bool exchangeWindowOk = true;
    bool boundInInit = false;
    int progressAfterInit = -1;
    int goCount = 0, okCount = 0, cancelCount = 0, commandCount = 0;
    std::atomic<int> paintCount{0};  // also watched by the driver
    CString goText, editAtOK;
    int checkAtOK = -1;
    std::vector<UINT> sysCommands;
    int messageResult = 0;

    CEdit m_edit;
    CStatic m_status;
    CProgressCtrl m_progress;
    CButton m_check;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        exchanges.push_back(pDX->m_bSaveAndValidate);
        exchangeWindowOk = exchangeWindowOk && pDX->m_pDlgWnd == this;
        DDX_Control(pDX, IDC_PROBE_EDIT, m_edit);
        DDX_Control(pDX, IDC_PROBE_STATUS, m_status);
        DDX_Control(pDX, IDC_PROBE_PROGRESS, m_progress);
        DDX_Control(pDX, IDC_PROBE_CHECK, m_check);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        boundInInit = m_edit.m_hWnd && m_edit.m_hWnd == GetDlgItem(IDC_PROBE_EDIT) &&
                      m_check.m_hWnd == GetDlgItem(IDC_PROBE_CHECK);
        m_progress.SetRange32(0, 50);
        m_progress.SetPos(10);
        progressAfterInit = m_progress.GetPos();
        ready = m_hWnd;
        return TRUE;
    }
    void OnOK() override {
        ++okCount;
        checkAtOK = m_check.GetCheck();
        m_edit.GetWindowText(editAtOK);
        CDialog::OnOK();
    }
    void OnCancel() override {
        ++cancelCount;
        CDialog::OnCancel();
    }
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam) {
        sysCommands.push_back(nID);
        if ((nID & 0xFFF0) != 0x10) CDialog::OnSysCommand(nID, lParam);
    }
    afx_msg void OnPaint() {
        ++paintCount;
        CDialog::OnPaint();
    }
    afx_msg HCURSOR OnQueryDragIcon() { return static_cast<HCURSOR>(dragIcon); }
    afx_msg void OnGo() {
        ++goCount;
        m_edit.GetWindowText(goText);
        m_progress.SetPos(goText.GetLength());
        m_status.SetWindowText(L"went");
    }
    afx_msg void OnThrow() { throw std::bad_alloc(); }
    afx_msg void OnMessage() {
        messageResult = AfxMessageBox(L"Hello from the probe", MB_OKCANCEL | MB_ICONINFORMATION);
    }
    afx_msg void OnProbeCommand() { ++commandCount; }
    afx_msg void OnFail() { throw std::runtime_error("probe failure"); }
    // A long action that pumps messages, during which another handler fails, then ends as usual.
    afx_msg void OnFailNested() {
        ::PostMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(IDM_PROBE_FAIL, 0), 0);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        OnOK();
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_PROBE_GO, &CProbeDlg::OnGo)
    ON_BN_CLICKED(IDC_PROBE_THROW, &CProbeDlg::OnThrow)
    ON_BN_CLICKED(IDC_PROBE_MESSAGE, &CProbeDlg::OnMessage)
    ON_COMMAND(IDM_PROBE_COMMAND, &CProbeDlg::OnProbeCommand)
    ON_COMMAND(IDM_PROBE_FAIL, &CProbeDlg::OnFail)
    ON_COMMAND(IDM_PROBE_FAIL_NESTED, &CProbeDlg::OnFailNested)
END_MESSAGE_MAP()

// Why the last run that gave -1 failed, for the failure messages.
DWORD lastModalError = 0;

// Runs the dialog modally on this thread while the driver works it from another.
// The driver runs only when the dialog came up, gets its window and must end it.
INT_PTR RunDriven(CProbeDlg& dlg, const std::function<void(HWND)>& driver) {
    std::atomic<bool> returned{false};
    std::thread helper([&] {
        HWND hwnd = nullptr;
        WaitUntil([&] { return (hwnd = dlg.ready.load()) != nullptr || returned; });
        if (hwnd) driver(hwnd);
        // Whatever the driver did, the modal run must not outlive it.
        if (hwnd && !WaitGone(hwnd, 3000)) ::PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
    });
    INT_PTR result = dlg.DoModal();
    if (result == -1) lastModalError = ::GetLastError();
    returned = true;
    helper.join();
    return result;
}

class DialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX icc = { sizeof(icc), ICC_WIN95_CLASSES };
        ::InitCommonControlsEx(&icc);
    }
    const DWORD uiThread = ::GetCurrentThreadId();
};

TEST_F(DialogTest, ControlsBindAndOkSavesThroughDataExchange) {
    CProbeDlg dlg;
    std::wstring status;
    LRESULT progressAfterGo = -1;
    INT_PTR result = RunDriven(dlg, [&](HWND hwnd) {
        ::SendMessageW(::GetDlgItem(hwnd, IDC_PROBE_EDIT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"hello"));
        ::SendMessageW(::GetDlgItem(hwnd, IDC_PROBE_CHECK), BM_CLICK, 0, 0);
        ::SendMessageW(::GetDlgItem(hwnd, IDC_PROBE_GO), BM_CLICK, 0, 0);
        status = TextOf(::GetDlgItem(hwnd, IDC_PROBE_STATUS));
        progressAfterGo = ::SendMessageW(::GetDlgItem(hwnd, IDC_PROBE_PROGRESS), PBM_GETPOS, 0, 0);
        Click(::GetDlgItem(hwnd, IDOK));
        EXPECT_TRUE(WaitGone(hwnd));
    });
    ASSERT_EQ(IDOK, result) << "DoModal failed with error " << lastModalError;
    EXPECT_TRUE(dlg.boundInInit);
    EXPECT_EQ(10, dlg.progressAfterInit);
    EXPECT_EQ(1, dlg.goCount);
    EXPECT_EQ(CString(L"hello"), dlg.goText);
    EXPECT_EQ(L"went", status);
    EXPECT_EQ(5, progressAfterGo);
    EXPECT_EQ((std::vector<BOOL>{FALSE, TRUE}), dlg.exchanges);
    EXPECT_TRUE(dlg.exchangeWindowOk);
    EXPECT_EQ(1, dlg.okCount);
    EXPECT_EQ(0, dlg.cancelCount);
    EXPECT_EQ(BST_CHECKED, dlg.checkAtOK);
    EXPECT_EQ(CString(L"hello"), dlg.editAtOK);
    EXPECT_EQ(nullptr, dlg.GetSafeHwnd());
}

TEST_F(DialogTest, SystemCommandsDragIconAndDefaultFallthrough) {
    CProbeDlg dlg;
    bool aboutKeptDialog = false;
    bool validated = false;
    LRESULT dragIcon = 0;
    INT_PTR result = RunDriven(dlg, [&](HWND hwnd) {
        ::SendMessageW(hwnd, WM_SYSCOMMAND, 0x10, 0);  // taken by the handler
        aboutKeptDialog = ::IsWindow(hwnd) != FALSE;
        dragIcon = ::SendMessageW(hwnd, WM_QUERYDRAGICON, 0, 0);
        // Painting falls to Default() too, which validates the window. The dialog paints
        // only when its queue runs empty, so a close posted before would end it unpainted.
        validated = WaitUntil([&] { return dlg.paintCount > 0 && !::GetUpdateRect(hwnd, nullptr, FALSE); });
        // The handler falls to Default(): the system closes the dialog, through Cancel.
        ::PostMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_TRUE(WaitGone(hwnd));
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_TRUE(aboutKeptDialog);
    EXPECT_EQ(reinterpret_cast<LRESULT>(dlg.dragIcon), dragIcon);
    EXPECT_EQ((std::vector<UINT>{0x10, SC_CLOSE}), dlg.sysCommands);
    EXPECT_EQ(1, dlg.cancelCount);
    EXPECT_EQ(0, dlg.okCount);
    EXPECT_EQ((std::vector<BOOL>{FALSE}), dlg.exchanges);  // Cancel exchanges nothing
    // Without Default() the window would never be validated and would be painted again and again.
    EXPECT_TRUE(validated);
    EXPECT_GE(dlg.paintCount.load(), 1);
    EXPECT_LT(dlg.paintCount.load(), 50);
}

TEST_F(DialogTest, CommandsReachTheMapThenTheApplication) {
    CProbeDlg dlg;
    INT_PTR result = RunDriven(dlg, [&](HWND hwnd) {
        ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDM_PROBE_COMMAND, 0), 0);  // menu
        ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDM_PROBE_COMMAND, 1), 0);  // accelerator
        ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDM_PROBE_COMMAND, EN_CHANGE),
                       reinterpret_cast<LPARAM>(::GetDlgItem(hwnd, IDC_PROBE_EDIT)));  // other code
        ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(ID_HELP, 0), 0);
        ::PostMessageW(hwnd, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(WaitGone(hwnd));
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(2, dlg.commandCount);
    EXPECT_EQ(1, theApp.helpCount);
}

TEST_F(DialogTest, MessageBoxIsOwnedByTheMainWindowWithTheAppCaption) {
    CProbeDlg dlg;
    theApp.m_pMainWnd = &dlg;
    HWND owner = nullptr;
    std::wstring caption, text;
    INT_PTR result = RunDriven(dlg, [&](HWND hwnd) {
        Click(::GetDlgItem(hwnd, IDC_PROBE_MESSAGE));
        HWND box = WaitForOtherDialog(uiThread, hwnd);
        ASSERT_NE(nullptr, box);
        owner = ::GetWindow(box, GW_OWNER);
        caption = TextOf(box);
        text = StaticTexts(box);
        Click(::GetDlgItem(box, IDCANCEL));
        EXPECT_TRUE(WaitGone(box));
        Click(::GetDlgItem(hwnd, IDOK));
        EXPECT_TRUE(WaitGone(hwnd));
    });
    theApp.m_pMainWnd = nullptr;
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(L"Framework Test", caption);
    EXPECT_NE(std::wstring::npos, text.find(L"Hello from the probe")) << text;
    EXPECT_NE(nullptr, owner);
    EXPECT_EQ(IDCANCEL, dlg.messageResult);
}

TEST_F(DialogTest, OutOfMemoryInAHandlerIsReportedAndTheDialogGoesOn) {
    CProbeDlg dlg;
    std::wstring text;
    bool aliveAfterBox = false;
    INT_PTR result = RunDriven(dlg, [&](HWND hwnd) {
        Click(::GetDlgItem(hwnd, IDC_PROBE_THROW));
        HWND box = WaitForOtherDialog(uiThread, hwnd);
        ASSERT_NE(nullptr, box);
        text = StaticTexts(box);
        Click(::GetDlgItem(box, IDOK));
        EXPECT_TRUE(WaitGone(box));
        aliveAfterBox = ::IsWindow(hwnd) != FALSE;
        ::SendMessageW(::GetDlgItem(hwnd, IDC_PROBE_GO), BM_CLICK, 0, 0);
        Click(::GetDlgItem(hwnd, IDCANCEL));
        EXPECT_TRUE(WaitGone(hwnd));
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_NE(std::wstring::npos, text.find(L"Out of memory.")) << text;
    EXPECT_TRUE(aliveAfterBox);
    EXPECT_EQ(1, dlg.goCount);
}

// Any other failure ends the run with -1, also one inside a nested pump, which the outer
// handler's own ending does not overwrite.
TEST_F(DialogTest, AnyOtherFailureInAHandlerEndsTheRunWithMinusOne) {
    for (UINT command : {IDM_PROBE_FAIL, IDM_PROBE_FAIL_NESTED}) {
        CProbeDlg dlg;
        INT_PTR result = RunDriven(dlg, [&](HWND hwnd) {
            ::PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(command, 0), 0);
            EXPECT_TRUE(WaitGone(hwnd));
        });
        EXPECT_EQ(-1, result) << command;
        EXPECT_EQ(0, dlg.cancelCount) << command;
    }
}

// With Cancel disabled (a long action running) neither a close request nor Escape ends the
// dialog; once Cancel is enabled again both do.
TEST_F(DialogTest, DisabledCancelRefusesCloseAndEscape) {
    CProbeDlg dlg;
    bool survived = false;
    INT_PTR result = RunDriven(dlg, [&](HWND hwnd) {
        HWND cancel = ::GetDlgItem(hwnd, IDCANCEL);
        const auto escape = [&] { ::PostMessageW(::GetDlgItem(hwnd, IDC_PROBE_GO), WM_KEYDOWN, VK_ESCAPE, 0); };
        // Go sets the progress bar to the length of the edit's text: the dialog got that far in its queue.
        const auto drain = [&](int mark) {
            const std::wstring text(mark, L'x');
            ::SendMessageW(::GetDlgItem(hwnd, IDC_PROBE_EDIT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
            ::PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDC_PROBE_GO, BN_CLICKED), 0);
            WaitUntil([&] { return ::SendMessageW(::GetDlgItem(hwnd, IDC_PROBE_PROGRESS), PBM_GETPOS, 0, 0) == mark; });
        };
        ::EnableWindow(cancel, FALSE);
        ::PostMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        ::PostMessageW(hwnd, WM_CLOSE, 0, 0);
        escape();
        // Twice: what the requests themselves posted is behind the first mark.
        drain(1);
        drain(2);
        survived = ::IsWindowVisible(hwnd) != FALSE;
        ::EnableWindow(cancel, TRUE);
        escape();
        EXPECT_TRUE(WaitGone(hwnd));
    });
    EXPECT_TRUE(survived);
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_EQ(1, dlg.cancelCount);
}

TEST_F(DialogTest, MissingTemplateFailsWithMinusOne) {
    CDialog dlg(4321);
    EXPECT_EQ(-1, dlg.DoModal());
    EXPECT_EQ(nullptr, dlg.GetSafeHwnd());
}

}  // namespace
