// The knowledge base's database object: opening, folders by location, tags, document fields.
#include "exb_fixture.h"
#include "kb_test_support.h"

using namespace core_test;

namespace {

TEST(KnowledgeBaseOpen, FailuresNameThePathAndTheReason) {
    TempDir dir;
    ASSERT_TRUE(WriteBytes(dir / L"notes.txt", "plain text, no database"));
    {
        exb::ExbFixture fx(dir / L"notebook.exb");
        fx.AddTag(L"Work");
        ASSERT_TRUE(fx.ok()) << fx.error();
    }
    const std::string notebookBytes = ReadBytes(dir / L"notebook.exb");
    const struct {
        std::wstring path;
        const wchar_t* reason;
    } cases[] = {
        {dir / L"no\\such\\folder\\index.db", L"does not exist"},
        {dir.path(), L"folder"},
        {dir / L"notes.txt", L"not a knowledge-base file"},
        {dir / L"notebook.exb", L"not a Brelm knowledge base"},
    };
    for (const auto& c : cases) {
        Ref<IBrelmDatabase> db;
        ASSERT_EQ(S_OK, NewDatabase(&db));
        Bstr error;
        EXPECT_FAILED(db->OpenEx(Bstr(c.path), L"test", 0, error.put()));
        const std::wstring text = error.str();
        EXPECT_NE(std::wstring::npos, text.find(c.path)) << Utf8(text);
        EXPECT_NE(std::wstring::npos, text.find(c.reason)) << Utf8(text);
        Ref<IDispatch> folder;
        EXPECT_EQ(E_UNEXPECTED, db->GetFolderByLocation(Bstr(L"/A/"), VARIANT_TRUE, folder.put()));
    }
    EXPECT_EQ(notebookBytes, ReadBytes(dir / L"notebook.exb"));
    EXPECT_FALSE(FileExists(dir / L"no"));

    Ref<IBrelmDatabase> db;
    ASSERT_EQ(S_OK, NewDatabase(&db));
    Bstr error;
    EXPECT_FAILED(db->OpenEx(Bstr(L""), L"test", 0, error.put()));
    EXPECT_FALSE(error.str().empty());
    EXPECT_FAILED(db->OpenEx(Bstr(dir / L"notes.txt"), L"test", 0, nullptr));
}

TEST(KnowledgeBaseOpen, ReadOnlyFileIsRefused) {
    TempDir dir;
    {
        Ref<IBrelmDatabase> db;
        ASSERT_EQ(S_OK, NewDatabase(&db));
        ASSERT_EQ(S_OK, db->Open(Bstr(dir / L"kb.db")));
    }
    ASSERT_TRUE(SetFileAttributesW((dir / L"kb.db").c_str(), FILE_ATTRIBUTE_READONLY));
    HANDLE probe = CreateFileW((dir / L"kb.db").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                               nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
        SetFileAttributesW((dir / L"kb.db").c_str(), FILE_ATTRIBUTE_NORMAL);
        GTEST_SKIP() << "this account writes read-only files (Wine as root)";
    }
    Ref<IBrelmDatabase> db;
    ASSERT_EQ(S_OK, NewDatabase(&db));
    Bstr error;
    EXPECT_FAILED(db->OpenEx(Bstr(dir / L"kb.db"), L"test", 0, error.put()));
    EXPECT_NE(std::wstring::npos, error.str().find(L"read-only")) << Utf8(error.str());
    SetFileAttributesW((dir / L"kb.db").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(KnowledgeBaseOpen, ReopenedStoreKeepsItsContentAndEmptyFileBecomesOne) {
    TempDir dir;
    ASSERT_TRUE(WriteBytes(dir / L"kb.db", ""));
    for (int round = 0; round < 2; ++round) {
        Ref<IBrelmDatabase> db;
        ASSERT_EQ(S_OK, NewDatabase(&db));
        ASSERT_EQ(S_OK, db->Open(Bstr(dir / L"kb.db")));
        Ref<IDispatch> folder;
        ASSERT_EQ(S_OK, db->GetFolderByLocation(Bstr(round ? L"/Second/" : L"/First/"), VARIANT_TRUE, folder.put()));
    }
    std::string text, error;
    ASSERT_TRUE(kbdump::DumpKnowledgeBase(dir / L"kb.db", &text, &error)) << error;
    EXPECT_EQ("Folders\n  /First/\n  /Second/\nDocuments\n  (none)\nTags\n  (none)\n", text);
}

// Open("") finds the data store through HKCU\Software\Brelm, here a key of the test's own.
TEST(KnowledgeBaseOpen, EmptyPathOpensTheDefaultInTheDataStore) {
    TempDir dir;
    const std::wstring scratch = L"Software\\BrelmCoreTest-" + std::to_wstring(GetCurrentProcessId());
    HKEY root = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, scratch.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &root, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_CURRENT_USER, root));
    const std::wstring store = dir / L"My Store";
    CreateDirectoryW(store.c_str(), nullptr);
    const LSTATUS set = RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Brelm", L"DataStore", REG_SZ, store.c_str(),
                                        static_cast<DWORD>((store.size() + 1) * sizeof(wchar_t)));
    HRESULT opened = E_FAIL;
    {
        Ref<IBrelmDatabase> db;
        if (SUCCEEDED(NewDatabase(&db))) opened = db->Open(Bstr(L""));
    }
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(root);
    RegDeleteTreeW(HKEY_CURRENT_USER, scratch.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, scratch.c_str());

