// Builds Evernote notebook files (.exb) for tests through SQLite.
#include "exb_fixture.h"

#include <sqlite3.h>

#include <windows.h>
#include <bcrypt.h>

#include <algorithm>
#include <cstdio>

namespace exb {

namespace {

const char* const kTableSql[] = {
    // Items
    "CREATE TABLE items(uid INTEGER PRIMARY KEY, type INTEGER NOT NULL);"
    "CREATE INDEX items_type ON items(type);",
    // Attrs
    "CREATE TABLE attrs(uid INTEGER NOT NULL, aid INTEGER NOT NULL, afl INTEGER NOT NULL DEFAULT 0, data BLOB);"
    "CREATE INDEX attrs_uid_aid ON attrs(uid, aid);",
    // NoteAttr
    "CREATE TABLE note_attr(uid INTEGER PRIMARY KEY, title TEXT, author TEXT, notebook TEXT, tags TEXT,"
    " date_created REAL, date_updated REAL, source_url TEXT, latitude REAL, longitude REAL,"
    " notebook_uid INTEGER);"
    "CREATE INDEX note_attr_notebook ON note_attr(notebook_uid);",
    // ResourceAttr: width, height and md5 live here, data in resources.
    "CREATE TABLE resource_attr(uid INTEGER PRIMARY KEY, note INTEGER, file_name TEXT, source_url TEXT,"
    " is_attachment INTEGER, mime TEXT, width INTEGER, height INTEGER, md5 BLOB);"
    "CREATE INDEX resource_attr_note ON resource_attr(note);",
    // Resources
    "CREATE TABLE resources(uid INTEGER PRIMARY KEY, data BLOB);",
};

struct Stmt {
    sqlite3_stmt* s = nullptr;
    ~Stmt() { sqlite3_finalize(s); }
};

}  // namespace

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string out(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::string Md5(const std::string& bytes) {
    unsigned char digest[16] = {};
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_MD5_ALGORITHM, nullptr, 0) == 0) {
        if (BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0) == 0) {
            BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())),
                           static_cast<ULONG>(bytes.size()), 0);
            BCryptFinishHash(hash, digest, sizeof digest, 0);
            BCryptDestroyHash(hash);
        }
        BCryptCloseAlgorithmProvider(algorithm, 0);
    }
    return std::string(reinterpret_cast<const char*>(digest), sizeof digest);
}

std::string Md5Hex(const std::string& bytes) {
    std::string hex;
    for (const char c : Md5(bytes)) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned char>(c));
        hex += pair;
    }
    return hex;
}

std::string Int32Bytes(int32_t value) {
    const auto u = static_cast<uint32_t>(value);
    const char bytes[4] = {static_cast<char>(u & 0xFF), static_cast<char>((u >> 8) & 0xFF),
                           static_cast<char>((u >> 16) & 0xFF), static_cast<char>((u >> 24) & 0xFF)};
    return std::string(bytes, 4);
}

ExbFixture::ExbFixture(const std::wstring& path, const std::vector<Table>& omit) : path_(path), omit_(omit) {
    DeleteFileW(path.c_str());
    if (sqlite3_open_v2(Utf8(path).c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        Fail("cannot create the file");
        return;
    }
    const Table tables[] = {Table::Items, Table::Attrs, Table::NoteAttr, Table::ResourceAttr, Table::Resources};
    for (size_t i = 0; i < 5; ++i) {
        if (Has(tables[i])) Exec(kTableSql[i]);
    }
}

ExbFixture::~ExbFixture() { Close(); }

void ExbFixture::Close() {
    if (db_) sqlite3_close_v2(db_);
    db_ = nullptr;
}

bool ExbFixture::Has(Table table) const { return std::find(omit_.begin(), omit_.end(), table) == omit_.end(); }

void ExbFixture::Fail(const std::string& what) {
    if (!error_.empty()) return;
    error_ = what;
    if (db_) error_ += std::string(": ") + sqlite3_errmsg(db_);
}

bool ExbFixture::Exec(const std::string& sql) {
    if (!db_) {
        Fail("the file is closed");
        return false;
    }
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        Fail("SQL failed (" + sql + ")");
        return false;
    }
    return true;
}

long long ExbFixture::AddItem(int type) {
    const long long uid = nextUid_++;
    if (Has(Table::Items)) Exec("INSERT INTO items(uid, type) VALUES(" + std::to_string(uid) + "," + std::to_string(type) + ")");
    return uid;
}

void ExbFixture::AddAttr(long long uid, int aid, int afl, const std::string& data) {
    if (!Has(Table::Attrs)) return;
    if (!db_) return Fail("the file is closed");
    Stmt st;
    if (sqlite3_prepare_v2(db_, "INSERT INTO attrs(uid, aid, afl, data) VALUES(?1, ?2, ?3, ?4)", -1, &st.s,
                           nullptr) != SQLITE_OK)
        return Fail("cannot add an attribute");
    sqlite3_bind_int64(st.s, 1, uid);
    sqlite3_bind_int(st.s, 2, aid);
    sqlite3_bind_int(st.s, 3, afl);
    sqlite3_bind_blob(st.s, 4, data.data(), static_cast<int>(data.size()), SQLITE_TRANSIENT);
    if (sqlite3_step(st.s) != SQLITE_DONE) Fail("cannot add an attribute");
}

