// The tag tree made in a real knowledge base from a tag map: order, reuse, unreachable entries.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <string>
#include <vector>

#include "foundation_temp_dir.h"
#include "importer_core_dll.h"
#include "tag_tree.h"

namespace {

struct TagRow {
    std::string name;
    std::string parent;  // empty at the top
    bool operator==(const TagRow& o) const { return name == o.name && parent == o.parent; }
};

std::ostream& operator<<(std::ostream& os, const TagRow& row) { return os << row.parent << "/" << row.name; }

// Entries keyed as the tag reader keys them: A-Z lower-cased.
void AddTag(CExbTagMap& map, const wchar_t* name, const wchar_t* uid, const wchar_t* parentUid)
{
    CExbTag tag;
    tag.m_strName = name;
    tag.m_strUid = uid;
    tag.m_strParentUid = parentUid;
    CString key(name);
    for (int i = 0; i < key.GetLength(); ++i)
        if (key[i] >= L'A' && key[i] <= L'Z') key.SetAt(i, static_cast<wchar_t>(key[i] + 32));
    map[key] = tag;
}

class TagTreeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_core.Loaded());
        m_kbPath = m_temp.Path() + L"tags.kb";
        m_database = m_core.OpenKnowledgeBase(m_kbPath);
        ASSERT_TRUE(m_database);
    }

    // Every tag of the knowledge base in the order made, with its parent's name.
    std::vector<TagRow> Tags()
    {
        m_database.Release();
        std::vector<TagRow> rows;
        sqlite3* db = nullptr;
        std::string path = CStringA(CString(m_kbPath.c_str())).GetString();
        EXPECT_EQ(SQLITE_OK, sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr));
        sqlite3_stmt* stmt = nullptr;
        EXPECT_EQ(SQLITE_OK, sqlite3_prepare_v2(db,
                                                "select t.name, ifnull(p.name, '') from tags t "
                                                "left join tags p on p.id = t.parent_id order by t.id",
                                                -1, &stmt, nullptr));
        while (stmt && sqlite3_step(stmt) == SQLITE_ROW)
            rows.push_back({reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)),
                            reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1))});
        sqlite3_finalize(stmt);
        sqlite3_close(db);
        return rows;
    }

    CComPtr<IDispatch> MakeRootTag(const wchar_t* name)
    {
        CComPtr<IDispatch> tag;
        m_database->CreateRootTag(CComBSTR(name), CComBSTR(L""), &tag);
        return tag;
    }

    FoundationTempDir m_temp;
    ImporterCoreDll m_core;
    std::wstring m_kbPath;
    CComPtr<IBrelmDatabase> m_database;
};

TEST_F(TagTreeTest, WalksInKeyOrderEachSubtreeFirst)
{
    CExbTagMap map;
    AddTag(map, L"b", L"1", L"");
    AddTag(map, L"A", L"2", L"");
    AddTag(map, L"a-child2", L"4", L"2");
    AddTag(map, L"a-child1", L"3", L"2");
    AddTag(map, L"grandchild", L"5", L"3");
    AddTag(map, L"b-child", L"6", L"1");
    CreateTagTree(m_database, nullptr, map, L"");

    std::vector<TagRow> expected = {{"A", ""},          {"a-child1", "A"}, {"grandchild", "a-child1"},
                                    {"a-child2", "A"}, {"b", ""},          {"b-child", "b"}};
    EXPECT_EQ(expected, Tags());
}

TEST_F(TagTreeTest, ReusesTagsFoundByNameWhereTheyStand)
{
    CComPtr<IDispatch> other = MakeRootTag(L"Other");
    CComPtr<IBrelmTag> otherTag;
    ASSERT_TRUE(SUCCEEDED(other->QueryInterface(IID_IBrelmTag, reinterpret_cast<void**>(&otherTag))));
    CComPtr<IDispatch> existing;
    otherTag->CreateChildTag(CComBSTR(L"Existing"), CComBSTR(L""), &existing);
    MakeRootTag(L"Known");
    existing.Release();
    otherTag.Release();
    other.Release();

    CExbTagMap map;
    AddTag(map, L"existing", L"1", L"");  // found under Other, left there
    AddTag(map, L"kid", L"2", L"1");      // made under the found tag
    AddTag(map, L"top", L"3", L"");
    AddTag(map, L"known", L"4", L"3");    // found at the top, not moved under top
    CreateTagTree(m_database, nullptr, map, L"");

    std::vector<TagRow> expected = {{"Other", ""}, {"Existing", "Other"}, {"Known", ""},
                                    {"kid", "Existing"}, {"top", ""}};
    EXPECT_EQ(expected, Tags());
}

TEST_F(TagTreeTest, LeavesOutWhatTheTopNeverReaches)
{
    CExbTagMap map;
    CreateTagTree(m_database, nullptr, map, L"");

    AddTag(map, L"kept", L"1", L"");
    AddTag(map, L"orphan", L"2", L"99");       // parent missing
    AddTag(map, L"orphan-child", L"3", L"2");
    AddTag(map, L"cycle-a", L"4", L"5");       // parents form a cycle
    AddTag(map, L"cycle-b", L"5", L"4");
    AddTag(map, L"", L"6", L"");               // no name: skipped with its subtree
    AddTag(map, L"under-nameless", L"7", L"6");
    CreateTagTree(m_database, nullptr, map, L"");

    std::vector<TagRow> expected = {{"kept", ""}};
    EXPECT_EQ(expected, Tags());  // the empty map before made nothing either
}

TEST_F(TagTreeTest, NeverDescendsFromAnIdAlreadyOnTheWay)
{
    CExbTagMap map;
    AddTag(map, L"noid", L"", L"");  // its children would be the top level again
    AddTag(map, L"root", L"1", L"");
    AddTag(map, L"child", L"2", L"1");
    AddTag(map, L"again", L"1", L"2");  // a second tag with the first one's id
    AddTag(map, L"below-again", L"3", L"1");
    CreateTagTree(m_database, nullptr, map, L"");

    std::vector<TagRow> expected = {{"noid", ""}, {"root", ""}, {"below-again", "root"}, {"child", "root"},
                                    {"again", "child"}};
    EXPECT_EQ(expected, Tags());
}

TEST_F(TagTreeTest, StopsDescendingAtAThousandLevels)
{
    CExbTagMap map;
    const int chain = 1100;
    for (int i = 1; i <= chain; ++i) {
        const std::wstring name = L"t" + std::to_wstring(i), uid = std::to_wstring(i);
        AddTag(map, name.c_str(), uid.c_str(), i == 1 ? L"" : std::to_wstring(i - 1).c_str());
    }
    CreateTagTree(m_database, nullptr, map, L"");
    const std::vector<TagRow> made = Tags();
    ASSERT_EQ(1000u, made.size());
    EXPECT_EQ((TagRow{"t1000", "t999"}), made.back());
}

}  // namespace
