// SQLite helpers of the core library: text conversion, error mapping, owned handles, statements.
#pragma once

#include <sqlite3.h>

#include <windows.h>

#include <memory>
#include <string>

namespace brelm_core {

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const char* text, size_t length);
inline std::wstring FromUtf8(const std::string& text) { return FromUtf8(text.data(), text.size()); }

// Every SQLite result code has its own failure HRESULT (FACILITY_ITF, 0x0200 + primary code),
// so callers can tell a busy file from a corrupt one; out of memory stays E_OUTOFMEMORY.
HRESULT HrFromSqlite(int rc);

// The connection's last message, or SQLite's text for rc when there is no connection.
std::wstring SqliteMessage(sqlite3* db, int rc);

// Throws ComError for rc with the connection's message, prefixed by what was being done.
[[noreturn]] void ThrowSqlite(sqlite3* db, int rc, const std::wstring& doing);

struct SqliteCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using SqliteDb = std::unique_ptr<sqlite3, SqliteCloser>;

struct SqliteFinalizer {
    void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using SqliteStmt = std::unique_ptr<sqlite3_stmt, SqliteFinalizer>;

// One prepared statement of the knowledge base; failures throw ComError.
class Statement {
public:
    Statement(sqlite3* db, const char* sql);

    Statement& Bind(int index, const std::wstring& text);
    Statement& Bind(int index, long long value);
    Statement& Bind(int index, double value);
    Statement& BindBlob(int index, const std::string& bytes);
    Statement& BindNull(int index);

    // true when a row stands, false when the statement is done.
    bool Step();
    void Run() {
        while (Step()) {}
    }
    void Reset();

    bool IsNull(int column) const { return sqlite3_column_type(stmt_.get(), column) == SQLITE_NULL; }
    long long Int(int column) const { return sqlite3_column_int64(stmt_.get(), column); }
    double Real(int column) const { return sqlite3_column_double(stmt_.get(), column); }
    std::wstring Text(int column) const;
    std::string Bytes(int column) const;

private:
    sqlite3* db_;
    SqliteStmt stmt_;
};

// One write transaction; rolled back unless committed.
class Transaction {
public:
    explicit Transaction(sqlite3* db);
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction();
    void Commit();

private:
    sqlite3* db_;
    bool open_ = false;
};

void ExecSql(sqlite3* db, const char* sql);

}  // namespace brelm_core
