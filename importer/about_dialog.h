// CAboutDlg: the About box opened from the main dialog's system menu.
#pragma once

#include "afx.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
    ~CAboutDlg() override;

protected:
    DECLARE_MESSAGE_MAP()
};
