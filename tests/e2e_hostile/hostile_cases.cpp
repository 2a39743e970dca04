// Making a case's file from the sample: a copy changed by SQL.
#include "hostile_cases.h"

#include <sqlite3.h>

#include <cstdint>

#include "hostile_run.h"

namespace hostile {

const char kFirstNote[] = "(SELECT min(uid) FROM note_attr)";
const char kFirstResource[] = "(SELECT min(uid) FROM resource_attr WHERE note=(SELECT min(uid) FROM note_attr))";
const char kAttachment[] = "(SELECT min(uid) FROM resource_attr WHERE is_attachment=1)";
const char kFirstTag[] = "(SELECT min(uid) FROM items WHERE type=2)";
const char kFirstNotebook[] = "(SELECT notebook_uid FROM note_attr WHERE uid=(SELECT min(uid) FROM note_attr))";

namespace {

bool Fail(sqlite3* db, const std::string& what, std::string* error) {
    if (error) *error = what + ": " + sqlite3_errmsg(db);
    sqlite3_close_v2(db);
    return false;
}

// le32(n): the 4 bytes of n, little-endian, as a tag's parent id is stored.
void Le32(sqlite3_context* context, int, sqlite3_value** values) {
    const auto n = static_cast<uint32_t>(sqlite3_value_int64(values[0]));
    const unsigned char bytes[4] = {static_cast<unsigned char>(n), static_cast<unsigned char>(n >> 8),
                                    static_cast<unsigned char>(n >> 16), static_cast<unsigned char>(n >> 24)};
    sqlite3_result_blob(context, bytes, 4, SQLITE_TRANSIENT);
}

}  // namespace

bool SqlOnSampleWithBlob(const std::string& sample, const std::wstring& path, const std::string& sql,
                         const std::string& statement, const std::string& blob, std::string* error) {
    if (!WriteBytes(path, sample)) {
        if (error) *error = "cannot write the copy of the sample";
        return false;
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(ToUtf8(path).c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        return Fail(db, "cannot open the copy", error);
    // Cases may rewrite the schema itself; no side file may stay beside the case's file.
    sqlite3_exec(db, "PRAGMA journal_mode=MEMORY; PRAGMA writable_schema=ON; PRAGMA foreign_keys=OFF",
                 nullptr, nullptr, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 0, nullptr);
    sqlite3_create_function(db, "le32", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, Le32, nullptr, nullptr);
    if (!sql.empty() && sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        return Fail(db, sql, error);
    if (!statement.empty()) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, statement.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
            return Fail(db, statement, error);
        sqlite3_bind_blob64(stmt, 1, blob.data(), blob.size(), SQLITE_STATIC);
        const int rc = sqlite3_step(stmt);
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE) return Fail(db, statement, error);
    }
    sqlite3_close_v2(db);
    return true;
}

bool SqlOnSample(const std::string& sample, const std::wstring& path, const std::string& sql, std::string* error) {
    return SqlOnSampleWithBlob(sample, path, sql, std::string(), std::string(), error);
}

HostileCase SqlCase(const std::string& name, const std::string& sample, const std::string& sql) {
    return {name, [&sample, sql](const std::wstring& path, std::string* error) {
                return SqlOnSample(sample, path, sql, error);
            }};
}

HostileCase BlobCase(const std::string& name, const std::string& sample, const std::string& statement,
                     const std::string& blob, const std::string& sql) {
    return {name, [&sample, statement, blob, sql](const std::wstring& path, std::string* error) {
                return SqlOnSampleWithBlob(sample, path, sql, statement, blob, error);
            }};
}

}  // namespace hostile
