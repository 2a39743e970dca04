// The note's HTML file: which body is taken, how it is mended, and the en-media rewrite.
#include <algorithm>

#include "foundation_print.h"
#include "importer_exb_test.h"
#include "note_html.h"

namespace {

// Bindings of the real tools library beside the test and of a folder without it. Binding
// moves the current folder; it is set back so that the folders can go.
struct Tools {
    Tools() : bound(nullptr, nullptr, ImporterCoreDll::ExeFolder().c_str()), missing(nullptr, nullptr, Empty()) {}
    ~Tools()
    {
        ::SetCurrentDirectoryW(ImporterCoreDll::ExeFolder().c_str());
        ::RemoveDirectoryW(Empty());
    }
    static const wchar_t* Empty()
    {
        static wchar_t folder[MAX_PATH] = {};
        if (!folder[0]) {
            ::GetTempPathW(MAX_PATH, folder);
            wcscat_s(folder, L"brelm_importer_no_tools\\");
        }
        ::CreateDirectoryW(folder, nullptr);
        return folder;
    }
    CBrelmToolsDll bound;
    CBrelmToolsDll missing;
};

class NoteHtmlTest : public ImporterExbTest {
protected:
    long long Note(const std::vector<std::pair<int, std::string>>& bodies)
    {
        long long note = File().AddNote(exb::Note());
        for (const auto& body : bodies) File().AddAttr(note, body.first, 0, body.second);
        return note;
    }

    void AddImage(long long note, const wchar_t* fileName, const std::string& data)
    {
        exb::Resource r;
        r.note = note;
        r.fileName = fileName;
        r.data = data;
        File().AddResource(r);
    }

    // The page written for the note, when its path came back: UTF-16 after its byte-order mark.
    std::wstring Build(CBrelmToolsDll& tools, long long note)
    {
        std::wstring path = Folder() + Id(note) + L".htm";
        CString result = BuildNoteHtmlFile(tools, m_database, Id(note).c_str(), Folder().c_str());
        if (result.IsEmpty()) return L"none";
        EXPECT_EQ(CString(path.c_str()), result);
        std::string bytes = ImporterReadFile(path);
        if (bytes.size() < 2 || bytes.compare(0, 2, "\xff\xfe") != 0 || bytes.size() % 2 != 0) return L"no mark";
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    }

