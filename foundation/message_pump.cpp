// Dispatching the thread's waiting messages, and disabling a window's children for a while.
#include "message_pump.h"

namespace {

// Windows beyond this many siblings are left alone.
const int kMaxChildSteps = 100;

}  // namespace

void BrelmPumpMessages() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
        if (message.message == WM_QUIT) return;
        BOOL result = ::GetMessageW(&message, nullptr, 0, 0);
        if (result == -1) return;
        if (result == 0) {
            ::PostQuitMessage(0);
            return;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

CBrelmChildWindowDisabler::CBrelmChildWindowDisabler(HWND parent) {
    HWND window = ::GetWindow(parent, GW_CHILD);
    int steps = 0;
    while (window) {
        if (::IsWindowEnabled(window)) {
            m_disabledWindows.insert(window);
            ::EnableWindow(window, FALSE);
        }
        window = ::GetWindow(window, GW_HWNDNEXT);
        if (++steps > kMaxChildSteps) break;
    }
    BrelmPumpMessages();
}

CBrelmChildWindowDisabler::~CBrelmChildWindowDisabler() {
    for (HWND window : m_disabledWindows) ::EnableWindow(window, TRUE);
}
