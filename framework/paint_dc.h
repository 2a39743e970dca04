// CPaintDC: holds a window's BeginPaint device context until it is destroyed.
#pragma once

#include <windows.h>

#include "wnd.h"

class CPaintDC {
public:
    explicit CPaintDC(CWnd* wnd) : m_hWndPaint(wnd->GetSafeHwnd()) {
        m_hDC = ::BeginPaint(m_hWndPaint, &m_ps);
    }
    ~CPaintDC() {
        if (m_hDC) ::EndPaint(m_hWndPaint, &m_ps);
    }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }
    BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }

    HDC m_hDC = nullptr;
    PAINTSTRUCT m_ps = {};

private:
    HWND m_hWndPaint;
};
