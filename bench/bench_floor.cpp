// bench_floor: the least work any import of a notebook must do, timed: every body and blob read
// from the .exb with the same SQLite, written to a file, and stored in an SQLite file, one
// transaction per note (a store that survives a crash between notes must commit each note), with
// the knowledge base's journal settings.
//
//   bench_floor FILE.exb WORK-FOLDER
//
// Prints "key: value" lines: notes, files, bytes, seconds.
#include <windows.h>

#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

struct DbCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Db = std::unique_ptr<sqlite3, DbCloser>;

struct StmtFinalizer {
    void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using Stmt = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

struct Failure {
    std::string what;
};

std::string Utf8(const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? static_cast<size_t>(n) : 1, '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

std::wstring Wide(const char* utf8) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    std::wstring out(n > 0 ? static_cast<size_t>(n) : 1, L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8, -1, &out[0], n);
    out.resize(out.size() - 1);
    return out;
}

Stmt Prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &raw, nullptr) != SQLITE_OK)
        throw Failure{std::string(sql) + ": " + sqlite3_errmsg(db)};
    return Stmt(raw);
}

void Exec(sqlite3* db, const char* sql) {
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw Failure{std::string(sql) + ": " + sqlite3_errmsg(db)};
}

void Done(sqlite3* db, sqlite3_stmt* stmt) {
    if (sqlite3_step(stmt) != SQLITE_DONE) throw Failure{std::string("insert: ") + sqlite3_errmsg(db)};
    sqlite3_reset(stmt);
}

void WriteFileBytes(const std::wstring& path, const void* data, int size) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw Failure{"cannot create " + Utf8(path)};
    DWORD written = 0;
    const BOOL ok = size == 0 || WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != static_cast<DWORD>(size)) throw Failure{"cannot write " + Utf8(path)};
}

// The .exb opened as the SQLite component opens it: read-only, immutable.
Db OpenNotebook(const std::wstring& path) {
    wchar_t full[MAX_PATH * 4] = {};
    GetFullPathNameW(path.c_str(), MAX_PATH * 4, full, nullptr);
    std::string uri = "file:///";
    for (const char c : Utf8(full)) uri += c == '\\' ? '/' : c;
    uri += "?mode=ro&immutable=1";
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(uri.c_str(), &raw, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
    Db db(raw);
    if (rc != SQLITE_OK) throw Failure{"cannot open the notebook"};
    return db;
}

struct Counts {
    long long notes = 0, files = 0, bytes = 0;
};

Counts Run(const std::wstring& exbPath, const std::wstring& work) {
    const std::wstring files = work + L"files\\";
    CreateDirectoryW(work.c_str(), nullptr);
    CreateDirectoryW(files.c_str(), nullptr);
    const std::wstring storePath = work + L"floor.db";
    DeleteFileW(storePath.c_str());

    Db exb = OpenNotebook(exbPath);
    sqlite3* raw = nullptr;
    const int opened =
        sqlite3_open_v2(Utf8(storePath).c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    Db store(raw);
    if (opened != SQLITE_OK) throw Failure{"cannot create the store"};
    // The knowledge base's own journal settings, so both pay the same for durability.
    Exec(store.get(), "PRAGMA journal_mode=WAL");
    Exec(store.get(), "PRAGMA synchronous=NORMAL");
    Exec(store.get(),
         "CREATE TABLE documents(id INTEGER PRIMARY KEY, html BLOB NOT NULL);"
         "CREATE TABLE files(document_id INTEGER NOT NULL REFERENCES documents(id), name TEXT NOT NULL,"
         " data BLOB NOT NULL);"
         "CREATE INDEX files_document ON files(document_id);");

    Stmt notes = Prepare(exb.get(), "select uid from note_attr");
    Stmt body = Prepare(exb.get(), "select data from attrs where uid=?1 and aid=13");
    Stmt blobs = Prepare(exb.get(),
                         "select file_name, data from resource_attr, resources"
                         " where resource_attr.uid=resources.uid and resource_attr.note=?1");
    Stmt addDocument = Prepare(store.get(), "INSERT INTO documents(html) VALUES(?1)");
    Stmt addFile = Prepare(store.get(), "INSERT INTO files(document_id, name, data) VALUES(?1, ?2, ?3)");

    Counts counts;
    while (sqlite3_step(notes.get()) == SQLITE_ROW) {
        const long long uid = sqlite3_column_int64(notes.get(), 0);
        Exec(store.get(), "BEGIN");

        sqlite3_bind_int64(body.get(), 1, uid);
        if (sqlite3_step(body.get()) == SQLITE_ROW) {
            const void* data = sqlite3_column_blob(body.get(), 0);
            const int size = sqlite3_column_bytes(body.get(), 0);
            WriteFileBytes(files + std::to_wstring(uid) + L".htm", data, size);
            sqlite3_bind_blob(addDocument.get(), 1, data, size, SQLITE_STATIC);
            Done(store.get(), addDocument.get());
            counts.bytes += size;
        }
        sqlite3_reset(body.get());
        const long long document = sqlite3_last_insert_rowid(store.get());

        sqlite3_bind_int64(blobs.get(), 1, uid);
        while (sqlite3_step(blobs.get()) == SQLITE_ROW) {
            const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(blobs.get(), 0));
            const void* data = sqlite3_column_blob(blobs.get(), 1);
            const int size = sqlite3_column_bytes(blobs.get(), 1);
            WriteFileBytes(files + Wide(name ? name : ""), data, size);
            sqlite3_bind_int64(addFile.get(), 1, document);
            sqlite3_bind_text(addFile.get(), 2, name ? name : "", -1, SQLITE_STATIC);
            sqlite3_bind_blob(addFile.get(), 3, data, size, SQLITE_STATIC);
            Done(store.get(), addFile.get());
            ++counts.files;
            counts.bytes += size;
        }
        sqlite3_reset(blobs.get());
        Exec(store.get(), "COMMIT");
        ++counts.notes;
    }
    return counts;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_floor <file.exb> <work folder>\n");
        return 2;
    }
    std::wstring work = argv[2];
    if (!work.empty() && work.back() != L'\\') work += L'\\';
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    try {
        const Counts counts = Run(argv[1], work);
        QueryPerformanceCounter(&end);
        std::printf("notes: %lld\nfiles: %lld\nbytes: %lld\nseconds: %.3f\n", counts.notes, counts.files, counts.bytes,
                    static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart));
        return 0;
    } catch (const Failure& failure) {
        std::fprintf(stderr, "bench_floor: %s\n", failure.what.c_str());
        return 1;
    }
}