long long ExbFixture::AddTag(const std::wstring& name, long long parentUid) {
    const long long uid = AddItem(kTagItem);
    AddAttr(uid, kAidName, kAflTagName, Utf8(name));
    if (parentUid) AddAttr(uid, kAidTagParent, kAflTagParent, Int32Bytes(static_cast<int32_t>(parentUid)));
    return uid;
}

long long ExbFixture::AddNotebook(const std::wstring& name, const std::wstring& stack) {
    const long long uid = AddItem(kNotebookItem);
    AddAttr(uid, kAidName, kAflTagName, Utf8(name));
    if (!stack.empty()) AddAttr(uid, kAidStack, 0, Utf8(stack));
    return uid;
}

long long ExbFixture::AddNote(const Note& note) {
    const long long uid = AddItem(kNoteItem);
    if (Has(Table::NoteAttr) && db_) {
        Stmt st;
        if (sqlite3_prepare_v2(db_,
                               "INSERT INTO note_attr(uid, title, author, notebook, tags, date_created, date_updated,"
                               " source_url, latitude, longitude, notebook_uid)"
                               " VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)",
                               -1, &st.s, nullptr) != SQLITE_OK) {
            Fail("cannot add a note");
            return uid;
        }
        const std::string texts[] = {Utf8(note.title), Utf8(note.author), Utf8(note.notebook), Utf8(note.tags)};
        sqlite3_bind_int64(st.s, 1, uid);
        for (int i = 0; i < 4; ++i)
            sqlite3_bind_text(st.s, 2 + i, texts[i].c_str(), static_cast<int>(texts[i].size()), SQLITE_TRANSIENT);
        sqlite3_bind_double(st.s, 6, note.dateCreated);
        sqlite3_bind_double(st.s, 7, note.dateUpdated);
        const std::string url = Utf8(note.sourceUrl);
        sqlite3_bind_text(st.s, 8, url.c_str(), static_cast<int>(url.size()), SQLITE_TRANSIENT);
        if (note.latitude) sqlite3_bind_double(st.s, 9, *note.latitude);
        if (note.longitude) sqlite3_bind_double(st.s, 10, *note.longitude);
        if (note.notebookUid) sqlite3_bind_int64(st.s, 11, note.notebookUid);
        if (sqlite3_step(st.s) != SQLITE_DONE) Fail("cannot add a note");
    } else if (!db_) {
        Fail("the file is closed");
    }
    if (!note.body.empty()) AddAttr(uid, note.bodyAid, 0, note.body);
    return uid;
}

long long ExbFixture::AddResource(const Resource& resource) {
    const long long uid = AddItem(kResourceItem);
    if (Has(Table::ResourceAttr) && db_) {
        Stmt st;
        if (sqlite3_prepare_v2(db_,
                               "INSERT INTO resource_attr(uid, note, file_name, source_url, is_attachment, mime,"
                               " width, height, md5) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)",
                               -1, &st.s, nullptr) != SQLITE_OK) {
            Fail("cannot add a resource");
            return uid;
        }
        const std::string name = Utf8(resource.fileName), url = Utf8(resource.sourceUrl), mime = Utf8(resource.mime);
        const std::string md5 = resource.md5 ? *resource.md5 : Md5(resource.data);
        sqlite3_bind_int64(st.s, 1, uid);
        sqlite3_bind_int64(st.s, 2, resource.note);
        sqlite3_bind_text(st.s, 3, name.c_str(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(st.s, 4, url.c_str(), static_cast<int>(url.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(st.s, 5, resource.isAttachment);
        sqlite3_bind_text(st.s, 6, mime.c_str(), static_cast<int>(mime.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(st.s, 7, resource.width);
        sqlite3_bind_int(st.s, 8, resource.height);
        sqlite3_bind_blob(st.s, 9, md5.data(), static_cast<int>(md5.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(st.s) != SQLITE_DONE) Fail("cannot add a resource");
    }
    if (!resource.dataInResources) {
        AddAttr(uid, kAidResourceData, 0, resource.data);
    } else if (Has(Table::Resources) && db_) {
        Stmt st;
        if (sqlite3_prepare_v2(db_, "INSERT INTO resources(uid, data) VALUES(?1, ?2)", -1, &st.s, nullptr) !=
            SQLITE_OK) {
            Fail("cannot add resource data");
            return uid;
        }
        sqlite3_bind_int64(st.s, 1, uid);
        sqlite3_bind_blob(st.s, 2, resource.data.data(), static_cast<int>(resource.data.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(st.s) != SQLITE_DONE) Fail("cannot add resource data");
    }
    return uid;
}

long long ExbFixture::AddAttachment(long long note, const std::wstring& fileName, const std::string& data,
                                    const std::wstring& sourceUrl, const std::wstring& mime) {
    Resource resource;
    resource.note = note;
    resource.fileName = fileName;
    resource.sourceUrl = sourceUrl;
    resource.mime = mime;
    resource.isAttachment = 1;
    resource.data = data;
    return AddResource(resource);
}

}  // namespace exb
