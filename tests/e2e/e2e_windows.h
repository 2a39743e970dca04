// Windows of another process as a user sees them: finding, reading, clicking, capturing.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// Each read waits at most this long for the other process's user-interface thread.
const UINT kSendTimeoutMs = 2000;

std::wstring ClassOf(HWND hwnd);
// The text through WM_GETTEXT, which the system carries across processes; empty when the
// other side does not answer in time.
std::wstring TextOf(HWND hwnd);
bool IsDialogWindow(HWND hwnd);
bool IsChecked(HWND button);
// A message sent with a time-out; false when the other side did not answer.
bool SendBounded(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result = nullptr);

// The visible top-level windows that the process owns, in z-order.
std::vector<HWND> TopWindowsOf(DWORD processId);
// Every child window, at any depth.
std::vector<HWND> Descendants(HWND parent);
// The first descendant with the control id and the class, or null.
HWND FindControl(HWND parent, int id, const wchar_t* className = nullptr);

// What a message box or an About box says: its static texts, icons left out, one per line.
std::wstring StaticTexts(HWND dialog);
// Every window of the process, one line each, indented by depth: for failure reports.
std::vector<std::wstring> DescribeWindows(DWORD processId);

// Copies the window's area of the screen into a 24-bit BMP file.
bool CaptureWindowToBmp(HWND hwnd, const std::wstring& path);

}  // namespace e2e
