// The SQLite component: read-only database objects over a notebook file, and their recordsets.
#include "sqlite_component.h"

#include "com_object.h"
#include "sqlite_util.h"
#include "win_util.h"

#include <cstdio>
#include <memory>

namespace brelm_core {

namespace {

// Recordsets keep the connection alive, so a Close or a second Open never pulls it from under them.
using SharedDb = std::shared_ptr<sqlite3>;

bool IsSqlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// Read-only and immutable: SQLite then takes no locks and never creates -journal, -wal or -shm
// files, so neither the user's file nor its folder changes. The price is that a hot journal or
// an unmerged -wal file beside it is not read; Open refuses such a file (HasPendingChanges).
std::string ReadOnlyUri(const std::wstring& fullPath) {
    const std::string path = ToUtf8(fullPath);
    const bool unc = path.size() >= 2 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/');
    std::string uri = unc ? "file://" : "file:///";
    for (const char c : path) {
        if (c == '\\') {
            uri += '/';
        } else if (c == '%' || c == '?' || c == '#') {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
            uri += escaped;
        } else {
            uri += c;
        }
    }
    return uri + "?mode=ro&immutable=1";
}

// True when a -wal or -journal file with data lies beside the database: changes an immutable
// reader would miss (a writer still has it open, or crashed).
bool HasPendingChanges(const std::wstring& fullPath) {
    for (const wchar_t* suffix : {L"-wal", L"-journal"}) {
        WIN32_FILE_ATTRIBUTE_DATA side{};
        if (GetFileAttributesExW((fullPath + suffix).c_str(), GetFileExInfoStandard, &side) &&
            !(side.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && (side.nFileSizeHigh || side.nFileSizeLow))
            return true;
    }
    return false;
}

// Only stored tables are read. A view, or a recursive query inside one, in a damaged or crafted
// file could make rows without end or values of any size, and no query of the program needs either.
int OnlyStoredTables(void*, int action, const char*, const char*, const char*, const char* viewOrTrigger) {
    return viewOrTrigger || action == SQLITE_RECURSIVE ? SQLITE_DENY : SQLITE_OK;
}

class SQLiteRecordset final : public DispatchObject<IBrelmSQLiteRecordset> {
public:
    SQLiteRecordset(SharedDb db, SqliteStmt stmt, bool onRow)
        : db_(std::move(db)), stmt_(std::move(stmt)), onRow_(onRow) {}

    HRESULT STDMETHODCALLTYPE get_FieldCount(long* count) override {
        return Guard([&] {
            if (!count) return E_POINTER;
            *count = sqlite3_column_count(stmt_.get());
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE get_EOF(VARIANT_BOOL* end) override {
        return Guard([&] {
            if (!end) return E_POINTER;
            *end = onRow_ ? VARIANT_FALSE : VARIANT_TRUE;
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE GetFieldValue(long column, BSTR* value) override {
        return Guard([&] {
            if (ClearOut(value) != S_OK) return E_POINTER;
            CheckField(column);
            if (sqlite3_column_type(stmt_.get(), column) == SQLITE_NULL) return ReturnBstr(std::wstring(), value);
            // SQLite's own conversion gives numbers as decimal text.
            const auto* text = static_cast<const wchar_t*>(sqlite3_column_text16(stmt_.get(), column));
            const int bytes = sqlite3_column_bytes16(stmt_.get(), column);
            if (!text) return E_OUTOFMEMORY;
            return ReturnBstr(std::wstring(text, static_cast<size_t>(bytes) / sizeof(wchar_t)), value);
        });
    }

    HRESULT STDMETHODCALLTYPE GetFieldName(long column, BSTR* name) override {
        return Guard([&] {
            if (ClearOut(name) != S_OK) return E_POINTER;
            CheckColumn(column);
            const auto* text = static_cast<const wchar_t*>(sqlite3_column_name16(stmt_.get(), column));
            if (!text) return E_OUTOFMEMORY;
            return ReturnBstr(text, name);
        });
    }

    // The SQLite storage class of the current value: SQLITE_INTEGER, _FLOAT, _TEXT, _BLOB or _NULL.
    HRESULT STDMETHODCALLTYPE GetFieldType(long column, long* type) override {
        return Guard([&] {
            if (!type) return E_POINTER;
            *type = 0;
            CheckField(column);
            *type = sqlite3_column_type(stmt_.get(), column);
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE IsFieldNull(long column, VARIANT_BOOL* isNull) override {
        return Guard([&] {
            if (!isNull) return E_POINTER;
            *isNull = VARIANT_FALSE;
            CheckField(column);
            *isNull = sqlite3_column_type(stmt_.get(), column) == SQLITE_NULL ? VARIANT_TRUE : VARIANT_FALSE;
            return S_OK;
        });
    }

    // S_FALSE when there was no current row to move from.
    HRESULT STDMETHODCALLTYPE MoveNext() override {
        return Guard([&] {
            if (!onRow_) return S_FALSE;
            const int rc = sqlite3_step(stmt_.get());
            onRow_ = rc == SQLITE_ROW;
            if (rc != SQLITE_ROW && rc != SQLITE_DONE) ThrowSqlite(db_.get(), rc, L"Cannot read the next row");
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE GetFieldData(long column, VARIANT stream) override {
        return Guard([&] {
            if (V_VT(&stream) != VT_UNKNOWN && V_VT(&stream) != VT_DISPATCH)
                ThrowComError(E_INVALIDARG, L"The field data needs a stream");
            IUnknown* holder = V_VT(&stream) == VT_UNKNOWN ? V_UNKNOWN(&stream) : V_DISPATCH(&stream);
            if (!holder) return E_POINTER;
            ComPtr<IStream> target;
            HRESULT hr = holder->QueryInterface(IID_IStream, reinterpret_cast<void**>(target.Put()));
            if (FAILED(hr)) ThrowComError(hr, L"The field data needs a stream");
            CheckField(column);

            const LARGE_INTEGER zero{};
            ULARGE_INTEGER start{};
            hr = target->Seek(zero, STREAM_SEEK_CUR, &start);
            if (FAILED(hr)) return hr;
            const auto* data = static_cast<const BYTE*>(sqlite3_column_blob(stmt_.get(), column));
            ULONG left = static_cast<ULONG>(sqlite3_column_bytes(stmt_.get(), column));
            while (data && left > 0) {
                ULONG written = 0;
                hr = target->Write(data, left, &written);
                if (FAILED(hr)) return hr;
                if (written == 0) return STG_E_WRITEFAULT;
                data += written;
                left -= written;
            }
            LARGE_INTEGER back{};
            back.QuadPart = static_cast<LONGLONG>(start.QuadPart);
            return target->Seek(back, STREAM_SEEK_SET, nullptr);
        });
    }

private:
    void CheckColumn(long column) const {
        if (column < 0 || column >= sqlite3_column_count(stmt_.get()))
            ThrowComError(E_INVALIDARG, L"There is no column " + std::to_wstring(column));
    }

    void CheckField(long column) const {
        CheckColumn(column);
        if (!onRow_) ThrowComError(E_UNEXPECTED, L"There is no current row");
    }

    SharedDb db_;
    SqliteStmt stmt_;
    bool onRow_;
};

class SQLiteDatabase final : public DispatchObject<IBrelmSQLiteDatabase> {
public:
    HRESULT STDMETHODCALLTYPE Open(BSTR path) override {
        return Guard([&] {
            db_.reset();
            const std::wstring given = FromBstr(path);
            if (given.empty()) ThrowComError(E_INVALIDARG, L"No database file was given");
            const std::wstring full = FullPath(given);
            const std::wstring what = L"Cannot open \"" + given + L"\"";

            WIN32_FILE_ATTRIBUTE_DATA info{};
            if (!GetFileAttributesExW(full.c_str(), GetFileExInfoStandard, &info)) {
                const DWORD error = GetLastError();
                ThrowComError(HRESULT_FROM_WIN32(error), what + L": " + WinErrorText(error));
            }
            if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                ThrowComError(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED), what + L": it is a folder");
            const unsigned long long size =
                (static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
            if (HasPendingChanges(full))
                ThrowComError(HrFromSqlite(SQLITE_BUSY),
                              what + L": the notebook has unsaved changes pending (it is in use by Evernote, or "
                                     L"Evernote was stopped by a crash); close Evernote and try again");

            sqlite3* raw = nullptr;
            int rc = sqlite3_open_v2(ReadOnlyUri(full).c_str(), &raw, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
            SharedDb db(raw, SqliteCloser());
            if (rc != SQLITE_OK) ThrowSqlite(raw, rc, what);
            sqlite3_limit(raw, SQLITE_LIMIT_ATTACHED, 0);
            sqlite3_db_config(raw, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
            sqlite3_set_authorizer(raw, OnlyStoredTables, nullptr);

            // Reading the schema now makes a file that is no database fail here, not at the first query.
            rc = sqlite3_exec(raw, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
            if (rc != SQLITE_OK) ThrowSqlite(raw, rc, what);
            // SQLite takes an empty file for an empty database, and does not notice a cut-off last page.
            sqlite3_stmt* pageSize = nullptr;
            rc = sqlite3_prepare_v2(raw, "PRAGMA page_size", -1, &pageSize, nullptr);
            SqliteStmt pageSizeOwner(pageSize);
            if (rc != SQLITE_OK) ThrowSqlite(raw, rc, what);
            const long long page = sqlite3_step(pageSize) == SQLITE_ROW ? sqlite3_column_int64(pageSize, 0) : 0;
            if (size == 0) ThrowComError(HrFromSqlite(SQLITE_NOTADB), what + L": the file is empty");
            if (page <= 0 || size % static_cast<unsigned long long>(page) != 0)
                ThrowComError(HrFromSqlite(SQLITE_CORRUPT), what + L": the file is truncated");
            db_ = std::move(db);
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE Close() override {
        db_.reset();
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Query(BSTR sql, long /*flags: reserved*/, IDispatch** result) override {
        return Guard([&] {
            if (ClearOut(result) != S_OK) return E_POINTER;
            if (!db_) ThrowComError(E_UNEXPECTED, L"The database is not open");
            const std::wstring text = FromBstr(sql);
            const std::string utf8 = ToUtf8(text);
            const std::wstring what = L"Cannot run \"" + text + L"\"";

            sqlite3_stmt* raw = nullptr;
            const char* tail = nullptr;
            int rc = sqlite3_prepare_v2(db_.get(), utf8.c_str(), -1, &raw, &tail);
            SqliteStmt stmt(raw);
            if (rc != SQLITE_OK) ThrowSqlite(db_.get(), rc, what);
            if (!raw) ThrowComError(E_INVALIDARG, what + L": there is no statement");
            for (const char* p = tail; p && *p; ++p) {
                if (!IsSqlSpace(*p)) ThrowComError(E_INVALIDARG, what + L": only one statement may be given");
            }
            if (!sqlite3_stmt_readonly(raw)) ThrowComError(E_ACCESSDENIED, what + L": the database is read-only");

            rc = sqlite3_step(raw);
            if (rc != SQLITE_ROW && rc != SQLITE_DONE) ThrowSqlite(db_.get(), rc, what);
            *result = (new SQLiteRecordset(db_, std::move(stmt), rc == SQLITE_ROW))->DetachAsDispatch();
            return S_OK;
        });
    }

private:
    SharedDb db_;
};

}  // namespace

HRESULT CreateSQLiteDatabase(IBrelmSQLiteDatabase** database) {
    if (ClearOut(database) != S_OK) return E_POINTER;
    return ComGuard(IID_IBrelmSQLiteDatabase, [&] {
        *database = new SQLiteDatabase();
        return S_OK;
    });
}

}  // namespace brelm_core
