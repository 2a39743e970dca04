// Loading text files: marks, flags, the UTF-16 test, extensions, line ends, byte-order kinds, size limit.
#include <gtest/gtest.h>

#include <objbase.h>
#include <vector>

#include "foundation_test_support.h"
#include "text_file_load.h"

namespace {

class TextFileLoad : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ::CoInitialize(nullptr); }
    static void TearDownTestSuite() { ::CoUninitialize(); }

    CString Write(const wchar_t* name, const std::string& bytes) {
        CString path = CString(m_folder.Path().c_str()) + name;
        FoundationWriteBytes(path, bytes);
        return path;
    }

    FoundationTempDir m_folder;
};

std::string Bytes(const char* data, size_t size) { return std::string(data, size); }

}  // namespace

TEST_F(TextFileLoad, DecodesByMarkFlagsContentAndExtension) {
    struct Case {
        const wchar_t* name;
        std::string bytes;
        UINT flags;
        CString expected;
    };
    const std::vector<Case> cases = {
        {L"empty.txt", "", 0, L""},
        {L"empty.htm", "", 0, L""},
        {L"mark16.txt", "\xFF\xFE", 0, L""},
        {L"mark8.txt", "\xEF\xBB\xBF", 0, L""},
        {L"utf16.txt", Bytes("\xFF\xFE" "a\0\r\0\n\0b\0", 10), 0, L"a\nb"},
        {L"utf16flag8.txt", Bytes("\xFF\xFE" "a\0b\0", 6), BRELM_TEXT_UTF8, L"ab"},
        {L"flag4.txt", Bytes("a\0b\0", 4), BRELM_TEXT_UNICODE, L"ab"},
        {L"utf8.txt", "\xEF\xBB\xBF" "caf\xC3\xA9", 0, L"caf\xE9"},
        {L"utf8flag.txt", "caf\xC3\xA9", BRELM_TEXT_UTF8, L"caf\xE9"},
        {L"ansi.txt", "caf\xE9", 0, CString(CStringA("caf\xE9"))},
        // Zero bytes: ten bytes stay 8-bit, twelve go to the UTF-16 test, eleven never do.
        {L"ten.txt", Bytes("a\0b\0c\0d\0\xAC\x20", 10), 0, CString(CStringA("abcd\xAC "))},
        {L"twelve.txt", Bytes("a\0b\0c\0d\0e\0\xAC\x20", 12), 0, L"abcde\x20AC"},
        {L"eleven.txt", Bytes("a\0b\0c\0d\0e\0\xAC", 11), 0, CString(CStringA("abcde\xAC"))},
        {L"crcrlf.txt", "a\r\r\nb", 0, L"a\n\nb"},
        {L"crcrlfkeep.txt", "a\r\r\nb", BRELM_TEXT_KEEP_CRLF, L"a\n\r\nb"},
        {L"lonecr.txt", "a\rb\r", 0, L"a\nb\n"},
        {L"page.php3", "caf\xC3\xA9", 0, L"caf\xE9"},
        {L"page.HTML", "<meta charset=\"utf-8\">caf\xC3\xA9", 0, L"<meta charset=\"utf-8\">caf\xE9"},
        {L"page.txt", "<meta charset=\"utf-8\">\xC3\xA9", BRELM_TEXT_HTML, L"<meta charset=\"utf-8\">\xE9"},
        {L"data.xml", "<?xml version=\"1.0\" encoding=\"utf-8\"?>\xC3\xA9", 0,
         L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\xE9"},
        // HTML wins over XML.
        {L"both.txt", "<?xml encoding=\"utf-8\"?><meta charset=\"windows-1252\">\xC3\xA9",
         BRELM_TEXT_HTML | BRELM_TEXT_XML, L"<?xml encoding=\"utf-8\"?><meta charset=\"windows-1252\">\xC3\xA9"},
    };
    for (const Case& c : cases) {
        CString text = L"old";
        EXPECT_TRUE(BrelmLoadTextFromFile(Write(c.name, c.bytes), text, c.flags)) << CStringA(c.name).GetString();
        EXPECT_EQ(c.expected, text) << CStringA(c.name).GetString();
    }
}

TEST_F(TextFileLoad, FailuresLeaveTheTextAlone) {
    CString text = L"untouched";
    EXPECT_FALSE(BrelmLoadTextFromFile(CString(m_folder.Path().c_str()) + L"missing.txt", text, 0));
    EXPECT_FALSE(BrelmLoadTextFromFile(m_folder.Path().c_str(), text, 0));
    EXPECT_FALSE(BrelmLoadTextFromFile(nullptr, text, 0));

    // A file whose size needs more than 32 bits is refused, not read in part.
    CString big = Write(L"big.txt", "");
    HANDLE file = ::CreateFileW(big, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    LARGE_INTEGER size;
    size.QuadPart = 0x100000000LL + 6;
    ::SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
    ::SetEndOfFile(file);
    ::CloseHandle(file);
    EXPECT_FALSE(BrelmLoadTextFromFile(big, text, 0));
    EXPECT_EQ(CString(L"untouched"), text);

    CBrelmStringArray lines = {L"kept"};
    EXPECT_FALSE(BrelmLoadTextFileLines(CString(m_folder.Path().c_str()) + L"missing.txt", lines));
    EXPECT_EQ(CBrelmStringArray{L"kept"}, lines);
}

TEST_F(TextFileLoad, LinesAreAppended) {
    CBrelmStringArray lines = {L"kept"};
    EXPECT_TRUE(BrelmLoadTextFileLines(Write(L"lines.txt", "one\r\ntwo\n\nthree\r\n"), lines));
    EXPECT_EQ((CBrelmStringArray{L"kept", L"one", L"two", L"", L"three"}), lines);
}

TEST_F(TextFileLoad, NormalizesLineEndsInPlace) {
    char bytes[] = "a\r\nb\0c\r\r\nd\r\0\0\0\0";
    BrelmNormalizeLineEnds(bytes, 11, FALSE);
    EXPECT_STREQ("a\nbc\n\nd\n", bytes);

    wchar_t units[] = L"a\r\nb\r\0\0";
    BrelmNormalizeLineEnds(units, 5 * sizeof(wchar_t), TRUE);
    EXPECT_STREQ(L"a\r\nb\n", units);
}

TEST_F(TextFileLoad, ByteOrderKinds) {
    struct Case {
        const wchar_t* name;
        std::string bytes;
        int kind;
    };
    const std::vector<Case> cases = {
        {L"k1.txt", "\xFF\xFE" "a", BRELM_BOM_NONE},
        {L"k2.txt", "\xEF\xBB\xBF", BRELM_BOM_NONE},
        {L"k3.txt", "\xFF\xFE" "ab", BRELM_BOM_UNICODE},
        {L"k4.txt", "\xEF\xBB\xBF" "a", BRELM_BOM_UTF8},
        {L"k5.txt", "\xFE\xFF" "ab", BRELM_BOM_NONE},
        {L"k6.txt", "abcd", BRELM_BOM_NONE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.kind, BrelmGetFileBomKind(Write(c.name, c.bytes))) << CStringA(c.name).GetString();
    EXPECT_EQ(BRELM_BOM_NONE, BrelmGetFileBomKind(CString(m_folder.Path().c_str()) + L"missing.txt"));
}
