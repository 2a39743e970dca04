// The open knowledge-base file, shared by the database object and every object it hands out.
#pragma once

#include "sqlite_util.h"

#include <memory>
#include <string>
#include <vector>

namespace brelm_core {

class KbStore {
public:
    // Opens or creates the knowledge base at path. Throws ComError whose text names the path
    // and the reason.
    static std::shared_ptr<KbStore> Open(const std::wstring& path);

    explicit KbStore(SqliteDb db) : db_(std::move(db)) {}
    sqlite3* db() const { return db_.get(); }

    // The first-made tag of that name anywhere in the tree, letter case ignored; 0 when none.
    long long FindTagByName(const std::wstring& name);
    // The child of parent (0: the top level) with that name, made when missing. Runs inside
    // the caller's transaction.
    long long GetOrCreateTag(long long parent, const std::wstring& name, const std::wstring& description,
                             bool* created);
    // The folder at the levels' location, made with its missing levels when create is set;
    // 0 when it does not exist.
    long long GetFolder(const std::vector<std::wstring>& levels, bool create);

private:
    SqliteDb db_;
};

// The tag name as compared: invariant upper case.
std::wstring TagKey(const std::wstring& name);

// Splits "/a/b/" into its levels; false unless the text is "/" + non-empty levels joined by "/" + "/".
bool ParseFolderLocation(const std::wstring& location, std::vector<std::wstring>* levels);

}  // namespace brelm_core
