// BrelmTools.dll as the program reaches it: exports by name, the HTML rewrite pass, tag attributes.
#include <gtest/gtest.h>

#include <brelm_tools_api.h>

#include <cwchar>
#include <functional>
#include <string>
#include <vector>

namespace {

class ToolsDll : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        wchar_t path[MAX_PATH];
        DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring dll(path, n);
        dll = dll.substr(0, dll.find_last_of(L"\\/") + 1) + L"BrelmTools.dll";
        s_module = LoadLibraryW(dll.c_str());
        ASSERT_NE(nullptr, s_module) << "cannot load " << std::string(dll.begin(), dll.end());
        s_parse = Proc<PFN_BrelmToolsParseHtml>("BrelmToolsParseHtml");
        s_get = Proc<PFN_BrelmToolsTagGetAttribute>("BrelmToolsTagGetAttribute");
        s_set = Proc<PFN_BrelmToolsTagSetAttribute>("BrelmToolsTagSetAttribute");
        s_setLog = Proc<PFN_BrelmToolsSetText>("BrelmToolsSetLogFileName");
    }
    static void TearDownTestSuite() { FreeLibrary(s_module); }
    void SetUp() override { ASSERT_NE(nullptr, s_module); }

    template <typename T>
    static T Proc(const char* name) {
        return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(s_module, name)));
    }

    static HMODULE s_module;
    static PFN_BrelmToolsParseHtml s_parse;
    static PFN_BrelmToolsTagGetAttribute s_get;
    static PFN_BrelmToolsTagSetAttribute s_set;
    static PFN_BrelmToolsSetText s_setLog;
};

HMODULE ToolsDll::s_module;
PFN_BrelmToolsParseHtml ToolsDll::s_parse;
PFN_BrelmToolsTagGetAttribute ToolsDll::s_get;
PFN_BrelmToolsTagSetAttribute ToolsDll::s_set;
PFN_BrelmToolsSetText ToolsDll::s_setLog;

// Records what the parser hands over; rewrite, when set, edits each tag in place.
struct RecordingSink : IBrelmToolsParseHtmlEvents {
    std::vector<std::wstring> tags;
    std::vector<long> errors;
    long lastDone = -1, lastTotal = -1;
    int tagsBeforeStop = -1;
    std::function<void(wchar_t*, long)> rewrite;

    long __stdcall OnTag(wchar_t* tag, long bufferSize) override {
        tags.push_back(tag);
        EXPECT_GE(bufferSize, static_cast<long>(wcslen(tag)) + 1024);
        if (rewrite) rewrite(tag, bufferSize);
        return 0;
    }
    long __stdcall OnProgress(long done, long total) override {
        lastDone = done;
        lastTotal = total;
        return 0;
    }
    long __stdcall OnParseError(long offset) override {
        errors.push_back(offset);
        return 0;
    }
    long __stdcall ContinueParse() override { return static_cast<long>(tags.size()) != tagsBeforeStop; }
};

struct Parsed {
    HRESULT hr;
    std::wstring html, second;
    bool firstNull, secondNull;
};

Parsed Parse(PFN_BrelmToolsParseHtml parse, const wchar_t* page, IBrelmToolsParseHtmlEvents* events) {
    BSTR first = nullptr, second = nullptr;
    Parsed r{parse(page, events, &first, &second), L"", L"", first == nullptr, second == nullptr};
    if (first) r.html.assign(first, SysStringLen(first));
    if (second) r.second.assign(second, SysStringLen(second));
    SysFreeString(first);
    SysFreeString(second);
    return r;
}

std::wstring Join(const std::vector<std::wstring>& parts) {
    std::wstring out;
    for (const auto& p : parts) out += (out.empty() ? L"" : L" ") + p;
    return out;
}

TEST_F(ToolsDll, ExportsTheCalledFunctionsByName) {
    for (const char* name : {"BrelmToolsParseHtml", "BrelmToolsTagGetAttribute", "BrelmToolsTagSetAttribute"})
        EXPECT_NE(nullptr, Proc<void*>(name)) << name;
    for (const char* name : {"BrelmToolsSetSecuteText", "BrelmToolsSetLogFileName", "BrelmToolsSetSettingsFileName",
                             "BrelmToolsSetTempPath"}) {
        auto setter = Proc<PFN_BrelmToolsSetText>(name);
        ASSERT_NE(nullptr, setter) << name;
        EXPECT_EQ(S_OK, setter(L"x\nline")) << name;
        EXPECT_EQ(S_OK, setter(nullptr)) << name;
    }
}

