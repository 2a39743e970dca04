// Dispatching the thread's waiting messages, and disabling a window's children for a while.
#include "message_pump.h"

namespace {

// Windows beyond this many siblings are left alone.
const int kMaxChildSteps = 100;

}  // namespace

// The message seen is taken with PeekMessageW, not GetMessageW: a message seen can be
// gone when it is to be taken (an input message dropped on the way, or one removed by a
// handler of a message sent meanwhile), and GetMessageW would then wait for the next
// message, which may never come while the import runs.
void BrelmPumpMessages() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
        if (message.message == WM_QUIT) return;
        if (!::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) continue;
        if (message.message == WM_QUIT) {
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
