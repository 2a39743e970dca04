// kbdump: date and digest forms, refusal of other files, and the console tool's output.
#include "exb_fixture.h"
#include "kb_test_support.h"

using namespace core_test;

namespace {

TEST(KbDump, DatesToTheSecond) {
    const struct {
        double date;
        const char* text;
    } cases[] = {
        {0.0, "1899-12-30 00:00:00"},
        {0.5, "1899-12-30 12:00:00"},
        {-1.25, "1899-12-29 06:00:00"},
        {-0.25, "1899-12-30 06:00:00"},
        {1.0, "1899-12-31 00:00:00"},
        {60.0, "1900-02-28 00:00:00"},
        {61.0, "1900-03-01 00:00:00"},
        {36526.0, "2000-01-01 00:00:00"},
        {45406.583333333336, "2024-04-24 14:00:00"},
        {45351.99999, "2024-02-29 23:59:59"},
        {45351.9999999, "2024-03-01 00:00:00"},
        {2958465.99998, "9999-12-31 23:59:58"},
        {-657434.0, "0100-01-01 00:00:00"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.text, kbdump::FormatOleDate(c.date)) << c.date;
}

TEST(KbDump, Md5Digests) {
    EXPECT_EQ("d41d8cd98f00b204e9800998ecf8427e", kbdump::Md5Hex(""));
    EXPECT_EQ("900150983cd24fb0d6963f7d28e17f72", kbdump::Md5Hex("abc"));
}

TEST(KbDump, RefusesWhatIsNoKnowledgeBase) {
    TempDir dir;
    {
        exb::ExbFixture fx(dir / L"notes.exb");
        ASSERT_TRUE(fx.ok()) << fx.error();
    }
    ASSERT_TRUE(WriteBytes(dir / L"text.db", "no database"));
    for (const std::wstring& path : {dir / L"notes.exb", dir / L"text.db", dir / L"missing.db"}) {
        std::string text, error;
        EXPECT_FALSE(kbdump::DumpKnowledgeBase(path, &text, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(text.empty());
    }
    EXPECT_FALSE(FileExists(dir / L"missing.db"));
}

class KbDumpTool : public KnowledgeBaseTest {
protected:
    // Runs kbdump.exe beside the test with its output in a file; gives the exit code.
    DWORD Run(const std::wstring& arguments, std::string* output) {
        wchar_t exe[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, exe, MAX_PATH);
        std::wstring tool = exe;
        tool = tool.substr(0, tool.find_last_of(L"\\/") + 1) + L"kbdump.exe";
        const std::wstring outPath = dir_ / L"out.txt";
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        HANDLE out = CreateFileW(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = out;
        startup.hStdError = out;
        PROCESS_INFORMATION child = {};
        std::wstring command = L"\"" + tool + L"\" " + arguments;
        DWORD code = 999;
        if (CreateProcessW(tool.c_str(), &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child)) {
            WaitForSingleObject(child.hProcess, 60000);
            GetExitCodeProcess(child.hProcess, &code);
            CloseHandle(child.hThread);
            CloseHandle(child.hProcess);
        }
        CloseHandle(out);
        *output = ReadBytes(outPath);
        return code;
    }
};

TEST_F(KbDumpTool, PrintsTheDumpOrSaysWhatIsWrong) {
    Ref<IBrelmDocument> doc = Document(L"/Notes/\u65e5\u672c/", L"Gr\u00fc\u00dfe");
    ASSERT_TRUE(doc);
    doc.Reset();
    std::string output;
    EXPECT_EQ(0u, Run(L"\"" + kb_ + L"\"", &output));
    EXPECT_EQ(Dump(), output);
    EXPECT_NE(std::string::npos, output.find("\"Gr\xc3\xbc\xc3\x9f" "e\"")) << output;
    EXPECT_EQ(2u, Run(L"", &output));
    EXPECT_NE(std::string::npos, output.find("usage")) << output;
    EXPECT_EQ(1u, Run(L"\"" + dir_ / L"missing.db" + L"\"", &output));
    EXPECT_NE(std::string::npos, output.find("missing.db")) << output;
}

}  // namespace
