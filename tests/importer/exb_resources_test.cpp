// Resource and attachment files of a note: names, fallbacks, which rows count, names kept apart.
#include "exb_resources.h"
#include "foundation_print.h"
#include "importer_exb_test.h"

namespace {

class ExbResourcesTest : public ImporterExbTest {
protected:
    long long Resource(long long note, const wchar_t* fileName, const std::string& data, int isAttachment = 0,
                       const wchar_t* mime = L"image/png", bool inResources = true)
    {
        exb::Resource r;
        r.note = note;
        r.fileName = fileName;
        r.data = data;
        r.isAttachment = isAttachment;
        r.mime = mime;
        r.dataInResources = inResources;
        r.sourceUrl = L"http://example.com/" + std::wstring(fileName);
        return File().AddResource(r);
    }

    // The file names of the records; each file must hold the bytes its record stands for.
    std::vector<CString> Read(BOOL (*reader)(IBrelmSQLiteDatabase*, const wchar_t*, const wchar_t*,
                                             CExbResourceArray&),
                              long long note, CExbResourceArray* records = nullptr)
    {
        CExbResourceArray out;
        EXPECT_TRUE(reader(m_database, Id(note).c_str(), Folder().c_str(), out));
        std::vector<CString> names;
        for (const CExbResource& r : out) names.push_back(r.m_strFileName);
        if (records) *records = out;
        return names;
    }

