// The global object: one instance, temporary folders, resource paths, which class logs, the /Debug switch.
#include <gtest/gtest.h>

#include <vector>

#include "data_store.h"
#include "folders.h"
#include "foundation_test_support.h"
#include "global.h"

namespace {

size_t OwnLogLines() { return FoundationLogTexts(BrelmGetLogFileName()).size(); }

}  // namespace

TEST(BrelmGetKMGlobal, OneObjectForTheProcess) {
    IBrelmGlobal* global = BrelmGetKMGlobal();
    EXPECT_EQ(global, BrelmGetKMGlobal());
    EXPECT_NE(nullptr, dynamic_cast<CBrelmKMGlobal*>(global));
    EXPECT_EQ(CString(L"Brelm"), global->GetProductName());
}

TEST(CBrelmGlobalDefault, TemporaryFolders) {
    CBrelmGlobalDefault global;
    CString standard = BrelmGetSystemTempFolder() + L"Brelm\\";
    EXPECT_EQ(standard, global.GetTempFolder());
    EXPECT_TRUE(::PathIsDirectoryW(standard));

    FoundationTempDir scratch;
    CString own = CString(scratch.Path().c_str()) + L"a\\b\\";
    global.SetTempFolder(own, 7);
    EXPECT_EQ(own, global.GetTempFolder());
    EXPECT_TRUE(::PathIsDirectoryW(own));
    ::RemoveDirectoryW(own);
    EXPECT_EQ(own, global.GetTempFolder());
    EXPECT_TRUE(::PathIsDirectoryW(own)) << "made again on every call";

    global.SetTempFolder(nullptr, 0);
    EXPECT_EQ(standard, global.GetTempFolder());
    EXPECT_EQ(standard, global.m_strTempFolder);
}

TEST(CBrelmGlobalDefault, ResourcePaths) {
    CBrelmGlobalDefault global;
    struct Case {
        const wchar_t* text;
        BOOL expected;
    };
    const std::vector<Case> cases = {
        {L"%ResourceFilePath%/image.png", TRUE}, {L"%ResourceFilePath%/", TRUE},
        {L"%resourcefilepath%/image.png", FALSE}, {L"%ResourceFilePath%\\image.png", FALSE},
        {L"%ResourceFilePath%", FALSE},          {nullptr, FALSE},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, global.IsResourcePath(c.text)) << CStringA(c.text).GetString();
}

TEST(CBrelmKMGlobal, FileNamesOfTheDataStore) {
    // This program runs in portable mode from a folder of its own.
    CString store = BrelmGetAppPath() + L"Zi Zivuzizoz\\";
    EXPECT_EQ(store + L"Brelm.xml", BrelmGetKMGlobal()->GetSettingsFileName());
    EXPECT_EQ(store + L"Brelm.log", BrelmGetLogFileName());
    CBrelmGlobalDefault plain;
    EXPECT_EQ(CString(), plain.GetSettingsFileName());
}

TEST(CBrelmKMGlobal, OnlyTheLogClassWritesAndFlagsDoNotMatter) {
    size_t before = OwnLogLines();
    CBrelmGlobalDefault plain;
    plain.WriteLog(L"dropped", 0);
    plain.WriteDebugLog(L"dropped");
    BrelmGetKMGlobal()->WriteLog(L"kept", 0);
    BrelmGetKMGlobal()->WriteLog(L"kept", 7);
    BrelmGetKMGlobal()->WriteDebugLog(L"no debug switch");
    std::vector<CString> texts = FoundationLogTexts(BrelmGetLogFileName());
    EXPECT_EQ((std::vector<CString>{L"kept", L"kept"}), std::vector<CString>(texts.begin() + static_cast<long>(before), texts.end()));
}

TEST(CBrelmKMGlobal, DebugSwitchAnywhereInTheCommandLine) {
    EXPECT_EQ(0, FoundationRunChildTest(L"GlobalChild.DISABLED_WritesDebugLines", nullptr, L"x/dEbUgging"));
}

TEST(GlobalChild, DISABLED_WritesDebugLines) {
    size_t before = OwnLogLines();
    CBrelmGlobalDefault plain;
    plain.WriteDebugLog(L"dropped");
    BrelmGetKMGlobal()->WriteDebugLog(L"debug line");
    std::vector<CString> texts = FoundationLogTexts(BrelmGetLogFileName());
    EXPECT_EQ(std::vector<CString>{L"debug line"}, std::vector<CString>(texts.begin() + static_cast<long>(before), texts.end()));
}
