// CWinApp start-up in a program of its own: the command tail, ExitInstance's code, the loop's end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "afx.h"

namespace {

struct ProbeRun {
    DWORD exitCode = 0xFFFFFFFF;
    std::wstring report;
};

class WinAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t path[MAX_PATH];
        ::GetModuleFileNameW(nullptr, path, MAX_PATH);
        CString self(path);
        builtProbe = self.Left(self.ReverseFind(L'\\') + 1) + L"framework_app_probe.exe";
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        // A folder and program name with spaces: the program's name must be quoted on the line.
        folder.Format(L"%sbrelm fw app %lu\\", temp, ::GetCurrentProcessId());
        ::CreateDirectoryW(folder, nullptr);
        spacedProbe = folder + L"app probe.exe";
        ASSERT_TRUE(::CopyFileW(builtProbe, spacedProbe, FALSE));
        reportFile = folder + L"report.txt";
        ::SetEnvironmentVariableW(L"BRELM_FW_PROBE_OUT", reportFile);
    }
    void TearDown() override {
        ::SetEnvironmentVariableW(L"BRELM_FW_PROBE_OUT", nullptr);
        ::SetEnvironmentVariableW(L"BRELM_FW_PROBE_MODE", nullptr);
        ::DeleteFileW(reportFile);
        ::DeleteFileW(spacedProbe);
        ::RemoveDirectoryW(folder);
    }

    ProbeRun Run(const CString& program, const CString& commandLine) {
        ProbeRun run;
        ::DeleteFileW(reportFile);
        std::vector<wchar_t> line(commandLine.GetString(), commandLine.GetString() + commandLine.GetLength() + 1);
        STARTUPINFOW si = {};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi = {};
        if (!::CreateProcessW(program, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            ADD_FAILURE() << "CreateProcess failed: " << ::GetLastError();
            return run;
        }
        if (::WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) ::GetExitCodeProcess(pi.hProcess, &run.exitCode);
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
        HANDLE file = ::CreateFileW(reportFile, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            wchar_t buffer[1024] = {};
            DWORD got = 0;
            ::ReadFile(file, buffer, sizeof(buffer) - sizeof(wchar_t), &got, nullptr);
            ::CloseHandle(file);
            run.report.assign(buffer, got / sizeof(wchar_t));
        }
        return run;
    }

    CString builtProbe, folder, spacedProbe, reportFile;
};

TEST_F(WinAppTest, FailedInitInstanceEndsWithExitInstanceCodeAndSeesTheCommandTail) {
    const struct {
        bool spaced;
        const wchar_t* arguments;  // what follows the program's name on the line
        const wchar_t* tail;
    } cases[] = {
        { true, L"   /AppPath=\"C:\\Some Folder\" /Debug", L"/AppPath=\"C:\\Some Folder\" /Debug" },
        { true, L"", L"" },
        { false, L" one  two ", L"one  two " },
    };
    for (const auto& c : cases) {
        CString program = c.spaced ? spacedProbe : builtProbe;
        CString name = c.spaced ? CString(L"app probe") : CString(L"framework_app_probe");
        ProbeRun run = Run(program, L"\"" + program + L"\"" + c.arguments);
        EXPECT_EQ(37u, run.exitCode) << c.arguments;
        EXPECT_EQ(std::wstring(c.tail) + L"\n" + name.GetString() + L"\n1", run.report) << c.arguments;
    }
}

TEST_F(WinAppTest, RunEndsAtQuitWithExitInstanceCode) {
    ::SetEnvironmentVariableW(L"BRELM_FW_PROBE_MODE", L"run");
    ProbeRun run = Run(builtProbe, L"framework_app_probe.exe x");
    EXPECT_EQ(123u, run.exitCode);
    EXPECT_EQ(L"x\nframework_app_probe\n1", run.report);
}

}  // namespace
