// HTML tokenizer: pages in, token types and texts out.
#include <gtest/gtest.h>

#include "html_tokenizer.h"

#include <string>

using namespace brelm_tools;

namespace {

// Tokens as "type:text" joined by " | ": T text, S start, E end, M empty tag,
// C comment, D declaration, X CDATA, ! error.
std::wstring Tokens(const std::wstring& page) {
    static const wchar_t kTypes[] = L"TSEMCDX!";
    HtmlTokenizer tokenizer(page.c_str(), page.size());
    HtmlToken token;
    std::wstring out;
    while (tokenizer.Next(token)) {
        if (!out.empty()) out += L" | ";
        out += kTypes[static_cast<int>(token.type)];
        out += L':';
        out.append(token.text, token.length);
    }
    return out;
}

struct Case {
    const wchar_t* page;
    const wchar_t* tokens;
};

const Case kCases[] = {
    {L"", L""},
    {L"<!DOCTYPE html><HTML><Head><title>T</title></head>",
     L"D:<!DOCTYPE html> | S:<HTML> | S:<Head> | S:<title> | T:T | E:</title> | E:</head>"},
    {L"<?xml version=\"1.0\"?>\n<en-note>", L"D:<?xml version=\"1.0\"?> | T:\n | S:<en-note>"},
    {L"a<!-- <b> -- -->c", L"T:a | C:<!-- <b> -- --> | T:c"},
    {L"<![CDATA[<x>]]>y", L"X:<![CDATA[<x>]]> | T:y"},
    {L"<script>if (a<b) s=\"</p><tag>\";</script>",
     L"S:<script> | T:if (a<b) s=\"</p><tag>\"; | E:</script>"},
    {L"<STYLE>p>a{}</Style >x", L"S:<STYLE> | T:p>a{} | E:</Style > | T:x"},
    {L"<script>\"</scripts>\"</script>", L"S:<script> | T:\"</scripts>\" | E:</script>"},
    {L"<script/><b>", L"M:<script/> | S:<b>"},
    {L"<a title=\"x>y\" b='>'>text</a>", L"S:<a title=\"x>y\" b='>'> | T:text | E:</a>"},
    {L"<br/><img src=a /><br a=b/>", L"M:<br/> | M:<img src=a /> | S:<br a=b/>"},
    {L"<p don't>x", L"S:<p don't> | T:x"},
    {L"a < b <3 </ c <>", L"T:a < b <3 </ c <>"},
    {L"x<a href=\"y>", L"T:x | !:<a href=\"y>"},
    {L"x<b", L"T:x | !:<b"},
    {L"<!-- x", L"!:<!-- x"},
    {L"<script>a<b", L"S:<script> | !:a<b"},
};

TEST(HtmlTokenizer, SplitsPagesIntoTokens) {
    for (const Case& c : kCases) {
        EXPECT_EQ(std::wstring(c.tokens), Tokens(c.page)) << c.page;
    }
}

}  // namespace
