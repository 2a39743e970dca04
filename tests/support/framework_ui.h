// Helpers for tests that drive the windows of another thread: waiting, finding and reading windows.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace framework_ui {

// Polls the condition until it holds or the time is up; the condition's last result.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs = 15000) {
    DWORD start = ::GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount() - start > timeoutMs) return condition();
        ::Sleep(20);
    }
}

inline std::wstring ClassOf(HWND hwnd) {
    wchar_t name[256] = {};
    ::GetClassNameW(hwnd, name, 256);
    return name;
}

// Reads a window's text through WM_GETTEXT, so it also works for another thread's controls.
inline std::wstring TextOf(HWND hwnd) {
    LRESULT length = ::SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    LRESULT got = ::SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(got));
    return text;
}

inline BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

// The visible dialog-class top-level windows of a thread, in z-order.
inline std::vector<HWND> DialogsOfThread(DWORD threadId) {
    std::vector<HWND> all, found;
    ::EnumThreadWindows(threadId, &CollectWindow, reinterpret_cast<LPARAM>(&all));
    for (HWND hwnd : all)
        if (::IsWindowVisible(hwnd) && ClassOf(hwnd) == L"#32770") found.push_back(hwnd);
    return found;
}

// Waits for a visible dialog of the thread other than the given one.
inline HWND WaitForOtherDialog(DWORD threadId, HWND except, DWORD timeoutMs = 15000) {
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND h : DialogsOfThread(threadId))
            if (h != except) { found = h; return true; }
        return false;
    }, timeoutMs);
    return found;
}

inline std::vector<HWND> Descendants(HWND parent) {
    std::vector<HWND> found;
    ::EnumChildWindows(parent, &CollectWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

// The texts of a window's static controls, one per line: what a message box says.
inline std::wstring StaticTexts(HWND parent) {
    std::wstring all;
    for (HWND h : Descendants(parent)) {
        if (_wcsicmp(ClassOf(h).c_str(), L"Static") != 0) continue;
        std::wstring text = TextOf(h);
        if (text.empty()) continue;
        if (!all.empty()) all += L'\n';
        all += text;
    }
    return all;
}

// Clicks a button the way the user would, without waiting for what the click starts.
inline bool Click(HWND button) { return button && ::PostMessageW(button, BM_CLICK, 0, 0); }

inline bool WaitGone(HWND hwnd, DWORD timeoutMs = 15000) {
    return WaitUntil([&] { return !::IsWindow(hwnd); }, timeoutMs);
}

}  // namespace framework_ui
