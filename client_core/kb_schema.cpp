// Creation and check of the knowledge-base file's tables.
//
// A knowledge base is one SQLite file (write-ahead log while open, foreign keys on), marked in its
// header with application_id 0x42524B42 ("BRKB") and user_version 1. Texts are UTF-8; dates are OLE
// automation dates (days since 1899-12-30, local time) stored as REAL, NULL until set.
//
//   folders(id INTEGER PRIMARY KEY, parent_id INTEGER NULL -> folders, name TEXT, location TEXT UNIQUE)
//       One row per level; location is the whole path "/a/b/", parent_id NULL at the top.
//   documents(id INTEGER PRIMARY KEY, folder_id -> folders, title TEXT, url TEXT,
//             date_created REAL, date_modified REAL, data_date_modified REAL,
//             html_name TEXT, html TEXT, plain_text TEXT)
//       html_name and html are the page's file name and text, NULL until content is stored;
//       plain_text is the page without markup, kept when the content call asks for it.
//   document_params(document_id -> documents, name TEXT, value TEXT, PRIMARY KEY(document_id, name))
//   document_files(document_id -> documents, name TEXT, data BLOB, PRIMARY KEY(document_id, name))
//       The local files the page references, by their path relative to the page ("a.png", "img/b.gif").
//   tags(id INTEGER PRIMARY KEY, parent_id INTEGER NULL -> tags, name TEXT, name_key TEXT,
//        description TEXT)
//       A tree; name_key is the name in invariant upper case, for lookups that ignore letter case.
//       Siblings have distinct keys (unique index on ifnull(parent_id, 0), name_key).
//   document_tags(document_id -> documents, tag_id -> tags, PRIMARY KEY(document_id, tag_id))
//   attachments(id INTEGER PRIMARY KEY, document_id -> documents, name TEXT, url TEXT, data BLOB)
//       name is the file name the attachment came from.
#include "kb_schema.h"

#include "com_object.h"
#include "sqlite_util.h"

#include <string>

namespace brelm_core {

namespace {

const char kCreateSchema[] =
    "CREATE TABLE folders("
    " id INTEGER PRIMARY KEY,"
    " parent_id INTEGER REFERENCES folders(id),"
    " name TEXT NOT NULL,"
    " location TEXT NOT NULL UNIQUE);"
    "CREATE INDEX folders_parent ON folders(parent_id);"
    "CREATE TABLE documents("
    " id INTEGER PRIMARY KEY,"
    " folder_id INTEGER NOT NULL REFERENCES folders(id),"
    " title TEXT NOT NULL,"
    " url TEXT NOT NULL,"
    " date_created REAL,"
    " date_modified REAL,"
    " data_date_modified REAL,"
    " html_name TEXT,"
    " html TEXT,"
    " plain_text TEXT);"
    "CREATE INDEX documents_folder ON documents(folder_id);"
    "CREATE TABLE document_params("
    " document_id INTEGER NOT NULL REFERENCES documents(id),"
    " name TEXT NOT NULL,"
    " value TEXT NOT NULL,"
    " PRIMARY KEY(document_id, name));"
    "CREATE TABLE document_files("
    " document_id INTEGER NOT NULL REFERENCES documents(id),"
    " name TEXT NOT NULL,"
    " data BLOB NOT NULL,"
    " PRIMARY KEY(document_id, name));"
    "CREATE TABLE tags("
    " id INTEGER PRIMARY KEY,"
    " parent_id INTEGER REFERENCES tags(id),"
    " name TEXT NOT NULL,"
    " name_key TEXT NOT NULL,"
    " description TEXT NOT NULL DEFAULT '');"
    "CREATE UNIQUE INDEX tags_sibling ON tags(ifnull(parent_id, 0), name_key);"
    "CREATE INDEX tags_name ON tags(name_key);"
    "CREATE TABLE document_tags("
    " document_id INTEGER NOT NULL REFERENCES documents(id),"
    " tag_id INTEGER NOT NULL REFERENCES tags(id),"
    " PRIMARY KEY(document_id, tag_id));"
    "CREATE INDEX document_tags_tag ON document_tags(tag_id);"
    "CREATE TABLE attachments("
    " id INTEGER PRIMARY KEY,"
    " document_id INTEGER NOT NULL REFERENCES documents(id),"
    " name TEXT NOT NULL,"
    " url TEXT NOT NULL DEFAULT '',"
    " data BLOB NOT NULL);"
    "CREATE INDEX attachments_document ON attachments(document_id);";

long long QueryNumber(sqlite3* db, const char* sql) {
    Statement statement(db, sql);
    return statement.Step() ? statement.Int(0) : 0;
}

}  // namespace

void EnsureKnowledgeBaseSchema(sqlite3* db) {
    // Inside one write transaction, so two processes creating the same file cannot both lay tables.
    Transaction transaction(db);
    const long long applicationId = QueryNumber(db, "PRAGMA application_id");
    const long long version = QueryNumber(db, "PRAGMA user_version");
    const long long objects = QueryNumber(db, "SELECT count(*) FROM sqlite_master");
    if (applicationId == kKbApplicationId) {
        if (version > kKbSchemaVersion)
            ThrowComError(HRESULT_FROM_WIN32(ERROR_UNSUPPORTED_TYPE),
                          L"it was made by a newer version (layout " + std::to_wstring(version) + L")");
        if (version != kKbSchemaVersion)
            ThrowComError(HrFromSqlite(SQLITE_CORRUPT), L"its layout " + std::to_wstring(version) + L" is unknown");
        return;
    }
    if (applicationId != 0 || objects != 0)
        ThrowComError(HrFromSqlite(SQLITE_NOTADB), L"it is an SQLite database but not a Brelm knowledge base");
    ExecSql(db, kCreateSchema);
    ExecSql(db, ("PRAGMA application_id=" + std::to_string(kKbApplicationId)).c_str());
    ExecSql(db, ("PRAGMA user_version=" + std::to_string(kKbSchemaVersion)).c_str());
    transaction.Commit();
}

}  // namespace brelm_core