TEST_F(ToolsDll, UnchangedPagesComeBackByteForByte) {
    struct Case {
        const wchar_t* page;
        const wchar_t* tags;
        long errorAt;
    };
    const Case cases[] = {
        {L"", L"", -1},
        {L"<!DOCTYPE html>\n<!-- <p> --><HTML><Body class=x>a &amp; b<BR/></Body></HTML>",
         L"<HTML> <Body class=x> <BR/> </Body> </HTML>", -1},
        {L"<![CDATA[<i>]]><script>if(a<b)d('<tag>')</script><style>p>b{}</style>",
         L"<script> </script> <style> </style>", -1},
        {L"<a title=\"1>2\" href='x'>y</a> 3 < 4", L"<a title=\"1>2\" href='x'> </a>", -1},
        {L"<p>text</p><img src=\"abc", L"<p> </p>", 11},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(std::wstring(c.page), Parse(s_parse, c.page, nullptr).html) << c.page;
        RecordingSink sink;
        Parsed r = Parse(s_parse, c.page, &sink);
        EXPECT_EQ(S_OK, r.hr);
        EXPECT_FALSE(r.firstNull);
        EXPECT_EQ(std::wstring(c.page), r.html);
        EXPECT_EQ(std::wstring(c.tags), Join(sink.tags)) << c.page;
        EXPECT_EQ(c.errorAt < 0 ? 0u : 1u, sink.errors.size()) << c.page;
        if (c.errorAt >= 0 && !sink.errors.empty()) {
            EXPECT_EQ(c.errorAt, sink.errors[0]);
        }
        long length = static_cast<long>(wcslen(c.page));
        EXPECT_EQ(length, sink.lastDone);
        EXPECT_EQ(length, sink.lastTotal);
    }
}

TEST_F(ToolsDll, RewritesEnMediaTagsThroughTheAttributeCalls) {
    RecordingSink sink;
    const std::wstring longPath(32767, L'p');
    sink.rewrite = [&](wchar_t* tag, long size) {
        if (_wcsnicmp(tag, L"<en-media", 9) != 0) return;
        BSTR hash = nullptr;
        s_get(tag, L"hash", &hash);
        std::wstring h = hash ? hash : L"";
        SysFreeString(hash);
        const wchar_t* file = h == L"ABC" ? L"abc.png" : h == L"long" ? longPath.c_str() : nullptr;
        if (!file) return;
        EXPECT_EQ(S_OK, s_set(tag, size, L"src", file));
        std::wstring text = tag;
        text.replace(0, 10, L"<img ");
        wcscpy(tag, text.c_str());
    };
    Parsed r = Parse(s_parse,
                     L"<en-note><en-media type=\"image/png\" hash=\"ABC\"/><en-media hash=zzz></en-media>"
                     L"<en-media hash='long'></en-media></en-note>",
                     &sink);
    ASSERT_EQ(S_OK, r.hr);
    EXPECT_EQ(L"<en-note><img type=\"image/png\" hash=\"ABC\" src=\"abc.png\"/><en-media hash=zzz></en-media>"
              L"<img hash='long' src=\"" + longPath + L"\"></en-media></en-note>",
              r.html);
    EXPECT_EQ(7u, sink.tags.size());
    EXPECT_EQ(L"<en-media type=\"image/png\" hash=\"ABC\"/>", sink.tags[1]);
}

TEST_F(ToolsDll, ContinueParseZeroAbortsAndLogsOneLine) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring log =
        std::wstring(temp) + L"brelm_tools_test_" + std::to_wstring(GetCurrentProcessId()) + L".log";
    ASSERT_EQ(S_OK, s_setLog(log.c_str()));

    RecordingSink sink;
    sink.tagsBeforeStop = 2;
    Parsed r = Parse(s_parse, L"<a><b><c><d>", &sink);
    EXPECT_EQ(E_ABORT, r.hr);
    EXPECT_TRUE(r.firstNull);
    EXPECT_TRUE(r.secondNull);
    EXPECT_EQ(2u, sink.tags.size());

    s_setLog(nullptr);
    std::wstring content;
    HANDLE file = CreateFileW(log.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    wchar_t buffer[512] = {};
    DWORD read = 0;
    ReadFile(file, buffer, sizeof(buffer) - 2, &read, nullptr);
    CloseHandle(file);
    DeleteFileW(log.c_str());
    content.assign(buffer, read / 2);
    EXPECT_EQ(L'\xFEFF', content[0]);
    EXPECT_NE(std::wstring::npos, content.find(L"BrelmToolsParseHtml failed: 0x80004004\r\n"));
    EXPECT_EQ(content.size() - 2, content.find(L"\r\n"));
}

TEST_F(ToolsDll, SecondResultIsTheTitleText) {
    Parsed r = Parse(s_parse, L"<head><TITLE>A &amp; <b>B</b></TITLE><title>2</title>", nullptr);
    EXPECT_EQ(L"A &amp; B", r.second);
    EXPECT_TRUE(Parse(s_parse, L"<p>no title</p>", nullptr).secondNull);
    r = Parse(s_parse, L"<title></title>", nullptr);
    EXPECT_FALSE(r.secondNull);
    EXPECT_EQ(L"", r.second);
}

