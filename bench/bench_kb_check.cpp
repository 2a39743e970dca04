// bench_kb_check: what an import left in a knowledge base, counted, and SQLite's quick check of it.
//
//   bench_kb_check KB-FILE
#include <windows.h>

#include <sqlite3.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? static_cast<size_t>(n) : 1, '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], n, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

std::string One(sqlite3* db, const char* sql) {
    sqlite3_stmt* stmt = nullptr;
    std::string value = "?";
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        value = text ? text : "";
    }
    sqlite3_finalize(stmt);
    return value;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_kb_check <kb file>\n");
        return 2;
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(Utf8(argv[1]).c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "bench_kb_check: cannot open the knowledge base\n");
        sqlite3_close_v2(db);
        return 1;
    }
    std::printf("documents: %s\n", One(db, "SELECT count(*) FROM documents").c_str());
    std::printf("pages: %s\n", One(db, "SELECT count(*) FROM documents WHERE html IS NOT NULL").c_str());
    std::printf("page-files: %s\n", One(db, "SELECT count(*) FROM document_files").c_str());
    std::printf("attachments: %s\n", One(db, "SELECT count(*) FROM attachments").c_str());
    std::printf("tags: %s\n", One(db, "SELECT count(*) FROM tags").c_str());
    std::printf("tagged: %s\n", One(db, "SELECT count(*) FROM document_tags").c_str());
    std::printf("folders: %s\n", One(db, "SELECT count(*) FROM folders").c_str());
    const std::string check = One(db, "PRAGMA quick_check");
    std::printf("quick-check: %s\n", check.c_str());
    sqlite3_close_v2(db);
    return check == "ok" ? 0 : 1;
}
