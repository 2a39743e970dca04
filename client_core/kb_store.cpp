// The open knowledge-base file: opening with its checks, tag and folder lookups.
#include "kb_store.h"

#include "com_object.h"
#include "kb_schema.h"
#include "win_util.h"

#include <cstring>

namespace brelm_core {

namespace {

// Refuses an existing file that is not a knowledge base before SQLite opens it for writing, so a
// wrongly named file (a notebook, a document) is never touched. An empty file becomes a new one.
void CheckExistingFile(const std::wstring& path, const std::wstring& what) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        ThrowComError(HRESULT_FROM_WIN32(error), what + L": " + WinErrorText(error));
    }
    unsigned char header[100] = {};
    DWORD got = 0;
    const BOOL read = ReadFile(file, header, sizeof header, &got, nullptr);
    CloseHandle(file);
    if (!read) ThrowComError(HRESULT_FROM_WIN32(ERROR_READ_FAULT), what + L": the file cannot be read");
    if (got == 0) return;
    if (got < sizeof header || std::memcmp(header, "SQLite format 3", 16) != 0)
        ThrowComError(HrFromSqlite(SQLITE_NOTADB), what + L": it is not a knowledge-base file");
    const long id = (long(header[68]) << 24) | (long(header[69]) << 16) | (long(header[70]) << 8) | long(header[71]);
    if (id != kKbApplicationId)
        ThrowComError(HrFromSqlite(SQLITE_NOTADB), what + L": it is an SQLite database but not a Brelm knowledge base");
}

}  // namespace

std::shared_ptr<KbStore> KbStore::Open(const std::wstring& path) {
    if (path.empty()) ThrowComError(E_INVALIDARG, L"Cannot open the knowledge base: no path was given");
    const std::wstring what = L"Cannot open the knowledge base \"" + path + L"\"";
    const std::wstring full = FullPath(path);
    const DWORD attributes = GetFileAttributesW(full.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            ThrowComError(HRESULT_FROM_WIN32(ERROR_DIRECTORY), what + L": it is a folder");
        CheckExistingFile(full, what);
    } else {
        const std::wstring folder = FolderOf(full);
        if (!IsFolder(folder))
            ThrowComError(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND),
                          what + L": the folder \"" + folder + L"\" does not exist");
    }

    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(ToUtf8(full).c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    SqliteDb db(raw);
    if (rc != SQLITE_OK) ThrowSqlite(raw, rc, what);
    if (sqlite3_db_readonly(raw, "main") == 1)
        ThrowComError(HRESULT_FROM_WIN32(ERROR_WRITE_PROTECT), what + L": the file is read-only");
    sqlite3_busy_timeout(raw, 5000);
    try {
        ExecSql(raw, "PRAGMA foreign_keys=ON");
        EnsureKnowledgeBaseSchema(raw);
        // Write-ahead logging, synced at checkpoints only: an import makes several small writes per
        // note, and each would otherwise wait for the disk twice. A killed program, or a crash of
        // the machine, still leaves a sound file; the latter may lose the last writes. Set once the
        // tables and the file's mark are in the main file, so the check above can read them there.
        // Where the log cannot be used (a network share), the file keeps its rollback journal.
        sqlite3_exec(raw, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
        ExecSql(raw, "PRAGMA synchronous=NORMAL");
    } catch (ComError& e) {
        e.text = what + L": " + e.text;
        throw;
    }
    return std::make_shared<KbStore>(std::move(db));
}

long long KbStore::FindTagByName(const std::wstring& name) {
    Statement find(db(), "SELECT id FROM tags WHERE name_key=?1 ORDER BY id LIMIT 1");
    find.Bind(1, TagKey(name));
    return find.Step() ? find.Int(0) : 0;
}

long long KbStore::GetOrCreateTag(long long parent, const std::wstring& name, const std::wstring& description,
                                  bool* created) {
    const std::wstring key = TagKey(name);
    Statement find(db(), "SELECT id FROM tags WHERE ifnull(parent_id, 0)=?1 AND name_key=?2");
    find.Bind(1, parent).Bind(2, key);
    if (find.Step()) {
        if (created) *created = false;
        return find.Int(0);
    }
    Statement insert(db(), "INSERT INTO tags(parent_id, name, name_key, description) VALUES(?1, ?2, ?3, ?4)");
    if (parent)
        insert.Bind(1, parent);
    else
        insert.BindNull(1);
    insert.Bind(2, name).Bind(3, key).Bind(4, description).Run();
    if (created) *created = true;
    return sqlite3_last_insert_rowid(db());
}

long long KbStore::GetFolder(const std::vector<std::wstring>& levels, bool create) {
    std::wstring location = L"/";
    for (const std::wstring& level : levels) location += level + L"/";
    Statement find(db(), "SELECT id FROM folders WHERE location=?1");
    find.Bind(1, location);
    if (find.Step()) return find.Int(0);
    if (!create) return 0;

    Transaction transaction(db());
    long long parent = 0;
    std::wstring prefix = L"/";
    for (const std::wstring& level : levels) {
        prefix += level + L"/";
        Statement level_find(db(), "SELECT id FROM folders WHERE location=?1");
        level_find.Bind(1, prefix);
        if (level_find.Step()) {
            parent = level_find.Int(0);
            continue;
        }
        Statement insert(db(), "INSERT INTO folders(parent_id, name, location) VALUES(?1, ?2, ?3)");
        if (parent)
            insert.Bind(1, parent);
        else
            insert.BindNull(1);
        insert.Bind(2, level).Bind(3, prefix).Run();
        parent = sqlite3_last_insert_rowid(db());
    }
    transaction.Commit();
    return parent;
}

std::wstring TagKey(const std::wstring& name) {
    if (name.empty()) return name;
    const int n = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, name.data(), static_cast<int>(name.size()),
                                nullptr, 0, nullptr, nullptr, 0);
    if (n <= 0) return name;
    std::wstring key(static_cast<size_t>(n), L'\0');
    LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, name.data(), static_cast<int>(name.size()), &key[0], n,
                  nullptr, nullptr, 0);
    return key;
}

bool ParseFolderLocation(const std::wstring& location, std::vector<std::wstring>* levels) {
    levels->clear();
    if (location.size() < 3 || location.front() != L'/' || location.back() != L'/') return false;
    size_t start = 1;
    while (start < location.size()) {
        const size_t end = location.find(L'/', start);
        if (end == start) return false;
        levels->push_back(location.substr(start, end - start));
        start = end + 1;
    }
    return true;
}

}  // namespace brelm_core