    ASSERT_EQ(ERROR_SUCCESS, set);
    EXPECT_EQ(S_OK, opened);
    std::string text, error;
    EXPECT_TRUE(kbdump::DumpKnowledgeBase(store + L"\\Data\\index.db", &text, &error)) << error;
}

class KnowledgeBase : public KnowledgeBaseTest {};

TEST_F(KnowledgeBase, FoldersByLocation) {
    const wchar_t* const bad[] = {L"", L"/", L"//", L"///", L"A/", L"/A", L"A", L"/A//B/", L"//A/"};
    for (const wchar_t* location : bad) {
        Ref<IDispatch> folder;
        EXPECT_EQ(E_INVALIDARG, db_->GetFolderByLocation(Bstr(location), VARIANT_TRUE, folder.put())) << Utf8(location);
        EXPECT_FALSE(folder);
    }
    Ref<IDispatch> folder;
    EXPECT_FAILED(db_->GetFolderByLocation(Bstr(L"/Missing/"), VARIANT_FALSE, folder.put()));
    EXPECT_FALSE(folder);

    EXPECT_TRUE(Folder(L"/A/B/"));
    EXPECT_TRUE(Folder(L"/A/B/"));
    EXPECT_TRUE(Folder(L"/A/"));
    EXPECT_TRUE(Folder(L"/\u00dcn\u00efcode/ x /"));
    EXPECT_EQ(S_OK, db_->GetFolderByLocation(Bstr(L"/A/B/"), VARIANT_FALSE, folder.put()));
    EXPECT_EQ(
        "Folders\n  /A/\n  /A/B/\n  /\xc3\x9cn\xc3\xaf" "code/\n  /\xc3\x9cn\xc3\xaf" "code/ x /\n"
        "Documents\n  (none)\nTags\n  (none)\n",
        Dump());
}

TEST_F(KnowledgeBase, TagsAreFoundByNameIgnoringCase) {
    Ref<IDispatch> object;
    EXPECT_EQ(S_OK, db_->CreateRootTag(Bstr(L"Work"), Bstr(L""), object.put()));
    EXPECT_EQ(S_FALSE, db_->CreateRootTag(Bstr(L"WORK"), Bstr(L""), object.put()));
    EXPECT_EQ(E_INVALIDARG, db_->CreateRootTag(Bstr(L""), Bstr(L""), object.put()));

    Ref<IBrelmTag> work;
    ASSERT_EQ(S_OK, db_->GetTagByName(Bstr(L"wORK"), 0, Bstr(L""), object.put()));
    ASSERT_EQ(S_OK, object.As(&work));
    EXPECT_EQ(S_OK, work->CreateChildTag(Bstr(L"Sub"), Bstr(L""), object.put()));
    EXPECT_EQ(S_FALSE, work->CreateChildTag(Bstr(L"sub"), Bstr(L""), object.put()));
    EXPECT_EQ(S_OK, work->CreateChildTag(Bstr(L"\u00c4rger"), Bstr(L""), object.put()));
    EXPECT_EQ(E_INVALIDARG, work->CreateChildTag(Bstr(L""), Bstr(L""), object.put()));
    EXPECT_EQ(S_OK, db_->CreateRootTag(Bstr(L"Sub"), Bstr(L""), object.put()));

    EXPECT_EQ(S_OK, db_->GetTagByName(Bstr(L"\u00e4RGER"), 0, Bstr(L""), object.put()));
    EXPECT_TRUE(object);
    EXPECT_EQ(S_FALSE, db_->GetTagByName(Bstr(L"Nothing"), 0, Bstr(L""), object.put()));
    EXPECT_FALSE(object);
    EXPECT_EQ(S_FALSE, db_->GetTagByName(Bstr(L""), 0, Bstr(L""), object.put()));

    // Of two tags with one name, the first made is found.
    Ref<IBrelmTag> sub;
    ASSERT_EQ(S_OK, db_->GetTagByName(Bstr(L"SUB"), 0, Bstr(L""), object.put()));
    ASSERT_EQ(S_OK, object.As(&sub));
    EXPECT_EQ(S_OK, sub->CreateChildTag(Bstr(L"Deeper"), Bstr(L""), object.put()));
    EXPECT_EQ(
        "Folders\n  (none)\nDocuments\n  (none)\nTags\n"
        "  Sub\n  Work\n    Sub\n      Deeper\n    \xc3\x84rger\n",
        Dump());
}

