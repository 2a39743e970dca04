// Dispatching waiting messages during long work, with the dialog's children disabled.
#pragma once

#include <set>
#include "afx.h"

void BrelmPumpMessages();

class CBrelmChildWindowDisabler {
public:
    explicit CBrelmChildWindowDisabler(HWND parent);
    ~CBrelmChildWindowDisabler();

    std::set<HWND> m_disabledWindows;

private:
    CBrelmChildWindowDisabler(const CBrelmChildWindowDisabler&) = delete;
    CBrelmChildWindowDisabler& operator=(const CBrelmChildWindowDisabler&) = delete;
};
