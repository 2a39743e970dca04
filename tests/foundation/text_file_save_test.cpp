// Saving UTF-16 text: the mark, CR LF line ends, folders, replacing and cutting files, failures in the log.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "data_store.h"
#include "foundation_test_support.h"
#include "message_texts.h"
#include "text_file_save.h"

namespace {

class TextFileSave : public ::testing::Test {
protected:
    CString Path(const wchar_t* name) const { return CString(m_folder.Path().c_str()) + name; }

    // The log lines this process wrote since the test began.
    std::vector<CString> NewLogTexts() const {
        std::vector<CString> texts = FoundationLogTexts(BrelmGetLogFileName());
        return std::vector<CString>(texts.begin() + static_cast<long>(std::min(texts.size(), m_logged)), texts.end());
    }

    void SetUp() override { m_logged = FoundationLogTexts(BrelmGetLogFileName()).size(); }

    FoundationTempDir m_folder;
    size_t m_logged = 0;
};

std::string Saved(const std::wstring& text) { return "\xFF\xFE" + FoundationUtf16Bytes(text); }

}  // namespace

TEST_F(TextFileSave, WritesMarkAndCrLfLineEnds) {
    struct Case {
        const wchar_t* text;
        const wchar_t* stored;
    };
    const std::vector<Case> cases = {
        {L"", L""},           {L"a\nb", L"a\r\nb"},   {L"a\r\nb", L"a\r\nb"},   {L"a\rb", L"a\rb"},
        {L"\nx", L"\r\nx"},   {L"\n\n", L"\r\n\r\n"}, {L"a\r\r\n", L"a\r\r\n"}, {L"\x4E2D\n", L"\x4E2D\r\n"},
    };
    for (const Case& c : cases) {
        CString converted;
        EXPECT_TRUE(BrelmConvertLfToCrLf(c.text, converted));
        EXPECT_EQ(CString(c.stored), converted);
        EXPECT_TRUE(BrelmSaveUnicodeTextToFile(Path(L"page.htm"), c.text));
        EXPECT_EQ(Saved(c.stored), FoundationReadBytes(Path(L"page.htm")));
    }
    EXPECT_TRUE(NewLogTexts().empty());
}

// Doubled for its CR LF line ends, with its two extra units, this text would need one unit more than a
// string can count: it is refused, and nothing is saved.
TEST_F(TextFileSave, TextTooLongToDoubleIsRefused) {
    const size_t length = (INT_MAX - 2) / 2 + 1;
    auto* text = static_cast<wchar_t*>(
        ::VirtualAlloc(nullptr, (length + 1) * sizeof(wchar_t), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (!text) GTEST_SKIP() << "no room for a text of a thousand million characters";
    wmemset(text, L'a', length);  // fresh pages are zero: the terminator is there
    CString converted = L"old";
    EXPECT_FALSE(BrelmConvertLfToCrLf(text, converted));
    EXPECT_EQ(CString(L"old"), converted);
    EXPECT_FALSE(BrelmSaveUnicodeTextToFile(Path(L"huge.htm"), text));
    EXPECT_FALSE(::PathFileExistsW(Path(L"huge.htm")));
    ::VirtualFree(text, 0, MEM_RELEASE);
}

TEST_F(TextFileSave, CreatesTheFolderChainAndReplacesLongerFiles) {
    CString nested = Path(L"a\\b\\c\\page.htm");
    EXPECT_TRUE(BrelmSaveUnicodeTextToFile(nested, L"long text that is replaced"));
    EXPECT_TRUE(BrelmSaveUnicodeTextToFile(nested, L"short"));
    EXPECT_EQ(Saved(L"short"), FoundationReadBytes(nested));
}

// A file the old one cannot be deleted from is opened as it stands: what was there after the new
// text must not stay behind.
TEST_F(TextFileSave, FileOpenedAsExistingIsCut) {
    CString path = Path(L"readonly.htm");
    FoundationWriteBytes(path, Saved(L"a much longer old text than the new one"));
    ::SetFileAttributesW(path, FILE_ATTRIBUTE_READONLY);
    HANDLE probe = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe == INVALID_HANDLE_VALUE) {
        ::SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
        GTEST_SKIP() << "read-only files cannot be opened for writing here";
    }
    ::CloseHandle(probe);

    EXPECT_TRUE(BrelmSaveUnicodeTextToFile(path, L"new\n"));
    EXPECT_EQ(Saved(L"new\r\n"), FoundationReadBytes(path));
    ::SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
}

TEST_F(TextFileSave, FileHeldByAnotherWriterFailsThreeTimes) {
    CString path = Path(L"held.htm");
    HANDLE holder = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    EXPECT_FALSE(BrelmSaveUnicodeTextToFile(path, L"text"));
    ::CloseHandle(holder);

    CString line;
    BrelmFormatString(line, L"Can't create file: %1, error message: %2, Windows Error Code: %3", path,
                      BrelmGetSystemErrorText(ERROR_SHARING_VIOLATION), L"32");
    line = FoundationLogForm(line);
    EXPECT_EQ((std::vector<CString>{line, line, line}), NewLogTexts());
}

TEST_F(TextFileSave, FailedWritesAreLogged) {
    CString path = Path(L"readable.bin");
    FoundationWriteBytes(path, "x");
    HANDLE file = ::CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    EXPECT_FALSE(BrelmWriteFileData(file, "ab", 2));
    ::CloseHandle(file);
    CString line = BrelmFormatString2(L"Can't save unicode text to unicode file: %1, Windows Error Code: %2",
                                      BrelmGetSystemErrorText(ERROR_ACCESS_DENIED), L"5");
    EXPECT_EQ(std::vector<CString>{FoundationLogForm(line)}, NewLogTexts());
}
