// Charset names, declared charsets of HTML and XML, conversions (EUC-JP through MLang), the ANSI-or-UTF-8 guess.
#include <gtest/gtest.h>

#include <objbase.h>
#include <vector>

#include "charset.h"
#include "foundation_print.h"

namespace {

const char kSjis[] = "\x93\xFA\x96\x7B\x8C\xEA";
const char kEucJp[] = "\xC6\xFC\xCB\xDC\xB8\xEC";
const char kUtf8[] = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";
const wchar_t kJapanese[] = L"\x65E5\x672C\x8A9E";

class Charset : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ::CoInitialize(nullptr); }
    static void TearDownTestSuite() { ::CoUninitialize(); }
};

}  // namespace

TEST_F(Charset, NamesToCodePages) {
    struct Case {
        const wchar_t* name;
        UINT codePage;
    };
    const std::vector<Case> cases = {
        {L"utf-8", 65001}, {L"utf8", 65001},  {L"UTF8", 65001},        {L"shift_jis", 932},
        {L"euc-jp", 51932}, {L"gb2312", 936}, {L"no-such-charset", 0}, {L"", 0},
        {nullptr, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(c.codePage, BrelmCharsetToCodePage(c.name)) << CStringA(c.name).GetString();
}

TEST_F(Charset, BytesToText) {
    struct Case {
        CStringA bytes;
        UINT codePage;
        CString expected;
    };
    const std::vector<Case> cases = {
        {"\xEF\xBB\xBFh\xC3\xA9", 1252, L"h\xE9"},        // a UTF-8 mark wins over the code page asked
        {"\xEF\xBB\xBF", 1252, L"\xEF\xBB\xBF"},     // the mark alone is converted as asked
        {"caf\xE9", 1252, L"caf\xE9"},
        {kSjis, 932, kJapanese},
        {kEucJp, 51932, kJapanese},
        {kUtf8, 65001, kJapanese},
        {CStringA("a\0b", 3), 65001, L"a"},                // text ends at the first NUL
        {"plain", 12345, L"plain"},                        // no such code page: thread ANSI
        {"", 65001, L""},
        {"", 51932, L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, BrelmMultiByteToCString(c.bytes, c.codePage)) << c.bytes.GetString() << " @" << c.codePage;
    EXPECT_EQ(CString(kJapanese), BrelmMultiByteToCStringByCharset(kEucJp, L"EUC-JP"));
}

TEST_F(Charset, HtmlMetaCharset) {
    struct Case {
        const char* html;
        const wchar_t* expected;
    };
    const std::vector<Case> cases = {
        {"<html><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\"></html>", L"gb2312"},
        {"<meta charset=utf-8>", L"utf-8"},
        {"<META CHARSET=\"Shift_JIS\">", L"Shift_JIS"},
        {"<meta charset=utf-8 />", L"utf-8"},
        {"<meta name=\"a\"><p><meta charset='koi8-r'>", L"koi8-r"},
        {"<meta charset=\"\">", L""},
        {"<meta charset=utf-8", L""},
        {"<meta name=\"a\"><meta charset=x", L""},
        {"<p>no meta at all</p>", L""},
        {"<meta name=\"viewport\" content=\"width=device-width\">", L""},
        {"", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(CString(c.expected), BrelmGetHtmlMetaCharset(c.html)) << c.html;
}

TEST_F(Charset, XmlEncoding) {
    struct Case {
        const char* xml;
        const wchar_t* expected;
    };
    const std::vector<Case> cases = {
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\" standalone=\"yes\"?><a/>", L"ISO-8859-1"},
        {"<?xml version='1.0' encoding='windows-1251'?>", L"windows-1251"},
        {"<?XML ENCODING=\"utf-8\"?>", L"utf-8"},
        {"<?xml version=\"1.0\"?><a encoding=\"x\"/>", L""},
        {"<?xml encoding=\"utf-8\"", L""},
        {"<root/>", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(CString(c.expected), BrelmGetXmlEncoding(c.xml)) << c.xml;
}

TEST_F(Charset, DecodingFollowsTheDeclaredCharset) {
    CString text;
    EXPECT_TRUE(BrelmDecodeHtmlText((CStringA("<meta charset=\"shift_jis\"><p>") + kSjis).GetString(), text));
    EXPECT_NE(-1, text.Find(kJapanese)) << text;
    EXPECT_TRUE(BrelmDecodeXmlText((CStringA("<?xml version=\"1.0\" encoding=\"euc-jp\"?><a>") + kEucJp).GetString(), text));
    EXPECT_NE(-1, text.Find(kJapanese)) << text;
    // A name MLang does not know means the system ANSI code page, not the guess.
    const char unknown[] = "<meta charset=bogus><p>\xE9</p>";
    EXPECT_TRUE(BrelmDecodeHtmlText(unknown, text));
    EXPECT_EQ(BrelmMultiByteToCString(unknown, CP_ACP), text);
    EXPECT_TRUE(BrelmDecodeHtmlText(nullptr, text));
    EXPECT_EQ(CString(), text);
}

TEST_F(Charset, GuessIsTheAnsiCodePageForAnsiText) {
    EXPECT_EQ(::GetACP(), BrelmGuessCodePage(""));
    EXPECT_EQ(::GetACP(), BrelmGuessCodePage("plain text"));
    EXPECT_EQ(::GetACP(), BrelmGuessCodePage(nullptr));
}

// Run again by ctest with a Japanese ANSI code page, where UTF-8 text is not valid ANSI text.
TEST_F(Charset, GuessUnderJapaneseAnsi) {
    if (::GetACP() != 932) GTEST_SKIP() << "the ANSI code page is " << ::GetACP();
    EXPECT_EQ(65001u, BrelmGuessCodePage(kUtf8));
    EXPECT_EQ(932u, BrelmGuessCodePage(kSjis));
    CString text;
    EXPECT_TRUE(BrelmDecodeHtmlText((CStringA("<p>") + kUtf8).GetString(), text));
    EXPECT_EQ(CString(L"<p>") + kJapanese, text);
    EXPECT_TRUE(BrelmDecodeXmlText((CStringA("<?xml version=\"1.0\"?>") + kSjis).GetString(), text));
    EXPECT_EQ(CString(L"<?xml version=\"1.0\"?>") + kJapanese, text);
}

TEST_F(Charset, GuessUnderWesternAnsi) {
    if (::GetACP() != 1252) GTEST_SKIP() << "the ANSI code page is " << ::GetACP();
    // Every byte is a Windows-1252 character, so UTF-8 text still reads as ANSI.
    EXPECT_EQ(1252u, BrelmGuessCodePage(kUtf8));
}
