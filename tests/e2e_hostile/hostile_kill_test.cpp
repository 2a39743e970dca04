// The program killed in the middle of an import: the knowledge base stays sound each time, and a new
// import of the same notebook into it then runs to the end.
#include <gtest/gtest.h>

#include "bench_notebook.h"
#include "hostile_run.h"
#include "hostile_suite.h"

namespace {

using namespace hostile;

const int kNotes = 300;
const DWORD kKillCode = 77;

TEST(HostileKill, KilledImportsLeaveTheKnowledgeBaseSound) {
    NoCrashDialog noCrashDialog;
    SuiteFolder suite(L"brelm_hostile_kill");
    const std::wstring exb = suite.Path() + L"notes.exb", kb = suite.Path() + L"kb.db";
    const std::wstring temp = suite.Path() + L"temp\\";
    ASSERT_TRUE(MakeFolders(temp));
    bench::NotebookShape shape;
    shape.notes = kNotes;
    shape.bodyBytes = 2000;
    shape.imageBytes = 4000;
    shape.attachmentBytes = 20000;
    std::string error;
    ASSERT_TRUE(bench::WriteBenchNotebook(exb, shape, 7, nullptr, &error)) << error;

    // Killed once early, once in the middle, once late; each run adds its notes to the same base.
    long long before = 0;
    for (const long long more : {3, 40, 120}) {
        SCOPED_TRACE("killed after " + std::to_string(more) + " more documents");
        Process driver;
        ASSERT_TRUE(driver.Start(DriverCommand(exb, kb, 120), TempEnvironment(temp)));
        DWORD program = 0;
        bool killed = false;
        const DWORD start = ::GetTickCount();
        while (!killed && ::GetTickCount() - start < 120000 && !driver.Wait(20)) {
            if (!program) program = ChildProcessOf(driver.Id(), L"BrelmEverNote.exe");
            if (program && KnowledgeBaseNumber(kb, "SELECT count(*) FROM documents") >= before + more) {
                HANDLE process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, program);
                ASSERT_NE(nullptr, process);
                killed = ::TerminateProcess(process, kKillCode) != FALSE;
                ::WaitForSingleObject(process, 10000);
                ::CloseHandle(process);
            }
        }
        ASSERT_TRUE(killed) << "the import ended before it could be killed:\n" << driver.Output();
        ASSERT_TRUE(driver.Wait(60000)) << driver.Output();
        const ImportRun report{true, false, driver.ExitCode(), driver.Output()};
        EXPECT_EQ(std::to_string(kKillCode), report.First("exit")) << report.report;
        EXPECT_EQ("", CheckKnowledgeBase(kb));
        const long long now = KnowledgeBaseNumber(kb, "SELECT count(*) FROM documents");
        EXPECT_GE(now, before + more);
        before = now;
    }

    const ImportRun last = RunImport(exb, kb, temp, 300);
    EXPECT_EQ(0u, last.driverExit) << last.report;
    EXPECT_EQ(std::vector<std::string>{"Import completed"}, last.All("message")) << last.report;
    EXPECT_EQ("0", last.First("exit")) << last.report;
    EXPECT_EQ("", CheckKnowledgeBase(kb));
    EXPECT_EQ(kNotes, KnowledgeBaseNumber(kb, "SELECT count(DISTINCT title) FROM documents WHERE html IS NOT NULL"));
    EXPECT_EQ(before + kNotes, KnowledgeBaseNumber(kb, "SELECT count(*) FROM documents"));
}

}  // namespace
