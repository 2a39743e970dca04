// Tags read into the map: keys, cleaned names, the last tag winning, parent ids and their fallback.
#include "exb_tags.h"
#include "foundation_print.h"
#include "importer_exb_test.h"

namespace {

class ExbTagsTest : public ImporterExbTest {
protected:
    // A tag item with only the rows given: a name row when name is set, parent rows as raw bytes.
    long long Tag(const wchar_t* name, const std::string& parent28 = "-", const std::string& parent30 = "-")
    {
        long long uid = File().AddItem(exb::kTagItem);
        if (name) File().AddAttr(uid, exb::kAidName, exb::kAflTagName, exb::Utf8(name));
        if (parent28 != "-") File().AddAttr(uid, exb::kAidTagParent, exb::kAflTagParent, parent28);
        if (parent30 != "-") File().AddAttr(uid, exb::kAidTagParentAlt, exb::kAflTagParent, parent30);
        return uid;
    }

    CExbTagMap Read()
    {
        Open();
        CExbTagMap map;
        EXPECT_TRUE(ReadExbTags(m_database, map));
        EXPECT_TRUE(Messages().empty());
        return map;
    }
};

TEST_F(ExbTagsTest, KeysFoldOnlyAToZAndTheLastTagOfAKeyWins)
{
    Tag(L"Work");
    long long later = Tag(L"work", exb::Int32Bytes(7));
    Tag(L"a/b;c\\d,e");
    Tag(L"\u00c9t\u00e9");  // a capital E acute stays apart from the small one
    Tag(L"\u00e9t\u00e9");
    Tag(nullptr);             // tags without a name share the empty key
    long long lastNameless = Tag(nullptr);
    Tag(L"ab");
    Tag(L"a");
    File().AddNotebook(L"not a tag");
    CExbTagMap map = Read();

    std::vector<CString> keys, expected = {L"", L"a", L"a-b-c-d-e", L"ab", L"work", L"\u00c9t\u00e9", L"\u00e9t\u00e9"};
    for (const auto& entry : map) keys.push_back(entry.first);
    EXPECT_EQ(expected, keys);
    EXPECT_EQ(L"work", map[L"work"].m_strName);
    EXPECT_EQ(CString(Id(later).c_str()), map[L"work"].m_strUid);
    EXPECT_EQ(L"7", map[L"work"].m_strParentUid);
    EXPECT_EQ(L"a-b-c-d-e", map[L"a-b-c-d-e"].m_strName);
    EXPECT_EQ(CString(Id(lastNameless).c_str()), map[L""].m_strUid);
}

TEST_F(ExbTagsTest, ParentIdComesFromAid28ThenAid30)
{
    Tag(L"top");
    Tag(L"from28", exb::Int32Bytes(7), exb::Int32Bytes(9));
    Tag(L"from30", "-", exb::Int32Bytes(9));
    Tag(L"short28", std::string("\x07\x00", 2), exb::Int32Bytes(9));  // a row of the wrong size still counts
    Tag(L"long28", std::string("\x07\x00\x00\x00\x00", 5));
    Tag(L"negative", exb::Int32Bytes(-2));
    CExbTagMap map = Read();

    EXPECT_EQ(L"", map[L"top"].m_strParentUid);
    EXPECT_EQ(L"7", map[L"from28"].m_strParentUid);
    EXPECT_EQ(L"9", map[L"from30"].m_strParentUid);
    EXPECT_EQ(L"0", map[L"short28"].m_strParentUid);
    EXPECT_EQ(L"0", map[L"long28"].m_strParentUid);
    EXPECT_EQ(L"-2", map[L"negative"].m_strParentUid);
}

TEST_F(ExbTagsTest, NoTagsGiveAnEmptyMap)
{
    File().AddNotebook(L"Notes");
    EXPECT_TRUE(Read().empty());
}

// A uid goes into the tag queries unquoted: one that is not a number is passed over.
TEST_F(ExbTagsTest, TagWhoseUidIsNotANumberIsPassedOver)
{
    exb::ExbFixture& file = File({exb::Table::Items});
    ASSERT_TRUE(file.Exec("CREATE TABLE items(uid, type INTEGER NOT NULL);"
                          "INSERT INTO items(uid, type) VALUES ('0 or 1=1', 2), (NULL, 2), (7, 2);"));
    file.AddAttr(7, exb::kAidName, exb::kAflTagName, exb::Utf8(L"Real"));
    CExbTagMap map = Read();
    ASSERT_EQ(1u, map.size());
    EXPECT_EQ(L"7", map.begin()->second.m_strUid);
    EXPECT_EQ(L"Real", map.begin()->second.m_strName);
}

TEST_F(ExbTagsTest, FailedQueries)
{
    File({exb::Table::Attrs}).AddItem(exb::kTagItem);
    Open();
    CExbTagMap map;
    EXPECT_TRUE(ReadExbTags(m_database, map));
    ASSERT_EQ(1u, map.size());
    EXPECT_EQ(L"", map.begin()->second.m_strName);
    EXPECT_EQ(L"", map.begin()->second.m_strParentUid);
    EXPECT_EQ(3u, Messages().size());  // name, parent and fallback parent

    m_database.Release();
    m_file.reset();
    File({exb::Table::Items});
    Open();
    map.clear();
    EXPECT_FALSE(ReadExbTags(m_database, map));
    EXPECT_TRUE(map.empty());
    EXPECT_EQ(std::vector<std::wstring>{L"Can't query database:\n\nselect uid from items where type=2"}, Messages());
}

}  // namespace
