// Translation: file lines and escapes, "{p}", loading the language's files, the folders, windows.
#include <gtest/gtest.h>

#include <vector>

#include "file_helpers.h"
#include "folders.h"
#include "foundation_test_support.h"
#include "translations.h"
#include "ui_language.h"

namespace {

class Translations : public ::testing::Test {
protected:
    void SetUp() override { g_translations.m_table.m_map.clear(); }
    void TearDown() override { g_translations.m_table.m_map.clear(); }

    static void Parse(std::initializer_list<const wchar_t*> lines) {
        CBrelmStringArray list(lines.begin(), lines.end());
        EXPECT_TRUE(BrelmParseTranslationLines(list));
    }
    static CString Translate(const wchar_t* text) {
        CString output = L"unset";
        g_translations.TranslateText(text, output);
        return output;
    }
};

std::string Utf16File(const wchar_t* text) { return "\xFF\xFE" + FoundationUtf16Bytes(text); }

}  // namespace

TEST_F(Translations, EscapesRoundTrip) {
    struct Case {
        const wchar_t* plain;
        const wchar_t* escaped;
    };
    const std::vector<Case> cases = {
        {L"a\tb\nc\rd", L"a\\tb\\nc\\rd"},
        {L"back\\slash", L"back\\\\slash"},
        {L"say \"hi\"", L"say \"\"hi\"\""},
        {L"\\n", L"\\\\n"},
        {L"plain", L"plain"},
        {L"", L""},
    };
    for (const Case& c : cases) {
        CString text = c.plain;
        BrelmEscapeText(text);
        EXPECT_EQ(CString(c.escaped), text);
        BrelmUnescapeText(text);
        EXPECT_EQ(CString(c.plain), text);
    }
    CString text = L"\\\\\\n\\x\"";
    BrelmUnescapeText(text);
    EXPECT_EQ(CString(L"\\\n\\x\""), text) << "a pair, then backslash n; unknown escapes and a lone quote stay";
}

TEST_F(Translations, LinesOfATranslationFile) {
    Parse({L"  Open = Offnen  ", L"  Save=Sichern  ", L"a=b=c", L"; Close=Schliessen", L"[Common]", L"no equals",
           L"", L"=empty key", L"Tab\\there=Tab\\tda", L"Two\\nlines=Zwei\\nZeilen", L"Say \"\"x\"\"=Sag \"\"x\"\"",
           L"Blank=", L"Save=Speichern"});
    EXPECT_EQ(CString(L" Offnen"), Translate(L"Open "));
    EXPECT_EQ(CString(L"Open"), Translate(L"Open"));
    EXPECT_EQ(CString(L"Speichern"), Translate(L"Save")) << "a later line replaces an earlier one";
    EXPECT_EQ(CString(L"b=c"), Translate(L"a"));
    EXPECT_EQ(CString(L"; Close"), Translate(L"; Close"));
    EXPECT_EQ(CString(L"Tab\tda"), Translate(L"Tab\there"));
    EXPECT_EQ(CString(L"Zwei\nZeilen"), Translate(L"Two\nlines"));
    EXPECT_EQ(CString(L"Sag \"x\""), Translate(L"Say \"x\""));
    EXPECT_EQ(CString(L"Blank"), Translate(L"Blank")) << "an empty translation shows the source text";
    EXPECT_EQ(1u, g_translations.m_table.m_map.count(CString()));
}

TEST_F(Translations, ProductMarker) {
    Parse({L"About {p}=Uber {p}", L"Gone=Weg {P}"});
    EXPECT_EQ(CString(L"Brelm"), Translate(L"{p}"));
    EXPECT_EQ(CString(L"Brelm"), Translate(L"{P}"));
    EXPECT_EQ(CString(L"Uber Brelm"), Translate(L"About {p}"));
    EXPECT_EQ(CString(L"Weg {P}"), Translate(L"Gone"));
    EXPECT_EQ(CString(L"x Brelm y {P}"), Translate(L"x {p} y {P}"));

    CString output = L"old";
    EXPECT_FALSE(g_translations.TranslateText(L"", output));
    EXPECT_EQ(CString(), output);
    output = L"old";
    EXPECT_FALSE(g_translations.TranslateText(nullptr, output));
    EXPECT_EQ(CString(), output);
}