    std::string Bytes(const CString& name) { return ImporterReadFile(Folder() + name.GetString()); }
};

TEST_F(ExbResourcesTest, ResourcesAreNamedByFileNameOrDigestAndMadeValid)
{
    long long note = File().AddNote(exb::Note());
    exb::Resource unnamed;
    unnamed.note = note;
    unnamed.data = "image one";
    unnamed.md5 = std::string("\x00\x11\x22\x33\x44\x55\x66\x77\x88\x99\xaa\xbb\xcc\xdd\xee\xff", 16);
    unnamed.width = 640;
    unnamed.height = 480;
    long long first = File().AddResource(unnamed);
    Resource(note, L"a:b?c.png", "image two");
    Resource(note, L"???", "image three");  // nothing of the name survives: the digest names it
    Resource(File().AddNote(exb::Note()), L"other note.png", "not this note's");
    long long empty = File().AddNote(exb::Note());
    Open();

    CExbResourceArray list;
    std::vector<CString> expected = {L"00112233445566778899aabbccddeeff", L"a-b-c.png",
                                     CString(exb::Md5Hex("image three").c_str())};
    EXPECT_EQ(expected, Read(ReadNoteResources, note, &list));
    ASSERT_EQ(3u, list.size());
    EXPECT_EQ(CString(Id(note).c_str()), list[0].m_strNote);
    EXPECT_EQ(CString(Id(first).c_str()), list[0].m_strUid);
    EXPECT_EQ(640, list[0].m_nWidth);
    EXPECT_EQ(480, list[0].m_nHeight);
    EXPECT_EQ(L"00112233445566778899aabbccddeeff", list[0].m_strMD5);
    EXPECT_EQ(CString(exb::Md5Hex("image two").c_str()), list[1].m_strMD5);
    EXPECT_EQ("image one", Bytes(list[0].m_strFileName));
    EXPECT_EQ("image two", Bytes(list[1].m_strFileName));
    EXPECT_EQ("image three", Bytes(list[2].m_strFileName));

    EXPECT_TRUE(Read(ReadNoteResources, empty).empty());
    EXPECT_TRUE(Read(ReadNoteAttachments, empty).empty());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ExbResourcesTest, AttachmentsCountByFlagOrByMimeAtTheStart)
{
    long long note = File().AddNote(exb::Note());
    const struct {
        const wchar_t* name;
        int flag;
        const wchar_t* mime;
        bool attachment;
    } cases[] = {
        {L"flagged.png", 1, L"image/png", true},
        {L"doc.pdf", 0, L"application/pdf", true},
        {L"doc.doc", 0, L"Application/msword", true},
        {L"notes.txt", 0, L"  text/plain; charset=utf-8 \t", true},
        {L"image.png", 0, L"image/png", false},
        {L"inner.bin", 0, L"x-application/octet", false},
        {L"", 1, L"application/pdf", false},  // no name: dropped
    };
    std::vector<CString> expected;
    for (const auto& c : cases) {
        Resource(note, c.name, CStringA(c.name).GetString(), c.flag, c.mime);
        if (c.attachment) expected.push_back(c.name);
    }
    Open();

    CExbResourceArray list;
    EXPECT_EQ(expected, Read(ReadNoteAttachments, note, &list));
    for (const CExbResource& r : list) {
        EXPECT_EQ(CStringA(r.m_strFileName).GetString(), Bytes(r.m_strFileName));
        EXPECT_EQ(L"http://example.com/" + r.m_strFileName, r.m_strSourceURL);
        EXPECT_EQ(L"", r.m_strMD5);
    }
}

TEST_F(ExbResourcesTest, AttachmentBytesFallBackToAttrs35Then40)
{
    long long note = File().AddNote(exb::Note());
    long long from35 = Resource(note, L"from35.pdf", "thirty-five", 1, L"application/pdf", false);
    long long from40 = Resource(note, L"from40.pdf", "", 1, L"application/pdf", false);
    long long nowhere = Resource(note, L"nowhere.pdf", "", 1, L"application/pdf", false);
    File().Exec("DELETE FROM attrs WHERE aid=35 AND uid IN (" + std::to_string(from40) + ", " +
                std::to_string(nowhere) + ")");
    File().AddAttr(from40, exb::kAidResourceDataAlt, 0, "forty");
    File().AddAttr(from35, exb::kAidResourceDataAlt, 0, "not forty");
    // Bytes in every source: the resources table is asked first.
    long long other = File().AddNote(exb::Note());
    long long everywhere = Resource(other, L"everywhere.pdf", "resources", 1, L"application/pdf");
    File().AddAttr(everywhere, exb::kAidResourceData, 0, "not thirty-five");
    File().AddAttr(everywhere, exb::kAidResourceDataAlt, 0, "not forty");
    Open();

    EXPECT_TRUE(Read(ReadNoteResources, note).empty());  // without a resources row nothing is listed
    EXPECT_FALSE(ImporterFileExists(Folder() + L"from35.pdf"));
    EXPECT_EQ((std::vector<CString>{L"from35.pdf", L"from40.pdf"}), Read(ReadNoteAttachments, note));
    EXPECT_EQ("thirty-five", Bytes(L"from35.pdf"));
    EXPECT_EQ("forty", Bytes(L"from40.pdf"));
    EXPECT_FALSE(ImporterFileExists(Folder() + L"nowhere.pdf"));
    EXPECT_EQ(std::vector<CString>{L"everywhere.pdf"}, Read(ReadNoteAttachments, other));
    EXPECT_EQ("resources", Bytes(L"everywhere.pdf"));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ExbResourcesTest, EqualNamesGetFilesOfTheirOwn)
{
    long long note = File().AddNote(exb::Note());
    Resource(note, L"pic.png", "first");
    Resource(note, L"Pic.PNG", "second");     // equal to the file system
    Resource(note, L"pic (2).png", "third");  // taken by the second already
    Resource(note, L"pic.png", "fourth", 1);  // an attachment among them
    Resource(note, (Id(note) + L".htm").c_str(), "fifth");  // the note's own page
    Resource(note, L"scan.pdf", "attached", 1, L"application/pdf", false);  // listed only as an attachment
    long long other = File().AddNote(exb::Note());
    Resource(other, L"scan.pdf", "attached", 1, L"application/pdf", false);
    Resource(other, L"scan.pdf", "image data");  // the resource pass takes the name first
    Open();

    std::vector<CString> expected = {L"pic.png", L"Pic (2).PNG", L"pic (2) (2).png", L"pic (3).png",
                                     CString((Id(note) + L" (2).htm").c_str())};
    EXPECT_EQ(expected, Read(ReadNoteResources, note));
    const char* bytes[] = {"first", "second", "third", "fourth", "fifth"};
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(bytes[i], Bytes(expected[i]));
    EXPECT_EQ(expected, Read(ReadNoteResources, note));  // the same names every time

    // The attachment pass names an attachment's file as the resource pass did and
    // lands on no other resource's file.
    EXPECT_EQ((std::vector<CString>{L"pic (3).png", L"scan.pdf"}), Read(ReadNoteAttachments, note));
    EXPECT_EQ("fourth", Bytes(L"pic (3).png"));
    EXPECT_EQ("attached", Bytes(L"scan.pdf"));
    EXPECT_EQ("first", Bytes(L"pic.png"));

    EXPECT_EQ(std::vector<CString>{L"scan.pdf"}, Read(ReadNoteResources, other));
    EXPECT_EQ(std::vector<CString>{L"scan (2).pdf"}, Read(ReadNoteAttachments, other));
    EXPECT_EQ("image data", Bytes(L"scan.pdf"));
    EXPECT_EQ("attached", Bytes(L"scan (2).pdf"));
}

// Windows opens no path of MAX_PATH characters or more with the plain file calls (Wine does): a
// name is cut to fit beside the folder, its extension kept, and stays apart from the others.
TEST_F(ExbResourcesTest, LongNamesAreCutToFitBesideTheFolder)
{
    const int room = MAX_PATH - 1 - static_cast<int>(Folder().size());
    const std::wstring p(240, L'p'), x(room - 3, L'x'), fits = std::wstring(room - 4, L'f') + L".png";
    const struct {
        std::wstring name, expected;
        int flag;
    } cases[] = {
        {L"short.png", L"short.png", 0},
        {fits, fits, 0},
        {fits, std::wstring(room - 8, L'f') + L" (2).png", 0},
        {p + L".png", std::wstring(room - 4, L'p') + L".png", 0},
        {p + L".PNG", std::wstring(room - 8, L'p') + L" (2).PNG", 1},
        {p, std::wstring(room, L'p'), 0},
        {std::wstring(room - 1, L'b') + L" bb", std::wstring(room - 1, L'b'), 0},  // no blank at the end
        {L"a." + x + L" " + std::wstring(20, L'x'), L"a." + x, 0},  // no stem to cut: the end goes
        {L"console." + std::wstring(room - 4, L'x'), L"console." + std::wstring(room - 8, L'x'), 0},  // not "con.x"
    };
    long long note = File().AddNote(exb::Note());
    std::vector<CString> expected;
    for (const auto& c : cases) {
        Resource(note, c.name.c_str(), std::to_string(expected.size()), c.flag);
        expected.push_back(c.expected.c_str());
    }
    Resource(note, (std::wstring(240, L'd') + L".pdf").c_str(), "attached", 1, L"application/pdf", false);
    Open();

    std::vector<CString> written = Read(ReadNoteResources, note);
    EXPECT_EQ(expected, written);
    for (size_t i = 0; i < written.size(); ++i) {
        EXPECT_LT(Folder().size() + written[i].GetLength(), static_cast<size_t>(MAX_PATH));
        EXPECT_EQ(std::to_string(i), Bytes(written[i]));
    }
    const CString attached = (std::wstring(room - 4, L'd') + L".pdf").c_str();
    EXPECT_EQ((std::vector<CString>{expected[4], attached}), Read(ReadNoteAttachments, note));
    EXPECT_EQ("attached", Bytes(attached));

    // A folder that leaves no room for a name gets no file.
    const std::wstring deep = Folder() + std::wstring(MAX_PATH - 2 - Folder().size(), L'd') + L"\\";
    ASSERT_TRUE(::CreateDirectoryW(deep.c_str(), nullptr));
    CExbResourceArray none;
    EXPECT_TRUE(ReadNoteResources(m_database, Id(note).c_str(), deep.c_str(), none));
    EXPECT_TRUE(ReadNoteAttachments(m_database, Id(note).c_str(), deep.c_str(), none));
    EXPECT_TRUE(none.empty());
}

// Windows drops trailing dots and blanks, so these names would all open one file.
TEST_F(ExbResourcesTest, NamesEqualButForTrailingDotsAndBlanksGetFilesOfTheirOwn)
{
    long long note = File().AddNote(exb::Note());
    Resource(note, L"a.jpg", "first");
    Resource(note, L"a.jpg.", "second");
    Resource(note, L"A.JPG ", "third");
    Resource(note, (Id(note) + L".htm. ").c_str(), "fourth");
    Open();

    // The records name the files as they are on disk, so the page's links find them.
    std::vector<CString> expected = {L"a.jpg", L"a (2).jpg", L"A (3).JPG", CString((Id(note) + L" (2).htm").c_str())};
    EXPECT_EQ(expected, Read(ReadNoteResources, note));
    const char* bytes[] = {"first", "second", "third", "fourth"};
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(bytes[i], Bytes(expected[i]));
}

// A uid goes into the data queries unquoted: one that is not a number is passed over.
TEST_F(ExbResourcesTest, AttachmentWhoseUidIsNotANumberIsPassedOver)
{
    exb::ExbFixture& file = File({exb::Table::ResourceAttr});
    long long note = file.AddNote(exb::Note());
    long long other = file.AddNote(exb::Note());
    ASSERT_TRUE(file.Exec("CREATE TABLE resource_attr(uid, note INTEGER, file_name TEXT, source_url TEXT,"
                          " is_attachment INTEGER, mime TEXT, width INTEGER, height INTEGER, md5 BLOB);"
                          "INSERT INTO resources(uid, data) VALUES(900, 'another note''s bytes');"
                          "INSERT INTO resource_attr(uid, note, file_name, is_attachment, mime) VALUES"
                          " ('0 or 1=1', " + std::to_string(note) + ", 'evil.pdf', 1, 'application/pdf'),"
                          " (NULL, " + std::to_string(note) + ", 'none.pdf', 1, 'application/pdf'),"
                          " (900, " + std::to_string(other) + ", 'theirs.pdf', 1, 'application/pdf');"));
    Open();

    EXPECT_TRUE(Read(ReadNoteAttachments, note).empty());
    EXPECT_FALSE(ImporterFileExists(Folder() + L"evil.pdf"));
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(std::vector<CString>{L"theirs.pdf"}, Read(ReadNoteAttachments, other));
}

}  // namespace
