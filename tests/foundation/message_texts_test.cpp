// The "%1".."%9"/"%a" pattern formatter and the system's error texts.
#include <gtest/gtest.h>

#include "foundation_print.h"
#include "message_texts.h"

TEST(BrelmFormatString, Places) {
    const struct {
        const wchar_t *pattern, *a1, *a2, *a3, *expected;
    } cases[] = {
        {L"%1 and %1", L"x", nullptr, nullptr, L"x and x"},
        {L"%1", L"%2", L"y", nullptr, L"%2"},
        {L"%3-%2-%1", L"a", L"b", L"c", L"c-b-a"},
        {L"100%", L"x", nullptr, nullptr, L"100%"},
        {L"%A%0%b", L"x", nullptr, nullptr, L"%A%0%b"},
        {L"%%1", L"x", nullptr, nullptr, L"%x"},
        {L"%4%5x", L"a", L"b", L"c", L"x"},
        {L"%a%1", L"v", nullptr, nullptr, L"v"},
        {L"[%9]", L"a", nullptr, nullptr, L"[]"},
        {L"%1%", L"", nullptr, nullptr, L"%"},
        {nullptr, L"x", nullptr, nullptr, L""},
        {L"<%1|%2>", nullptr, nullptr, nullptr, L"<|>"},
    };
    for (const auto& c : cases) {
        CString out = L"stale";
        BrelmFormatString(out, c.pattern, c.a1, c.a2, c.a3);
        EXPECT_EQ(CString(c.expected), out) << CStringA(c.pattern).GetString();
    }
    EXPECT_EQ(CString(L"a b "), BrelmFormatString2(L"%1 %2 %3", L"a", L"b"));
}

TEST(BrelmGetSystemErrorText, SystemTextOrTheSignedCode) {
    // A customer-defined code has no system text.
    EXPECT_EQ(CString(L"GetLastError()=-536866252"), BrelmGetSystemErrorText(0xE0001234));
    EXPECT_EQ(CString(L"\r\n"), BrelmGetSystemErrorText(ERROR_FILE_NOT_FOUND).Right(2));
    SetLastError(0);
    EXPECT_EQ(CString(), BrelmGetLastErrorText());
}
