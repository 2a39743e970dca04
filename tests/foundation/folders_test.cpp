// The program's own file and folder, the install folder and the trailing-separator rule.
#include <gtest/gtest.h>

#include <wctype.h>

#include "folders.h"
#include "foundation_test_support.h"

// Until start-up assigns it, the install folder is the program folder. Start-up assigns the AppPath
// text through the reference and applies the trailing-separator rule; the tools library's name follows.
TEST(InstallFolder, ProgramFolderUntilAssigned) {
    EXPECT_EQ(BrelmGetAppPath(), BrelmGetInstallFolder());
    EXPECT_EQ(BrelmGetAppPath() + L"BrelmTools.dll", BrelmGetToolsDllFileName());
    const struct {
        const wchar_t* appPath;
        const wchar_t* folder;
    } cases[] = {
        {L"D:\\Brelm", L"D:\\Brelm\\"}, {L"D:\\Brelm/", L"D:\\Brelm/"}, {L"C:\\", L"C:\\"}, {L"", L""},
    };
    for (const auto& c : cases) {
        CString& installFolder = BrelmGetInstallFolder();
        installFolder = c.appPath;
        BrelmAppendBackslash(installFolder);
        EXPECT_EQ(CString(c.folder), BrelmGetInstallFolder());
        EXPECT_EQ(CString(c.folder) + L"BrelmTools.dll", BrelmGetToolsDllFileName());
    }
}

// Started through its short (8.3) path with a lower-case drive letter, the program still names itself
// in long form with an upper-case drive letter, and its folder ends with '\'.
TEST(ModuleFileName, LongFormWithUpperCaseDrive) {
    FoundationTempDir temp;
    const CString folder = CString(temp.Path().c_str()) + L"Program Folder With A Long Name\\";
    const CString program = folder + L"folders test program.exe";
    ASSERT_TRUE(::CreateDirectoryW(folder, nullptr));
    ASSERT_TRUE(::CopyFileW(FoundationOwnProgram(), program, FALSE));
    wchar_t shortForm[MAX_PATH] = {};
    ASSERT_NE(0u, ::GetShortPathNameW(program, shortForm, MAX_PATH));
    shortForm[0] = static_cast<wchar_t>(towlower(shortForm[0]));
    ::SetEnvironmentVariableW(L"BRELM_FOLDERS_TEST_PROGRAM", program);
    EXPECT_EQ(0, FoundationRunProgram(shortForm, L"--gtest_also_run_disabled_tests "
                                                 L"--gtest_filter=ModuleFileName.DISABLED_AsStarted"));
    ::SetEnvironmentVariableW(L"BRELM_FOLDERS_TEST_PROGRAM", nullptr);
}

TEST(ModuleFileName, DISABLED_AsStarted) {
    wchar_t program[MAX_PATH] = {};
    ::GetEnvironmentVariableW(L"BRELM_FOLDERS_TEST_PROGRAM", program, MAX_PATH);
    EXPECT_EQ(CString(program), BrelmGetModuleFileName());
    EXPECT_EQ(CString(program, static_cast<int>(::PathFindFileNameW(program) - program)), BrelmGetAppPath());
}
