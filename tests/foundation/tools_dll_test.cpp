// Binding the tools library: a missing library, missing exports, the setters and the two wrappers.
#include <gtest/gtest.h>

#include <vector>

#include "data_store.h"
#include "folders.h"
#include "foundation_test_support.h"
#include "global.h"
#include "settings.h"
#include "tools_dll.h"

namespace {

typedef const wchar_t*(WINAPI* PFN_ToolsTestRecord)();

CString Record(const CBrelmToolsDll& tools) {
    PFN_ToolsTestRecord record =
        reinterpret_cast<PFN_ToolsTestRecord>(::GetProcAddress(tools.m_hModule, "ToolsTestRecord"));
    return record ? CString(record()) : CString(L"(no library)");
}

CString CurrentFolder() {
    wchar_t folder[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, folder);
    ::PathAddBackslashW(folder);
    return folder;
}

// The binding hands the tools library the global object's temporary folder, created on the way.
class ToolsDll : public ::testing::Test {
protected:
    void SetUp() override {
        m_tempFolder = CString(m_scratch.Path().c_str()) + L"temp\\";
        BrelmGetKMGlobal()->SetTempFolder(m_tempFolder, 0);
        m_logged = FoundationLogTexts(BrelmGetLogFileName()).size();
    }
    void TearDown() override {
        BrelmGetKMGlobal()->SetTempFolder(nullptr, 0);
        ::SetCurrentDirectoryW(BrelmGetAppPath());
    }
    std::vector<CString> NewLogTexts() const {
        std::vector<CString> texts = FoundationLogTexts(BrelmGetLogFileName());
        return std::vector<CString>(texts.begin() + static_cast<long>(m_logged), texts.end());
    }

    FoundationTempDir m_scratch;
    CString m_tempFolder;
    size_t m_logged = 0;
};

}  // namespace

TEST_F(ToolsDll, MissingLibraryIsLoggedAndLeavesEverythingEmpty) {
    CString folder = CString(m_scratch.Path().c_str()) + L"none";
    ::CreateDirectoryW(folder, nullptr);
    CBrelmToolsDll tools(L"log", L"settings", folder);

    EXPECT_EQ(nullptr, tools.m_hModule);
    EXPECT_EQ(nullptr, tools.m_pfnSetLogFileName);
    EXPECT_EQ(nullptr, tools.m_pfnExecuteRunableInDlg);
    EXPECT_EQ(folder + L"\\", CurrentFolder());
    EXPECT_EQ((std::vector<CString>{L"ErrorCode=126", L"Failed to load BrelmTools.dll: " + folder + L"\\BrelmTools.dll"}),
              NewLogTexts());
    EXPECT_FALSE(::PathFileExistsW(m_tempFolder)) << "no temporary folder without a library";

    CString result = L"r", second = L"s";
    EXPECT_EQ(E_FAIL, tools.ParseHtml(L"<p>", nullptr, result, second));
    EXPECT_EQ(CString(L"r"), result);
    EXPECT_EQ(CString(L"s"), second);
    EXPECT_EQ(CString(), tools.TagGetAttribute(L"<img hash=\"a\">", L"hash"));
}

TEST_F(ToolsDll, LibraryInTheProgramFolderGetsTheFourSetters) {
    for (const wchar_t* folder : {static_cast<const wchar_t*>(nullptr), L""}) {
        ::RemoveDirectoryW(m_tempFolder);
        CBrelmToolsDll tools(L"C:\\store\\Brelm.log", L"C:\\store\\Brelm.xml", folder);
        ASSERT_NE(nullptr, tools.m_hModule);
        EXPECT_EQ(BrelmGetAppPath(), CurrentFolder());
        CString expected = CString(L"SetSecuteText:") + BrelmGetBuiltInSettingsText() +
                           L"\nSetLogFileName:C:\\store\\Brelm.log\nSetSettingsFileName:C:\\store\\Brelm.xml\n"
                           L"SetTempPath:" + m_tempFolder + L"\n";
        EXPECT_EQ(expected, Record(tools));
        EXPECT_TRUE(::PathIsDirectoryW(m_tempFolder));
        EXPECT_TRUE(NewLogTexts().empty());
    }
}

TEST_F(ToolsDll, PointersHoldTheExportsOfTheirOwnNames) {
    CBrelmToolsDll tools(nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, tools.m_hModule);
    EXPECT_EQ(::GetProcAddress(tools.m_hModule, "BrelmToolsPngLoad2"), tools.m_pfnPngLoad2);
    EXPECT_EQ(::GetProcAddress(tools.m_hModule, "BrelmToolsHtmlRenderMarkdown"), tools.m_pfnHtmlRenderMarkdown);
    EXPECT_EQ(reinterpret_cast<FARPROC>(tools.m_pfnTagSetAttribute),
              ::GetProcAddress(tools.m_hModule, "BrelmToolsTagSetAttribute"));
    EXPECT_EQ(nullptr, tools.m_pfnPngLoad);
    EXPECT_EQ(nullptr, tools.m_pfnPngFree);
    EXPECT_EQ(nullptr, tools.m_pfnHtmlRenderMathJax);
    EXPECT_EQ(CString(L"SetSecuteText:") + BrelmGetBuiltInSettingsText() + L"\nSetTempPath:" + m_tempFolder + L"\n",
              Record(tools))
        << "null file names are not handed on";
}

TEST_F(ToolsDll, ParseHtmlAndTagGetAttribute) {
    CBrelmToolsDll tools(nullptr, nullptr, nullptr);
    CString page = L"<p>page</p>", second = L"old";
    EXPECT_EQ(S_OK, tools.ParseHtml(page, nullptr, page, second));
    EXPECT_EQ(CString(L"<parsed><p>page</p>"), page);
    EXPECT_EQ(CString(), second);
    EXPECT_EQ(S_OK, tools.ParseHtml(L"second", nullptr, page, second));
    EXPECT_EQ(CString(L"second text"), second);
    EXPECT_EQ(E_ABORT, tools.ParseHtml(L"fail", nullptr, page, second));
    EXPECT_EQ(CString(L"<parsed>second"), page);
    EXPECT_EQ(CString(L"second text"), second);

    EXPECT_EQ(CString(L"abc"), tools.TagGetAttribute(L"<img hash=\"abc\" src=\"x\">", L"hash"));
    EXPECT_EQ(CString(), tools.TagGetAttribute(L"<img src=\"x\">", L"hash"));
}

TEST_F(ToolsDll, MissingExportsAreSkipped) {
    CBrelmToolsDll tools(L"log", nullptr, BrelmGetAppPath() + L"partial");
    ASSERT_NE(nullptr, tools.m_hModule);
    EXPECT_EQ(nullptr, tools.m_pfnSetTempPath);
    EXPECT_EQ(CString(L"SetSecuteText:") + BrelmGetBuiltInSettingsText() + L"\nSetLogFileName:log\n", Record(tools));
    EXPECT_TRUE(::PathIsDirectoryW(m_tempFolder)) << "asked for even without its setter";

    CString result = L"r", second = L"s";
    EXPECT_EQ(E_FAIL, tools.ParseHtml(L"<p>", nullptr, result, second));
    EXPECT_EQ(CString(L"r"), result);
    EXPECT_EQ(CString(), tools.TagGetAttribute(L"<img hash=\"a\">", L"hash"));
}