TEST_F(ToolsDll, InvalidArgumentsFailCleanly) {
    BSTR a = nullptr, b = nullptr;
    EXPECT_EQ(E_INVALIDARG, s_parse(nullptr, nullptr, &a, &b));
    EXPECT_EQ(E_INVALIDARG, s_parse(L"<p>", nullptr, nullptr, &b));
    EXPECT_EQ(E_INVALIDARG, s_parse(L"<p>", nullptr, &a, nullptr));
    EXPECT_TRUE(a == nullptr && b == nullptr);
    EXPECT_EQ(E_INVALIDARG, s_get(L"<a b=1>", L"b", nullptr));
    EXPECT_EQ(E_INVALIDARG, s_get(nullptr, L"b", &a));
    EXPECT_EQ(E_INVALIDARG, s_get(L"<a b=1>", L"", &a));
    wchar_t tag[] = L"<a>";
    EXPECT_EQ(E_INVALIDARG, s_set(tag, 0, L"b", L"1"));
    EXPECT_EQ(E_INVALIDARG, s_set(tag, 3, L"b", L"1"));  // no terminator within the size
    EXPECT_EQ(E_INVALIDARG, s_set(tag, 4, L"b c", L"1"));
    EXPECT_EQ(E_INVALIDARG, s_set(tag, 4, L"b", nullptr));
    EXPECT_STREQ(L"<a>", tag);
}

TEST_F(ToolsDll, GetsAttributesInEveryQuotingStyle) {
    struct Case {
        const wchar_t* tag;
        const wchar_t* name;
        const wchar_t* value;  // null: no such attribute
    };
    const Case cases[] = {
        {L"<a href=\"x y\">", L"HREF", L"x y"},
        {L"<A HREF='q\"r'>", L"href", L"q\"r"},
        {L"<a href = plain>", L"href", L"plain"},
        {L"<input disabled>", L"disabled", L""},
        {L"<input disabled class=x/>", L"class", L"x/"},
        {L"<a title=\"a>b\" href=c>", L"href", L"c"},
        {L"<a b=1 B=2>", L"b", L"1"},
        {L"<img src=\"a&quot;b&amp;c&lt;\">", L"src", L"a\"b&c&lt;"},
        {L"<a xhref=1 data-href=2>", L"href", nullptr},
        {L"<a title=\"href=1\">", L"href", nullptr},
        {L"</a href=x>", L"href", nullptr},
        {L"plain text", L"href", nullptr},
    };
    for (const Case& c : cases) {
        BSTR value = reinterpret_cast<BSTR>(1);
        HRESULT hr = s_get(c.tag, c.name, &value);
        EXPECT_EQ(c.value ? S_OK : S_FALSE, hr) << c.tag;
        if (c.value) EXPECT_STREQ(c.value, value ? value : L"(null)") << c.tag;
        else EXPECT_EQ(nullptr, value) << c.tag;
        SysFreeString(value);
    }
}

TEST_F(ToolsDll, SetsAttributesWithinTheBuffer) {
    struct Case {
        const wchar_t* tag;
        const wchar_t* name;
        const wchar_t* value;
        const wchar_t* result;  // null: fails, buffer unchanged
    };
    const Case cases[] = {
        {L"<img>", L"src", L"a.png", L"<img src=\"a.png\">"},
        {L"<img/>", L"src", L"a.png", L"<img src=\"a.png\"/>"},
        {L"<en-media hash=\"h\" />", L"src", L"a.png", L"<en-media hash=\"h\" src=\"a.png\" />"},
        {L"<IMG SRC='old' alt=x>", L"src", L"a.png", L"<IMG SRC=\"a.png\" alt=x>"},
        {L"<img alt=\"1>2\" src=old>", L"Src", L"", L"<img alt=\"1>2\" src=\"\">"},
        {L"<input disabled>", L"disabled", L"yes", L"<input disabled=\"yes\">"},
        {L"<img>", L"src", L"a\"b&c.png", L"<img src=\"a&quot;b&amp;c.png\">"},
        // An added attribute after a "name=" without value must not become that value.
        {L"<en-media hash=\"abc\" type=>", L"src", L"a.png", L"<en-media hash=\"abc\" type=\"\" src=\"a.png\">"},
        {L"<img type= >", L"src", L"a.png", L"<img type= \"\" src=\"a.png\">"},
        {L"</img>", L"src", L"a.png", nullptr},
        {L"<img src=x", L"src", L"a.png", nullptr},
        {L"<!-- x -->", L"src", L"a.png", nullptr},
    };
    for (const Case& c : cases) {
        const std::wstring expected = c.result ? c.result : c.tag;
        // Exactly the room the result needs, then one character less.
        for (size_t room : {expected.size() + 1, expected.size()}) {
            if (room <= wcslen(c.tag)) continue;
            std::vector<wchar_t> buffer(room, L'#');
            wcscpy(buffer.data(), c.tag);
            const std::vector<wchar_t> before = buffer;
            HRESULT hr = s_set(buffer.data(), static_cast<long>(room), c.name, c.value);
            if (c.result && room > expected.size()) {
                EXPECT_EQ(S_OK, hr) << c.tag;
                EXPECT_EQ(expected, buffer.data()) << c.tag;
                BSTR back = nullptr;
                EXPECT_EQ(S_OK, s_get(buffer.data(), c.name, &back));
                EXPECT_STREQ(c.value, back);
                SysFreeString(back);
            } else {
                EXPECT_LT(hr, 0) << c.tag << L" room " << room;
                EXPECT_EQ(before, buffer) << c.tag;
            }
        }
    }
}

}  // namespace