TEST_F(Translations, FilesOfTheLanguageFolder) {
    DWORD language = BrelmGetUILCID();
    if (language == 0) GTEST_SKIP() << "no user-interface language";
    CString root = BrelmGetAppPath() + L"translations\\";
    CString folder = root + BrelmIntToStr(static_cast<int>(language)) + L"\\";
    EXPECT_EQ(root, BrelmGetTranslationsFolder());
    EXPECT_EQ(CString(), BrelmGetLanguageFolder());
    EXPECT_FALSE(BrelmLoadTranslations());

    ::CreateDirectoryW(root, nullptr);
    ::CreateDirectoryW(folder, nullptr);
    FoundationWriteBytes(folder + L"globals.ini", Utf16File(L"; globals\r\nOne=G1\r\nTwo=G2\r\nThree=G3\r\n"));
    FoundationWriteBytes(folder + L"share.ini", "\xEF\xBB\xBFTwo=S2\nThree=S3\n");
    EXPECT_EQ(folder, BrelmGetLanguageFolder());
    EXPECT_FALSE(BrelmLoadTranslations()) << "without the program's own file";
    FoundationWriteBytes(folder + L"translations_test.ini", "[Common]\r\nThree=O3\r\n");
    EXPECT_TRUE(BrelmLoadTranslations());
    FoundationTempDir::RemoveTree(std::wstring(root.GetString()));

    EXPECT_EQ(CString(L"G1"), Translate(L"One"));
    EXPECT_EQ(CString(L"S2"), Translate(L"Two"));
    EXPECT_EQ(CString(L"O3"), Translate(L"Three"));
    EXPECT_FALSE(BrelmLoadTranslationFile(folder + L"share.ini"));
}

TEST_F(Translations, TranslationsFolderFromTheIniFile) {
    FoundationTempDir program;
    CString base(program.Path().c_str());
    CString parent = base.Left(base.GetLength() - 1);
    parent = parent.Left(parent.ReverseFind(L'\\') + 1);
    struct Case {
        const char* ini;
        CString expected;
    };
    const std::vector<Case> cases = {
        {nullptr, base + L"translations\\"},
        {"[Common]\r\nOther=x\r\n", base + L"translations\\"},
        {"[Common]\r\nPath=lang\\ui\r\n", base + L"lang\\ui\\"},
        {"[Common]\r\nPath=..\\shared/\r\n", parent + L"shared/"},
        {"[Common]\r\nPath=C:\\fixed\\t\r\n", L"C:\\fixed\\t\\"},
    };
    for (const Case& c : cases) {
        ::DeleteFileW(base + L"translations.ini");
        if (c.ini) FoundationWriteBytes(base + L"translations.ini", c.ini);
        FoundationWriteBytes(base + L"expected.txt", FoundationUtf16Bytes(c.expected.GetString()));
        EXPECT_EQ(0, FoundationRunChildTest(L"TranslationsChild.DISABLED_Folder", base)) << c.expected;
    }
}

TEST(TranslationsChild, DISABLED_Folder) {
    std::string expected = FoundationReadBytes(BrelmGetAppPath() + L"expected.txt");
    EXPECT_EQ(CString(std::wstring(reinterpret_cast<const wchar_t*>(expected.data()), expected.size() / 2).c_str()),
              BrelmGetTranslationsFolder());
}

TEST_F(Translations, WindowsAndTheirChildren) {
    Parse({L"Caption=Titel {p}", L"Hello=Hallo", L"Group=Gruppe"});
    HWND dialog = ::CreateWindowExW(0, L"#32770", L"Caption", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                    nullptr, nullptr);
    ASSERT_NE(nullptr, dialog);
    auto child = [&](const wchar_t* cls, const wchar_t* text, DWORD style) {
        return ::CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 100, 20, dialog, nullptr,
                                 nullptr, nullptr);
    };
    HWND label = child(L"Static", L"Hello", 0);
    HWND button = child(L"Button", L"Hello", BS_PUSHBUTTON);
    HWND group = child(L"Button", L"Group", BS_GROUPBOX);
    HWND edit = child(L"Edit", L"Hello", 0);
    HWND combo = child(L"ComboBox", L"", CBS_DROPDOWN);
    ::SetWindowTextW(combo, L"Hello");
    HWND empty = child(L"Static", L"", 0);
    HWND longText = child(L"Static", CString(L'a', 1500), 0);

    EXPECT_TRUE(g_translations.TranslateWindow(dialog));
    auto text = [](HWND window) {
        wchar_t buffer[2048] = {};
        ::GetWindowTextW(window, buffer, 2048);
        return CString(buffer);
    };
    EXPECT_EQ(CString(L"Titel Brelm"), text(dialog));
    EXPECT_EQ(CString(L"Hallo"), text(label));
    EXPECT_EQ(CString(L"Hallo"), text(button));
    EXPECT_EQ(CString(L"Gruppe"), text(group));
    EXPECT_EQ(CString(L"Hello"), text(edit));
    EXPECT_EQ(CString(L"Hello"), text(combo));
    EXPECT_EQ(CString(), text(empty));
    EXPECT_EQ(CString(L'a', 1023), text(longText));
    EXPECT_FALSE(g_translations.TranslateWindowText(empty));
    ::DestroyWindow(dialog);
}
