// Splitting, joining, name=value lookup and the local date and time texts.
#include <gtest/gtest.h>

#include <stdio.h>
#include <vector>

#include "foundation_print.h"
#include "string_helpers.h"

namespace {

CBrelmStringArray List(std::initializer_list<const wchar_t*> items) { return CBrelmStringArray(items.begin(), items.end()); }

struct SplitCall {
    const wchar_t* text;
    const wchar_t* separator;
    BOOL caseSensitive;
    BOOL result;
    CBrelmStringArray pieces;
};

DWORD WINAPI RunSplit(void* p) {
    auto* call = static_cast<SplitCall*>(p);
    call->result = BrelmSplitByString(call->text, call->separator, call->pieces, call->caseSensitive);
    return 0;
}

// A split that never gets past its separator grows its list until memory runs out: it runs on a
// thread of its own, and one that has not ended in seconds ends the program.
void SplitWithinSeconds(SplitCall& call) {
    HANDLE thread = ::CreateThread(nullptr, 0, RunSplit, &call, 0, nullptr);
    if (::WaitForSingleObject(thread, 5000) != WAIT_OBJECT_0) {
        fprintf(stderr, "splitting \"%ls\" does not end\n", call.text);
        fflush(stderr);
        ::TerminateProcess(::GetCurrentProcess(), 1);
    }
    ::CloseHandle(thread);
}

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
        // No separator to look for: the text is one piece, and the split ends.
        {L"a b", L"", TRUE, List({L"a b"})},
        {L"a b", nullptr, FALSE, List({L"a b"})},
    };
    for (const auto& c : cases) {
        SplitCall call = {c.text, c.separator, c.caseSensitive, FALSE, {}};
        SplitWithinSeconds(call);
        EXPECT_TRUE(call.result);
        EXPECT_EQ(c.expected, call.pieces) << CStringA(c.text).GetString();
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

// The thread's locale decides, whatever the user's is.
TEST(BrelmGetDateTimeText, LongDateAndTimeInTheThreadLocale) {
    const struct {
        LANGID language;
        const wchar_t* expected;
    } cases[] = {
        {MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), L"Monday, September 7, 2015 2:05:00 PM"},
        {MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), L"Montag, 7. September 2015 14:05:00"},
    };
    const LCID before = ::GetThreadLocale();
    for (const auto& c : cases) {
        ASSERT_TRUE(::SetThreadLocale(MAKELCID(c.language, SORT_DEFAULT)));
        EXPECT_EQ(CString(c.expected), BrelmGetDateTimeText(COleDateTime(2015, 9, 7, 14, 5, 0)));
    }
    ::SetThreadLocale(before);
}
