// Splitting, joining and name=value lookup.
#include <gtest/gtest.h>

#include <vector>

#include "foundation_print.h"
#include "string_helpers.h"

namespace {

CBrelmStringArray List(std::initializer_list<const wchar_t*> items) { return CBrelmStringArray(items.begin(), items.end()); }

}  // namespace

TEST(BrelmSplitString, PiecesAtASeparatorCharacter) {
    const struct {
        const wchar_t* text;
        wchar_t separator;
        CBrelmStringArray expected;
    } cases[] = {
        {L"a,,b", L',', List({L"a", L"", L"b"})},  {L",a", L',', List({L"a"})},   {L",,a", L',', List({L"", L"a"})},
        {L"a,", L',', List({L"a"})},               {L",", L',', List({L""})},     {L"", L',', List({})},
        {L"one\r\ntwo\r\n", L'\n', List({L"one", L"two"})},
        {L"one\r\r\ntwo", L'\n', List({L"one\r", L"two"})},
        {L"a\r,b", L',', List({L"a\r", L"b"})},
    };
    for (const auto& c : cases) {
        CBrelmStringArray pieces = List({L"kept"});
        EXPECT_TRUE(BrelmSplitString(c.text, c.separator, pieces));
        CBrelmStringArray expected = List({L"kept"});
        expected.insert(expected.end(), c.expected.begin(), c.expected.end());
        EXPECT_EQ(expected, pieces) << CStringA(c.text).GetString();
    }
}

TEST(BrelmSplitByString, SeparatorTextWithOrWithoutCase) {
    const struct {
        const wchar_t* text;
        const wchar_t* separator;
        BOOL caseSensitive;
        CBrelmStringArray expected;
    } cases[] = {
        {L" /AppPath=C:\\x /DatabasePath=D:\\y", L" /", FALSE, List({L"AppPath=C:\\x", L"DatabasePath=D:\\y"})},
        {L"aXYbxyc", L"xy", FALSE, List({L"a", L"b", L"c"})},
        {L"aXYbxyc", L"xy", TRUE, List({L"aXYb", L"c"})},
        {L"a /", L" /", FALSE, List({L"a"})},
        {L" /", L" /", FALSE, List({L""})},
        {L"", L" /", FALSE, List({})},
    };
    for (const auto& c : cases) {
        CBrelmStringArray pieces;
        EXPECT_TRUE(BrelmSplitByString(c.text, c.separator, pieces, c.caseSensitive));
        EXPECT_EQ(c.expected, pieces) << CStringA(c.text).GetString();
    }
}

TEST(BrelmJoinStringsAndFindKeyValue, Basics) {
    CString out = L"old";
    BrelmJoinStrings(List({}), out);
    EXPECT_EQ(CString(L""), out);
    BrelmJoinStrings(List({L"a", L"b"}), out);
    EXPECT_EQ(CString(L"a;b"), out);
    BrelmJoinStrings(List({L"", L""}), out);
    EXPECT_EQ(CString(L";"), out);

    EXPECT_EQ(CString(L"C:\\x y"), BrelmFindKeyValue(List({L"Other=1", L"  apppath=  C:\\x y \t"}), L"AppPath"));
    EXPECT_EQ(CString(L"1"), BrelmFindKeyValue(List({L"AppPath =0", L"AppPathX=0", L"AppPath=1", L"AppPath=2"}),
                                               L"AppPath"));
    EXPECT_EQ(CString(L""), BrelmFindKeyValue(List({L"AppPathX=0"}), L"AppPath"));
}