    Tools m_tools;
};

TEST_F(NoteHtmlTest, TakesTheFirstBodyLongerThan16Bytes)
{
    long long note = Note({{13, "0123456789"}, {14, "<p>0123456789</p"}, {15, "<p>0123456789</p>"},
                           {16, "<p>not this one</p>"}});
    long long late = Note({{29, "<p>body \xc3\xa9 late</p>"}});
    long long none = Note({{12, "<p>not a body attribute</p>"}});
    Open();
    ASSERT_TRUE(m_tools.bound.m_hModule);

    EXPECT_EQ(L"<p>0123456789</p>", Build(m_tools.bound, note));
    EXPECT_EQ(L"<p>body \u00e9 late</p>", Build(m_tools.bound, late));
    EXPECT_EQ(L"none", Build(m_tools.bound, none));
    EXPECT_FALSE(ImporterFileExists(Folder() + Id(none) + L".htm"));
    EXPECT_TRUE(Messages().empty());

    // A page path of MAX_PATH characters is not written: Windows could not open it (Wine can).
    const std::wstring deep = Folder() + std::wstring(MAX_PATH - 5 - Folder().size() - Id(note).size(), L'd') + L"\\";
    ASSERT_TRUE(::CreateDirectoryW(deep.c_str(), nullptr));
    EXPECT_TRUE(BuildNoteHtmlFile(m_tools.bound, m_database, Id(note).c_str(), deep.c_str()).IsEmpty());
    EXPECT_FALSE(ImporterFileExists(deep + Id(note) + L".htm"));
}

TEST_F(NoteHtmlTest, MendsApostrophesAndPassesInkPagesWithResourcesBy)
{
    const std::string ink = "<object type=\"application/vnd.evernote.ink\"/>";
    long long apos = Note({{13, "<p>it&apos;s &apos;quoted&apos; &APOS;</p>"}});
    long long inkWithImage = Note({{13, ink}, {14, "<p>the plain page</p>"}});
    AddImage(inkWithImage, L"ink.png", "ink bytes");
    long long inkAlone = Note({{13, ink}});
    Open();

    EXPECT_EQ(L"<p>it&#39;s &#39;quoted&#39; &APOS;</p>", Build(m_tools.bound, apos));
    EXPECT_EQ(L"<p>the plain page</p>", Build(m_tools.bound, inkWithImage));
    EXPECT_EQ(std::wstring(ink.begin(), ink.end()), Build(m_tools.bound, inkAlone));
}

TEST_F(NoteHtmlTest, OnlyPagesWithResourcesNeedTheParser)
{
    long long plain = Note({{13, "<p>no pictures here</p>"}});
    long long pictured = Note({{13, "<p><en-media hash=\"00\" type=\"image/png\"/></p>"}});
    AddImage(pictured, L"a.png", "bytes");
    Open();
    ASSERT_FALSE(m_tools.missing.m_hModule);

    EXPECT_EQ(L"<p>no pictures here</p>", Build(m_tools.missing, plain));
    EXPECT_EQ(L"none", Build(m_tools.missing, pictured));
}

TEST_F(NoteHtmlTest, EnMediaElementsPointAtTheFilesReallyWritten)
{
    const std::string first = "first image", second = "second image";
    std::string firstHash = exb::Md5Hex(first), secondHash = exb::Md5Hex(second);
    std::transform(firstHash.begin(), firstHash.end(), firstHash.begin(), ::toupper);
    const std::string page = "<div><en-media hash=\"" + firstHash + "\" type=\"image/png\"></en-media>"
                             "<en-media type=\"image/png\" hash=\"" + secondHash + "\"/>"
                             "<en-media hash=\"ffffffffffffffffffffffffffffffff\" type=\"image/png\"/></div>";
    long long note = Note({{13, page}});
    AddImage(note, L"pic.png", first);
    AddImage(note, L"pic.png", second);
    Open();

    const std::string expected = "<div><img hash=\"" + firstHash + "\" type=\"image/png\" src=\"pic.png\"></en-media>"
                                 "<img type=\"image/png\" hash=\"" + secondHash + "\" src=\"pic (2).png\"/>"
                                 "<en-media hash=\"ffffffffffffffffffffffffffffffff\" type=\"image/png\"/></div>";
    EXPECT_EQ(std::wstring(expected.begin(), expected.end()), Build(m_tools.bound, note));
    EXPECT_EQ(first, ImporterReadFile(Folder() + L"pic.png"));
    EXPECT_EQ(second, ImporterReadFile(Folder() + L"pic (2).png"));
}

TEST(ProcessEnMediaEventsTest, RewritesMatchedStartTagsOnly)
{
    Tools tools;
    CExbResourceArray resources(2);
    resources[0].m_strMD5 = L"00112233445566778899aabbccddeeff";
    resources[0].m_strFileName = L"a b.png";
    resources[1].m_strFileName = L"nohash.png";  // its digest was not read
    const struct {
        CBrelmToolsDll* tools;
        const wchar_t* tag;
        const wchar_t* expected;
    } cases[] = {
        {&tools.bound, L"<en-media hash=\"00112233445566778899AABBCCDDEEFF\" type=\"image/png\"/>",
         L"<img hash=\"00112233445566778899AABBCCDDEEFF\" type=\"image/png\" src=\"a b.png\"/>"},
        {&tools.bound, L"<EN-MEDIA hash=\"00112233445566778899aabbccddeeff\">",
         L"<img hash=\"00112233445566778899aabbccddeeff\" src=\"a b.png\">"},
        {&tools.bound, L"<en-media type=\"image/gif\">", L"<img type=\"image/gif\" src=\"nohash.png\">"},
        {&tools.bound, L"<en-media hash=\"ffffffffffffffffffffffffffffffff\">",
         L"<en-media hash=\"ffffffffffffffffffffffffffffffff\">"},
        {&tools.bound, L"</en-media>", L"</en-media>"},
        {&tools.bound, L"<en-medi", L"<en-medi"},
        {&tools.bound, L"<p class=\"en-media\">", L"<p class=\"en-media\">"},
        // Without the library every hash reads as empty, and no src can be set.
        {&tools.missing, L"<en-media hash=\"00112233445566778899aabbccddeeff\">",
         L"<img hash=\"00112233445566778899aabbccddeeff\">"},
    };
    for (const auto& c : cases) {
        CProcessEnMediaEvents events(c.tools, &resources);
        wchar_t buffer[512];
        wcscpy_s(buffer, c.tag);
        EXPECT_EQ(0, events.OnTag(buffer, 512));
        EXPECT_STREQ(c.expected, buffer);
    }

    CProcessEnMediaEvents events(&tools.bound, &resources);
    EXPECT_EQ(0, events.OnProgress(1, 2));
    EXPECT_EQ(0, events.OnParseError(3));
    EXPECT_EQ(1, events.ContinueParse());
}

}  // namespace
