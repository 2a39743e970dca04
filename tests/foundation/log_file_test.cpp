// The log file: UTF-16 with its mark, one line per call in the fixed format, size and mark rules.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "foundation_test_support.h"
#include "log_file.h"
#include "string_helpers.h"

namespace {

class LogFile : public ::testing::Test {
protected:
    CString Path() const { return CString(m_folder.Path().c_str()) + L"test.log"; }
    std::wstring Content() const {
        std::string bytes = FoundationReadBytes(Path());
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
    }
    // The line written for a text by the calling thread, up to the time in it.
    static std::wstring LineStart() { return L"log_file_test.exe "; }
    static std::wstring LineEnd(const wchar_t* text, DWORD threadId = ::GetCurrentThreadId()) {
        CString ids;
        ids.Format(L" (%lu-%lu): ", ::GetCurrentProcessId(), threadId);
        return std::wstring(ids.GetString()) + text + L"\r\n";
    }

    FoundationTempDir m_folder;
};

bool EndsWith(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

TEST_F(LogFile, MissingFileStartsWithMarkAndOneLine) {
    CString before = BrelmGetDateTimeText(COleDateTime::GetCurrentTime());
    BrelmAppendLogLine(Path(), L"first line");
    CString after = BrelmGetDateTimeText(COleDateTime::GetCurrentTime());

    std::wstring content = Content();
    ASSERT_EQ(L'\xFEFF', content[0]);
    std::wstring line = content.substr(1);
    ASSERT_EQ(0u, line.find(LineStart()));
    ASSERT_TRUE(EndsWith(line, LineEnd(L"first line"))) << CStringA(line.c_str()).GetString();
    std::wstring time = line.substr(LineStart().size(), line.size() - LineStart().size() - LineEnd(L"first line").size());
    EXPECT_TRUE(time == before.GetString() || time == after.GetString()) << CStringA(time.c_str()).GetString();
    EXPECT_EQ(1u, std::count(line.begin(), line.end(), L'\n'));
}

TEST_F(LogFile, LinesAreAppendedWithBreaksAsSpaces) {
    BrelmAppendLogLine(Path(), L"one");
    BrelmAppendLogLine(Path(), L"a\r\nb\nc\rd");
    BrelmAppendLogLine(Path(), nullptr);
    DWORD otherThread = 0;
    std::thread([&] {
        otherThread = ::GetCurrentThreadId();
        BrelmAppendLogLine(Path(), L"from a thread");
    }).join();

    std::wstring content = Content();
    EXPECT_EQ(1u, std::count(content.begin(), content.end(), L'\xFEFF'));
    EXPECT_EQ(4u, std::count(content.begin(), content.end(), L'\n'));
    size_t first = content.find(LineEnd(L"one"));
    size_t second = content.find(LineEnd(L"a  b c d"));
    size_t third = content.find(LineEnd(L""));
    size_t fourth = content.find(LineEnd(L"from a thread", otherThread));
    EXPECT_TRUE(first < second && second < third && third < fourth && fourth != std::wstring::npos);
}

TEST_F(LogFile, SizeAndMarkDecideWhetherTheFileStartsAfresh) {
    const size_t limit = 0x100000;
    struct Case {
        const char* what;
        std::string bytes;
        bool kept;
    };
    const std::vector<Case> cases = {
        {"exactly one MiB", std::string("\xFF\xFE") + std::string(limit - 2, 'x'), true},
        {"one byte more", std::string("\xFF\xFE") + std::string(limit - 1, 'x'), false},
        {"UTF-8 mark", "\xEF\xBB\xBFold line\r\n", false},
        {"no mark", "old line\r\n", false},
        {"the mark alone", "\xFF\xFE", false},
        {"a small log", std::string("\xFF\xFE") + FoundationUtf16Bytes(L"old\r\n"), true},
    };
    for (const Case& c : cases) {
        FoundationWriteBytes(Path(), c.bytes);
        BrelmAppendLogLine(Path(), L"new");
        std::string bytes = FoundationReadBytes(Path());
        if (c.kept) {
            EXPECT_EQ(0, bytes.compare(0, c.bytes.size(), c.bytes)) << c.what;
            EXPECT_GT(bytes.size(), c.bytes.size()) << c.what;
        } else {
            std::wstring content = Content();
            EXPECT_EQ(0u, content.find(std::wstring(L"\xFEFF") + LineStart())) << c.what;
            EXPECT_TRUE(EndsWith(content, LineEnd(L"new"))) << c.what;
            EXPECT_EQ(1u, std::count(content.begin(), content.end(), L'\n')) << c.what;
        }
    }
}

TEST_F(LogFile, LineIsLostWhileAnotherWriterHoldsTheFile) {
    BrelmAppendLogLine(Path(), L"one");
    std::string before = FoundationReadBytes(Path());
    HANDLE holder = ::CreateFileW(Path(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    BrelmAppendLogLine(Path(), L"lost");
    ::CloseHandle(holder);
    EXPECT_EQ(before, FoundationReadBytes(Path()));

    BrelmAppendLogLine(CString(m_folder.Path().c_str()) + L"no\\such\\folder\\x.log", L"lost");
    BrelmAppendLogLine(nullptr, L"lost");
}
