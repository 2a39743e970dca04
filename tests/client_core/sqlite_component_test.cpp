// The SQLite component: read-only opening, one statement per query, values, several recordsets, blobs.
#include <gtest/gtest.h>

#include "core_test_support.h"
#include "exb_fixture.h"

#include <sqlite3.h>

using namespace core_test;

namespace {

// The texts the importer runs against a notebook file, with ids filled in.
const char* const kImporterSql[] = {
    "select uid from items where type=2",
    "select data from attrs where uid=1 and aid=0 and afl=2",
    "select data from attrs where uid=1 and aid=28 and afl=160",
    "select data from attrs where uid=1 and aid=30 and afl=160",
    "select note, resources.uid, width, height, file_name, md5, is_attachment, data from resource_attr, resources "
    "where resource_attr.uid=resources.uid and resource_attr.note=3",
    "select data from resources where uid=4",
    "select uid, aid, data from attrs where uid=4 and aid=35",
    "select note, uid, file_name, source_url, is_attachment, mime from resource_attr where note=3",
    "select data from attrs where uid=2 and aid=46",
    "select count(*) from note_attr",
    "select uid, title, author, notebook, tags, date_created, date_updated, source_url, latitude, longitude, "
    "notebook_uid from note_attr",
};

// uid 1 tag "Work" (with both parent rows), 2 notebook "Inbox" in stack "Projects", 3 note,
// 4 its image (bytes also in attrs), 5 its attachment.
void FillNotebook(exb::ExbFixture& fx) {
    const long long tag = fx.AddTag(L"Work");
    fx.AddAttr(tag, exb::kAidTagParent, exb::kAflTagParent, exb::Int32Bytes(7));
    fx.AddAttr(tag, exb::kAidTagParentAlt, exb::kAflTagParent, exb::Int32Bytes(7));
    const long long notebook = fx.AddNotebook(L"Inbox", L"Projects");
    exb::Note note;
    note.title = L"Gr\u00fc\u00dfe \u65e5\u672c";
    note.notebook = L"Inbox";
    note.tags = L"Work";
    note.dateCreated = 693594.5;
    note.dateUpdated = 739000.25;
    note.latitude = 31.2;
    note.notebookUid = notebook;
    note.body = "<en-note>hello</en-note>";
    const long long uid = fx.AddNote(note);
    exb::Resource image;
    image.note = uid;
    image.fileName = L"a.png";
    image.width = 640;
    image.height = 480;
    image.data = std::string("\x89PNG\0\x01\x02", 7);
    fx.AddAttr(fx.AddResource(image), exb::kAidResourceData, 0, image.data);
    fx.AddAttachment(uid, L"doc.pdf", "%PDF-1.4", L"http://example.com/doc.pdf");
}

class SQLiteComponent : public ::testing::Test {
protected:
    void SetUp() override {
        exb::ExbFixture fx(path_);
        FillNotebook(fx);
        ASSERT_TRUE(fx.ok()) << fx.error();
        fx.Close();
        ASSERT_EQ(S_OK, NewSQLiteDatabase(&db_));
    }

    HRESULT Open() { return db_->Open(Bstr(path_)); }

    HRESULT Query(const std::string& sql, Ref<IBrelmSQLiteRecordset>* rows) {
        Ref<IDispatch> result;
        const HRESULT hr = db_->Query(Bstr(std::wstring(sql.begin(), sql.end())), 0, result.put());
        if (FAILED(hr)) {
            EXPECT_FALSE(result);
            return hr;
        }
        EXPECT_TRUE(result);
        return result.As(rows);
    }

    static std::wstring Field(IBrelmSQLiteRecordset* rows, long column) {
        Bstr value;
        EXPECT_EQ(S_OK, rows->GetFieldValue(column, value.put()));
        return value.str();
    }

    static bool AtEnd(IBrelmSQLiteRecordset* rows) {
        VARIANT_BOOL end = VARIANT_FALSE;
        rows->get_EOF(&end);
        return end != VARIANT_FALSE;
    }

