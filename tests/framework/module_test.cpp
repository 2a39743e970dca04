// Module state and message maps without windows: string lookup, the app object, map chaining.
#include <gtest/gtest.h>

#include "afx.h"
#include "framework_test_res.h"

namespace {

TEST(ModuleState, FindsTheModuleOfAStringOnlyWhenItHasText) {
    HINSTANCE self = ::GetModuleHandleW(nullptr);
    EXPECT_EQ(self, AfxGetResourceHandle());
    EXPECT_EQ(self, AfxGetInstanceHandle());
    const struct { UINT id; HINSTANCE module; } cases[] = {
        { IDS_PROBE_PRESENT, self }, { IDS_PROBE_EMPTY, nullptr }, { IDS_PROBE_ABSENT, nullptr }, { 60000, nullptr },
    };
    for (const auto& c : cases) EXPECT_EQ(c.module, AfxFindStringResourceHandle(c.id)) << c.id;
    CString text;
    EXPECT_TRUE(text.LoadString(IDS_PROBE_PRESENT));
    EXPECT_EQ(CString(L"Probe string"), text);
}

TEST(ModuleState, OneApplicationObjectNamedAfterTheProgram) {
    EXPECT_EQ(nullptr, AfxGetApp());
    EXPECT_EQ(nullptr, AfxGetMainWnd());
    {
        CWinApp app;
        CWinApp second(L"Second");
        EXPECT_EQ(&app, AfxGetApp());
        EXPECT_STREQ(L"framework_module_test", app.m_pszAppName);
        EXPECT_STREQ(L"Second", second.m_pszAppName);
        app.SetRegistryKey(L"");
        EXPECT_STREQ(L"", app.m_pszRegistryKey);
        CWnd main;
        app.m_pMainWnd = &main;
        EXPECT_EQ(&main, AfxGetMainWnd());
    }
    EXPECT_EQ(nullptr, AfxGetApp());
}

class CBaseTarget : public CCmdTarget {
public:
    int last = 0;

protected:
    void OnFive() { last = 5; }
    void OnSix() { last = 6; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseTarget, CCmdTarget)
    ON_COMMAND(5, &CBaseTarget::OnFive)
    ON_COMMAND(6, &CBaseTarget::OnSix)
END_MESSAGE_MAP()

class CDerivedTarget : public CBaseTarget {
protected:
    void OnFiveHere() { last = 55; }
    void OnClicked() { last = 7; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedTarget, CBaseTarget)
    ON_BN_CLICKED(7, &CDerivedTarget::OnClicked)
    ON_COMMAND(5, &CDerivedTarget::OnFiveHere)
END_MESSAGE_MAP()

TEST(MessageMap, DerivedEntriesComeFirstAndTheChainReachesTheBase) {
    const struct { UINT id, code; BOOL handled; int last; } cases[] = {
        { 5, 0, TRUE, 55 },              // the derived entry hides the base's
        { 6, 0, TRUE, 6 },               // found in the base map
        { 7, BN_CLICKED, TRUE, 7 },
        { 7, BN_DOUBLECLICKED, FALSE, 0 },  // another notification of the same control
        { 8, 0, FALSE, 0 },
    };
    for (const auto& c : cases) {
        CDerivedTarget target;
        EXPECT_EQ(c.handled, target.OnCmdMsg(c.id, c.code)) << c.id;
        EXPECT_EQ(c.last, target.last) << c.id;
    }
    CBaseTarget base;
    EXPECT_TRUE(base.OnCmdMsg(5, 0));
    EXPECT_EQ(5, base.last);
}

}  // namespace
