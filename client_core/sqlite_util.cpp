// SQLite helpers of the core library: conversions, error mapping, statements and transactions.
#include "sqlite_util.h"

#include "com_object.h"

#include <cstring>

namespace brelm_core {

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::wstring FromUtf8(const char* text, size_t length) {
    if (!text || length == 0) return std::wstring();
    const int n = MultiByteToWideChar(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, static_cast<int>(length), &out[0], n);
    return out;
}

HRESULT HrFromSqlite(int rc) {
    switch (rc) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
        return S_OK;
    case SQLITE_NOMEM:
        return E_OUTOFMEMORY;
    default:
        return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x0200 + (rc & 0xFF));
    }
}

std::wstring SqliteMessage(sqlite3* db, int rc) {
    const char* message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    return FromUtf8(message, message ? strlen(message) : 0);
}

void ThrowSqlite(sqlite3* db, int rc, const std::wstring& doing) {
    ThrowComError(HrFromSqlite(rc), doing.empty() ? SqliteMessage(db, rc) : doing + L": " + SqliteMessage(db, rc));
}

Statement::Statement(sqlite3* db, const char* sql) : db_(db) {
    sqlite3_stmt* raw = nullptr;
    const int rc = sqlite3_prepare_v2(db, sql, -1, &raw, nullptr);
    stmt_.reset(raw);
    if (rc != SQLITE_OK) ThrowSqlite(db, rc, std::wstring());
}

Statement& Statement::Bind(int index, const std::wstring& text) {
    const std::string utf8 = ToUtf8(text);
    const int rc = sqlite3_bind_text(stmt_.get(), index, utf8.data(), static_cast<int>(utf8.size()),
                                     SQLITE_TRANSIENT);
    if (rc != SQLITE_OK) ThrowSqlite(db_, rc, std::wstring());
    return *this;
}

Statement& Statement::Bind(int index, long long value) {
    const int rc = sqlite3_bind_int64(stmt_.get(), index, value);
    if (rc != SQLITE_OK) ThrowSqlite(db_, rc, std::wstring());
    return *this;
}

Statement& Statement::Bind(int index, double value) {
    const int rc = sqlite3_bind_double(stmt_.get(), index, value);
    if (rc != SQLITE_OK) ThrowSqlite(db_, rc, std::wstring());
    return *this;
}

Statement& Statement::BindBlob(int index, const std::string& bytes) {
    const int rc = sqlite3_bind_blob64(stmt_.get(), index, bytes.data(), bytes.size(), SQLITE_TRANSIENT);
    if (rc != SQLITE_OK) ThrowSqlite(db_, rc, std::wstring());
    return *this;
}

Statement& Statement::BindNull(int index) {
    const int rc = sqlite3_bind_null(stmt_.get(), index);
    if (rc != SQLITE_OK) ThrowSqlite(db_, rc, std::wstring());
    return *this;
}

bool Statement::Step() {
    const int rc = sqlite3_step(stmt_.get());
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    ThrowSqlite(db_, rc, std::wstring());
}

void Statement::Reset() {
    sqlite3_reset(stmt_.get());
    sqlite3_clear_bindings(stmt_.get());
}

std::wstring Statement::Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_.get(), column));
    return FromUtf8(text, static_cast<size_t>(sqlite3_column_bytes(stmt_.get(), column)));
}

std::string Statement::Bytes(int column) const {
    const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt_.get(), column));
    const int size = sqlite3_column_bytes(stmt_.get(), column);
    return data ? std::string(data, static_cast<size_t>(size)) : std::string();
}

void ExecSql(sqlite3* db, const char* sql) {
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) ThrowSqlite(db, rc, std::wstring());
}

Transaction::Transaction(sqlite3* db) : db_(db) {
    // IMMEDIATE takes the write lock up front, so a reader turned writer cannot deadlock midway.
    ExecSql(db, "BEGIN IMMEDIATE");
    open_ = true;
}

Transaction::~Transaction() {
    if (open_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::Commit() {
    ExecSql(db_, "COMMIT");
    open_ = false;
}

}  // namespace brelm_core