    TempDir dir_;
    std::wstring path_ = dir_ / L"notes.exb";
    Ref<IBrelmSQLiteDatabase> db_;
};

TEST_F(SQLiteComponent, FixtureAnswersEveryImporterQuery) {
    ASSERT_EQ(S_OK, Open());
    for (const char* sql : kImporterSql) {
        Ref<IBrelmSQLiteRecordset> rows;
        EXPECT_EQ(S_OK, Query(sql, &rows)) << sql;
        EXPECT_FALSE(rows && AtEnd(rows.get())) << "no row for: " << sql;
    }
}

TEST_F(SQLiteComponent, MissingTableFailsItsQueriesOnly) {
    const exb::Table omitted[] = {exb::Table::Items, exb::Table::Attrs, exb::Table::NoteAttr,
                                  exb::Table::ResourceAttr, exb::Table::Resources};
    const char* const names[] = {"items", "attrs", "note_attr", "resource_attr", "resources"};
    for (size_t t = 0; t < 5; ++t) {
        {
            exb::ExbFixture fx(path_, {omitted[t]});
            FillNotebook(fx);
            ASSERT_TRUE(fx.ok()) << fx.error();
        }
        ASSERT_EQ(S_OK, Open());
        for (const char* sql : kImporterSql) {
            const bool uses = std::string(sql).find(std::string(" ") + names[t]) != std::string::npos ||
                              std::string(sql).find(std::string(names[t]) + ".") != std::string::npos;
            Ref<IBrelmSQLiteRecordset> rows;
            EXPECT_EQ(uses, FAILED(Query(sql, &rows))) << names[t] << ": " << sql;
        }
        db_->Close();
    }
}

// The user's notebook file must stay exactly as it was: its bytes and its folder.
TEST_F(SQLiteComponent, OpeningAndReadingChangesNothingOnDisk) {
    for (const bool wal : {false, true}) {
        if (wal) {
            sqlite3* raw = nullptr;
            ASSERT_EQ(SQLITE_OK, sqlite3_open(Utf8(path_).c_str(), &raw));
            sqlite3_exec(raw, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
            sqlite3_close(raw);
        }
        const std::string before = ReadBytes(path_);
        const std::vector<std::wstring> listing = ListFolder(dir_.path());
        {
            Ref<IBrelmSQLiteDatabase> db;
            ASSERT_EQ(S_OK, NewSQLiteDatabase(&db));
            ASSERT_EQ(S_OK, db->Open(Bstr(path_)));
            Ref<IDispatch> result;
            ASSERT_EQ(S_OK, db->Query(Bstr(L"select uid, title from note_attr"), 0, result.put()));
            EXPECT_EQ(listing, ListFolder(dir_.path())) << "side files while a recordset is open";
            EXPECT_FAILED(db->Query(Bstr(L"delete from note_attr"), 0, result.put()));
            EXPECT_FAILED(db->Query(Bstr(L"vacuum into 'copy.exb'"), 0, result.put()));
            EXPECT_FAILED(db->Query(Bstr(L"attach 'other.exb' as other"), 0, result.put()));
            db->Close();
        }
        EXPECT_EQ(before, ReadBytes(path_)) << (wal ? "WAL file" : "rollback file");
        EXPECT_EQ(listing, ListFolder(dir_.path())) << (wal ? "WAL file" : "rollback file");
    }
}

TEST_F(SQLiteComponent, PathsWithUriCharactersOpen) {
    for (const wchar_t* name : {L"50% off #1.exb", L"Gr\u00fc\u00dfe \u65e5\u672c.exb", L"a%20b.exb"}) {
        const std::wstring file = dir_ / name;
        ASSERT_TRUE(CopyFileW(path_.c_str(), file.c_str(), FALSE));
        EXPECT_EQ(S_OK, db_->Open(Bstr(file))) << Utf8(name);
        Ref<IBrelmSQLiteRecordset> rows;
        EXPECT_EQ(S_OK, Query("select count(*) from note_attr", &rows)) << Utf8(name);
    }
}

TEST_F(SQLiteComponent, ReadOnlyFileOpens) {
    ASSERT_TRUE(SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(S_OK, Open());
    Ref<IBrelmSQLiteRecordset> rows;
    EXPECT_EQ(S_OK, Query("select count(*) from note_attr", &rows));
    SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(SQLiteComponent, FilesThatAreNoDatabaseFailAtOpen) {
    const std::string good = ReadBytes(path_);
    ASSERT_GT(good.size(), 4096u);
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty file", ""},
        {"text file", "just some notes, not a database\r\n"},
        {"header only", good.substr(0, 100)},
        {"cut inside the first page", good.substr(0, 1000)},
        {"cut after the first page", good.substr(0, 4096)},
        {"cut inside the last page", good.substr(0, good.size() - 10)},
    };
    for (const auto& c : cases) {
        const std::wstring file = dir_ / L"bad.exb";
        ASSERT_TRUE(WriteBytes(file, c.bytes));
        EXPECT_FAILED(db_->Open(Bstr(file))) << c.what;
        Ref<IDispatch> result;
        EXPECT_EQ(E_UNEXPECTED, db_->Query(Bstr(L"select 1"), 0, result.put())) << c.what;
    }
    EXPECT_FAILED(db_->Open(Bstr(dir_ / L"missing.exb")));
    EXPECT_FALSE(FileExists(dir_ / L"missing.exb"));
    EXPECT_FAILED(db_->Open(Bstr(dir_.path())));
    EXPECT_FAILED(db_->Open(Bstr(L"")));
    EXPECT_FAILED(db_->Open(nullptr));
}

TEST_F(SQLiteComponent, QueryTakesExactlyOneStatement) {
    ASSERT_EQ(S_OK, Open());
    const struct {
        const char* sql;
        bool ok;
    } cases[] = {
        {"select 1", true},
        {"select 1;", true},
        {"  select 1 ; \r\n\t ", true},
        {"select 1; select 2", false},
        {"select 1;;", false},
        {"select 1 nonsense here", false},
        {"", false},
        {"   ", false},
        {"select * from no_such_table", false},
        {"insert into items values(99, 1)", false},
        {"create table t(x)", false},
    };
    for (const auto& c : cases) {
        Ref<IBrelmSQLiteRecordset> rows;
        EXPECT_EQ(c.ok, SUCCEEDED(Query(c.sql, &rows))) << c.sql;
    }
    Ref<IDispatch> result;
    EXPECT_EQ(E_POINTER, db_->Query(Bstr(L"select 1"), 0, nullptr));
    EXPECT_FAILED(db_->Query(nullptr, 0, result.put()));
}

TEST_F(SQLiteComponent, FieldValuesAsText) {
    ASSERT_EQ(S_OK, Open());
    Ref<IBrelmSQLiteRecordset> rows;
    ASSERT_EQ(S_OK, Query("select uid, title, date_created, date_updated, latitude, longitude, notebook_uid, "
                          "author, 42, -7, 0.25, x'414243' from note_attr",
                          &rows));
    ASSERT_FALSE(AtEnd(rows.get()));
    long count = 0;
    EXPECT_EQ(S_OK, rows->get_FieldCount(&count));
    EXPECT_EQ(12, count);
    EXPECT_EQ(L"3", Field(rows.get(), 0));
    EXPECT_EQ(L"Gr\u00fc\u00dfe \u65e5\u672c", Field(rows.get(), 1));
    EXPECT_EQ(L"693594.5", Field(rows.get(), 2));
    EXPECT_EQ(L"739000.25", Field(rows.get(), 3));
    EXPECT_EQ(L"31.2", Field(rows.get(), 4));
    EXPECT_EQ(L"", Field(rows.get(), 5));  // NULL
    EXPECT_EQ(L"2", Field(rows.get(), 6));
    EXPECT_EQ(L"", Field(rows.get(), 7));  // empty text
    EXPECT_EQ(L"42", Field(rows.get(), 8));
    EXPECT_EQ(L"-7", Field(rows.get(), 9));
    EXPECT_EQ(L"0.25", Field(rows.get(), 10));
    EXPECT_EQ(L"ABC", Field(rows.get(), 11));

    VARIANT_BOOL isNull = VARIANT_FALSE;
    EXPECT_EQ(S_OK, rows->IsFieldNull(5, &isNull));
    EXPECT_NE(VARIANT_FALSE, isNull);
    EXPECT_EQ(S_OK, rows->IsFieldNull(7, &isNull));
    EXPECT_EQ(VARIANT_FALSE, isNull);
    long type = 0;
    EXPECT_EQ(S_OK, rows->GetFieldType(0, &type));
    EXPECT_EQ(SQLITE_INTEGER, type);
    EXPECT_EQ(S_OK, rows->GetFieldType(5, &type));
    EXPECT_EQ(SQLITE_NULL, type);
    Bstr name;
    EXPECT_EQ(S_OK, rows->GetFieldName(1, name.put()));
    EXPECT_EQ(L"title", name.str());

    Bstr value;
    EXPECT_FAILED(rows->GetFieldValue(12, value.put()));
    EXPECT_FAILED(rows->GetFieldValue(-1, value.put()));
    EXPECT_EQ(nullptr, static_cast<BSTR>(value));

    EXPECT_EQ(S_OK, rows->MoveNext());
    EXPECT_TRUE(AtEnd(rows.get()));
    EXPECT_FAILED(rows->GetFieldValue(0, value.put()));
    EXPECT_EQ(S_FALSE, rows->MoveNext());
    EXPECT_TRUE(AtEnd(rows.get()));
}

TEST_F(SQLiteComponent, RecordsetsKeepTheirRowsSideBySide) {
    ASSERT_EQ(S_OK, Open());
    Ref<IBrelmSQLiteRecordset> items, attrs, none;
    ASSERT_EQ(S_OK, Query("select uid from items order by uid", &items));
    EXPECT_EQ(L"1", Field(items.get(), 0));
    items->MoveNext();
    EXPECT_EQ(L"2", Field(items.get(), 0));

    ASSERT_EQ(S_OK, Query("select uid, aid from attrs order by uid, aid", &attrs));
    int attrRows = 0;
    for (; !AtEnd(attrs.get()); attrs->MoveNext()) ++attrRows;
    EXPECT_EQ(7, attrRows);
    ASSERT_EQ(S_OK, Query("select uid from items where type=99", &none));
    EXPECT_TRUE(AtEnd(none.get()));

    EXPECT_EQ(L"2", Field(items.get(), 0));
    items->MoveNext();
    EXPECT_EQ(L"3", Field(items.get(), 0));

    // Rows stay readable after the database is closed and released.
    db_->Close();
    db_.Reset();
    items->MoveNext();
    EXPECT_EQ(L"4", Field(items.get(), 0));
}

TEST_F(SQLiteComponent, FieldDataLandsInTheStreamAtItsPosition) {
    ASSERT_EQ(S_OK, Open());
    Ref<IBrelmSQLiteRecordset> rows;
    ASSERT_EQ(S_OK, Query("select md5, data, file_name, null from resource_attr, resources "
                          "where resource_attr.uid=resources.uid and file_name='a.png'",
                          &rows));
    ASSERT_FALSE(AtEnd(rows.get()));
    const std::string png("\x89PNG\0\x01\x02", 7);
    const struct {
        long column;
        std::string bytes;
    } cases[] = {{0, exb::Md5(png)}, {1, png}, {2, "a.png"}, {3, ""}};
    for (const auto& c : cases) {
        Ref<IStream> stream;
        ASSERT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, stream.put()));
        ULONG written = 0;
        ASSERT_EQ(S_OK, stream->Write("xyz", 3, &written));
        VARIANT holder;
        VariantInit(&holder);
        V_VT(&holder) = VT_UNKNOWN;
        V_UNKNOWN(&holder) = stream.get();
        stream->AddRef();
        EXPECT_EQ(S_OK, rows->GetFieldData(c.column, holder)) << c.column;
        VariantClear(&holder);

        const LARGE_INTEGER zero{};
        ULARGE_INTEGER position{};
        stream->Seek(zero, STREAM_SEEK_CUR, &position);
        EXPECT_EQ(3u, position.QuadPart) << c.column;
        char buffer[64] = {};
        ULONG got = 0;
        stream->Read(buffer, sizeof buffer, &got);
        EXPECT_EQ(c.bytes, std::string(buffer, got)) << c.column;
    }

    VARIANT wrong;
    VariantInit(&wrong);
    V_VT(&wrong) = VT_I4;
    V_I4(&wrong) = 5;
    EXPECT_EQ(E_INVALIDARG, rows->GetFieldData(0, wrong));
    Ref<IBrelmDatabase> notStream;
    ASSERT_EQ(S_OK, NewDatabase(&notStream));
    V_VT(&wrong) = VT_UNKNOWN;
    V_UNKNOWN(&wrong) = notStream.get();
    EXPECT_FAILED(rows->GetFieldData(0, wrong));
}

TEST_F(SQLiteComponent, FailuresCarryTheSQLiteMessage) {
    ASSERT_EQ(S_OK, Open());
    Ref<IDispatch> result;
    EXPECT_FAILED(db_->Query(Bstr(L"select nope from items"), 0, result.put()));
    const std::wstring text = LastErrorInfo();
    EXPECT_NE(std::wstring::npos, text.find(L"no such column")) << Utf8(text);
    EXPECT_NE(std::wstring::npos, text.find(L"select nope from items")) << Utf8(text);

    // A failure returned without a text leaves no older description behind.
    Ref<IBrelmSQLiteRecordset> rows;
    ASSERT_EQ(S_OK, Query("select 1", &rows));
    EXPECT_FAILED(db_->Query(Bstr(L"select nope from items"), 0, result.put()));
    EXPECT_EQ(E_POINTER, db_->Query(Bstr(L"select 1"), 0, nullptr));
    EXPECT_EQ(L"", LastErrorInfo());
    EXPECT_FAILED(db_->Query(Bstr(L"select nope from items"), 0, result.put()));
    EXPECT_EQ(E_POINTER, rows->get_FieldCount(nullptr));
    EXPECT_EQ(L"", LastErrorInfo());
}

// A reader that takes the file as it stands would miss changes still in a -wal file or a hot
// journal beside it; the file is refused instead, and neither file is touched.
TEST_F(SQLiteComponent, PendingChangesBesideTheFileRefuseToOpen) {
    const std::wstring wal = path_ + L"-wal", journal = path_ + L"-journal";
    sqlite3* writer = nullptr;  // Evernote, still running with a change not yet merged
    ASSERT_EQ(SQLITE_OK, sqlite3_open(Utf8(path_).c_str(), &writer));
    ASSERT_EQ(SQLITE_OK, sqlite3_exec(writer, "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;"
                                              "INSERT INTO items VALUES(99, 1)", nullptr, nullptr, nullptr));
    const std::string walBytes = ReadBytes(wal), before = ReadBytes(path_);
    ASSERT_FALSE(walBytes.empty());
    EXPECT_FAILED(Open());
    const std::wstring text = LastErrorInfo();
    EXPECT_NE(std::wstring::npos, text.find(L"unsaved changes")) << Utf8(text);
    EXPECT_NE(std::wstring::npos, text.find(L"close Evernote")) << Utf8(text);
    Ref<IDispatch> result;
    EXPECT_EQ(E_UNEXPECTED, db_->Query(Bstr(L"select 1"), 0, result.put()));
    EXPECT_EQ(walBytes, ReadBytes(wal));
    EXPECT_EQ(before, ReadBytes(path_));
    sqlite3_close(writer);  // merges the change and removes the -wal file
    ASSERT_FALSE(FileExists(wal));

    const std::string hot = "\xd9\xd5\x05\xf9\x20\xa1\x63\xd7" + std::string(4088, '\x01');
    const struct {
        const std::wstring* side;
        std::string bytes;
        bool opens;
    } cases[] = {{&wal, "", true}, {&journal, "", true}, {&journal, hot, false}, {&wal, "WAL", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8(*c.side) + ", " + std::to_string(c.bytes.size()) + " bytes");
        ASSERT_TRUE(WriteBytes(*c.side, c.bytes));
        const std::string database = ReadBytes(path_);
        EXPECT_EQ(c.opens, SUCCEEDED(Open()));
        if (!c.opens) {
            EXPECT_NE(std::wstring::npos, LastErrorInfo().find(L"close Evernote"));
        }
        EXPECT_EQ(c.bytes, ReadBytes(*c.side));
        EXPECT_EQ(database, ReadBytes(path_));
        db_->Close();
        DeleteFileW(c.side->c_str());
    }
}

}  // namespace