TEST_F(KnowledgeBase, DocumentFields) {
    Ref<IBrelmDocument> doc = Document(L"/Notes/", L"Shopping\nlist", L"http://example.com/list");
    ASSERT_TRUE(doc);
    EXPECT_EQ(S_OK, doc->put_DateCreated(45406.583333333336));
    EXPECT_EQ(S_OK, doc->put_DateModified(0.25));
    EXPECT_EQ(S_OK, doc->put_DataDateModified(-1.25));
    EXPECT_EQ(E_INVALIDARG, doc->put_DateCreated(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_EQ(S_OK, doc->SetParamValue(Bstr(L"MAP_LOCATION"), Bstr(L"0,0")));
    EXPECT_EQ(S_OK, doc->SetParamValue(Bstr(L"MAP_LOCATION"), Bstr(L"121.5,31.2")));
    EXPECT_EQ(E_INVALIDARG, doc->SetParamValue(Bstr(L""), Bstr(L"x")));
    Ref<IBrelmDocument> bare = Document(L"/Notes/", L"", L"");
    ASSERT_TRUE(bare);
    EXPECT_EQ(
        "Folders\n  /Notes/\nDocuments\n"
        "  /Notes/ \"Shopping\\nlist\"\n"
        "    URL: http://example.com/list\n"
        "    Created: 2024-04-24 14:00:00\n"
        "    Modified: 1899-12-30 06:00:00\n"
        "    Data modified: 1899-12-29 06:00:00\n"
        "    Param MAP_LOCATION: 121.5,31.2\n"
        "    Tags: -\n"
        "    Page: -\n"
        "  /Notes/ \"\"\n"
        "    URL: \n"
        "    Created: -\n"
        "    Modified: -\n"
        "    Data modified: -\n"
        "    Tags: -\n"
        "    Page: -\n"
        "Tags\n  (none)\n",
        Dump());
}

TEST_F(KnowledgeBase, SetTagsTextLinksAndCreatesUnderTheRootTag) {
    Ref<IDispatch> object;
    ASSERT_EQ(S_OK, db_->CreateRootTag(Bstr(L"Work"), Bstr(L""), object.put()));
    Ref<IBrelmDocument> first = Document(L"/N/", L"first");
    Ref<IBrelmDocument> second = Document(L"/N/", L"second");
    ASSERT_TRUE(first && second);
    EXPECT_EQ(S_OK, first->SetTagsText(Bstr(L"a; B ;;work;A"), Bstr(L"Evernote")));
    EXPECT_EQ(S_OK, second->SetTagsText(Bstr(L"b;c"), Bstr(L"")));
    std::string dump = Dump();
    EXPECT_NE(std::string::npos, dump.find("\"first\"\n    URL: \n    Created: -\n    Modified: -\n"
                                           "    Data modified: -\n    Tags: Evernote/B; Evernote/a; Work\n"))
        << dump;
    EXPECT_NE(std::string::npos, dump.find("    Tags: Evernote/B; c\n")) << dump;
    EXPECT_NE(std::string::npos, dump.find("Tags\n  c\n  Evernote\n    a\n    B\n  Work\n")) << dump;

    // The text replaces the document's tags; no tag is removed from the tree.
    EXPECT_EQ(S_OK, first->SetTagsText(Bstr(L""), Bstr(L"Evernote")));
    dump = Dump();
    EXPECT_NE(std::string::npos, dump.find("\"first\"\n    URL: \n    Created: -\n    Modified: -\n"
                                           "    Data modified: -\n    Tags: -\n"))
        << dump;
    EXPECT_NE(std::string::npos, dump.find("Tags\n  c\n  Evernote\n    a\n    B\n  Work\n")) << dump;
}

}  // namespace
