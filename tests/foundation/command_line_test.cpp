// Named command-line values: items between " /", the first matching name wins.
#include <gtest/gtest.h>

#include <vector>

#include "command_line.h"
#include "foundation_print.h"

TEST(BrelmGetCommandLineValue, ValuesByName) {
    struct Case {
        const wchar_t* commandLine;
        const wchar_t* name;
        const wchar_t* expected;
    };
    const std::vector<Case> cases = {
        {L"/AppPath=C:\\Program Files\\Brelm\\ /DatabasePath=D:\\kb\\index.db", L"AppPath", L"C:\\Program Files\\Brelm\\"},
        {L"/AppPath=C:\\Program Files\\Brelm\\ /DatabasePath=D:\\kb\\index.db", L"DatabasePath", L"D:\\kb\\index.db"},
        {L"/apppath=X", L"AppPath", L"X"},
        {L"/AppPath=first /AppPath=second", L"AppPath", L"first"},
        {L"/AppPath =X", L"AppPath", L""},
        {L"/AppPathX=1", L"AppPath", L""},
        {L"/AppPath=\"C:\\q\\\"", L"AppPath", L"\"C:\\q\\\""},
        {L"/AppPath=C:\\a /b", L"AppPath", L"C:\\a"},
        {L"AppPath=C:\\x", L"AppPath", L"C:\\x"},
        {L"x/AppPath=1", L"AppPath", L""},
        {L"/AppPath=   ", L"AppPath", L""},
        {L"", L"AppPath", L""},
        {nullptr, L"AppPath", L""},
        {L"  /Debug   /DatabasePath=  D:\\kb.db  ", L"DatabasePath", L"D:\\kb.db"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CString(c.expected), BrelmGetCommandLineValue(c.commandLine, c.name))
            << CStringA(c.commandLine).GetString() << " / " << CStringA(c.name).GetString();
    }
}

TEST(BrelmSplitCommandLine, ItemsAreAppendedInOrder) {
    CBrelmStringArray items = {L"kept"};
    BrelmSplitCommandLine(L"/a=1 /b=2 x /c", items);
    EXPECT_EQ((CBrelmStringArray{L"kept", L"a=1", L"b=2 x", L"c"}), items);
}
