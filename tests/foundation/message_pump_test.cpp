// The message pump and the child-window disabler on real windows.
#include <gtest/gtest.h>

#include <vector>

#include "message_pump.h"

namespace {

int g_handled = 0;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) ++g_handled;
    return ::DefWindowProcW(window, message, wParam, lParam);
}

class MessagePump : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = CountingProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"BrelmPumpTest";
        ::RegisterClassW(&windowClass);
        m_parent = ::CreateWindowExW(0, L"BrelmPumpTest", L"parent", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr,
                                     nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, m_parent);
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {}
        g_handled = 0;
    }
    void TearDown() override { ::DestroyWindow(m_parent); }

    // The parent's children from the top of the z-order down.
    std::vector<HWND> ChildrenInZOrder() const {
        std::vector<HWND> children;
        for (HWND child = ::GetWindow(m_parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
            children.push_back(child);
        return children;
    }

    HWND m_parent = nullptr;
};

}  // namespace

TEST_F(MessagePump, DispatchesWhatWaitsAndLeavesQuitInTheQueue) {
    BrelmPumpMessages();  // an empty queue: returns at once

    ::PostMessageW(m_parent, WM_APP, 0, 0);
    ::PostMessageW(m_parent, WM_APP, 0, 0);
    ::PostQuitMessage(7);
    BrelmPumpMessages();
    EXPECT_EQ(2, g_handled);
    MSG message;
    ASSERT_TRUE(::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(static_cast<UINT>(WM_QUIT), message.message);
    EXPECT_EQ(7u, message.wParam);

    ::PostThreadMessageW(::GetCurrentThreadId(), WM_QUIT, 9, 0);
    ::PostMessageW(m_parent, WM_APP, 0, 0);
    BrelmPumpMessages();
    EXPECT_EQ(2, g_handled) << "a quit message at the head stops the pump";
    ASSERT_TRUE(::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(static_cast<UINT>(WM_QUIT), message.message);
    EXPECT_EQ(9u, message.wParam);
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {}
}

namespace {

const UINT kVanishing = WM_APP + 1;
bool g_removing = false;

// Takes the vanishing message out of the queue while a look without removing sees it,
// as when a message seen is gone by the time it is to be taken.
LRESULT CALLBACK RemoveOnLookHook(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* seen = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_NOREMOVE && seen->message == kVanishing && !g_removing) {
        g_removing = true;
        MSG taken;
        ::PeekMessageW(&taken, nullptr, kVanishing, kVanishing, PM_REMOVE);
        g_removing = false;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

struct PumpWaker {
    DWORD thread;
    HANDLE pumpReturned;  // set by the pumping thread
    bool woke;
};

// A pump still busy after ten seconds waits for a message that does not come: wakes it, and says so.
DWORD WINAPI WakeAStuckPump(void* param) {
    PumpWaker* waker = static_cast<PumpWaker*>(param);
    if (::WaitForSingleObject(waker->pumpReturned, 10000) == WAIT_OBJECT_0) return 0;
    waker->woke = true;
    ::PostThreadMessageW(waker->thread, WM_NULL, 0, 0);
    return 0;
}

}  // namespace

TEST_F(MessagePump, AMessageGoneBeforeItIsTakenDoesNotMakeThePumpWait) {
    HHOOK hook = ::SetWindowsHookExW(WH_GETMESSAGE, RemoveOnLookHook, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
    PumpWaker waker = {::GetCurrentThreadId(), ::CreateEventW(nullptr, TRUE, FALSE, nullptr), false};
    HANDLE wakerThread = ::CreateThread(nullptr, 0, WakeAStuckPump, &waker, 0, nullptr);
    ASSERT_NE(nullptr, wakerThread);
    ::PostMessageW(m_parent, kVanishing, 0, 0);
    BrelmPumpMessages();
    ::SetEvent(waker.pumpReturned);
    ::UnhookWindowsHookEx(hook);
    ::WaitForSingleObject(wakerThread, INFINITE);  // bounded by the waker's own wait
    ::CloseHandle(wakerThread);
    ::CloseHandle(waker.pumpReturned);
    EXPECT_FALSE(waker.woke) << "the pump waited for a message";
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {}
}

TEST_F(MessagePump, DisablerWithoutChildrenStillPumps) {
    ::PostMessageW(m_parent, WM_APP, 0, 0);
    CBrelmChildWindowDisabler disabler(m_parent);
    EXPECT_TRUE(disabler.m_disabledWindows.empty());
    EXPECT_EQ(1, g_handled);
    EXPECT_TRUE(::IsWindowEnabled(m_parent));
}

TEST_F(MessagePump, DisablesTheFirst101ChildrenAndEnablesOnlyThoseAgain) {
    for (int i = 0; i < 150; ++i)
        ::CreateWindowExW(0, L"Static", L"", WS_CHILD, 0, 0, 10, 10, m_parent, nullptr, nullptr, nullptr);
    std::vector<HWND> children = ChildrenInZOrder();
    ASSERT_EQ(150u, children.size());
    HWND grandchild =
        ::CreateWindowExW(0, L"Static", L"", WS_CHILD, 0, 0, 5, 5, children[0], nullptr, nullptr, nullptr);
    ::EnableWindow(children[2], FALSE);

    {
        CBrelmChildWindowDisabler disabler(m_parent);
        EXPECT_EQ(100u, disabler.m_disabledWindows.size());
        for (size_t i = 0; i < children.size(); ++i)
            EXPECT_EQ(i >= 101, ::IsWindowEnabled(children[i]) != FALSE) << "child " << i;
        EXPECT_EQ(0u, disabler.m_disabledWindows.count(children[2]));
        EXPECT_TRUE(::IsWindowEnabled(grandchild));
        EXPECT_TRUE(::IsWindowEnabled(m_parent));
    }
    for (size_t i = 0; i < children.size(); ++i)
        EXPECT_EQ(i != 2, ::IsWindowEnabled(children[i]) != FALSE) << "child " << i;
}
