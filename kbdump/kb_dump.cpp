// Prints a knowledge base as stable text, reading its SQLite file directly.
//
// Layout: "Folders" (locations sorted), "Documents" (by folder location, then in creation order:
// title, URL, the three dates, parameters, tag paths, the page with the size and MD5 of its UTF-8
// text, the stored local files and the attachments with size and MD5), "Tags" (the tree, siblings
// by name ignoring case). Control characters in texts are escaped, so each value keeps its line.
#include "kb_dump.h"

#include <sqlite3.h>

#include <windows.h>
#include <bcrypt.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace kbdump {

namespace {

const long long kKbApplicationId = 0x42524B42;
const int kMaxTagDepth = 64;

struct DbCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct StmtFinalizer {
    void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string out(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

// Line breaks and other control characters would break the one-value-per-line layout.
std::string Escape(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (u < 0x20 || u == 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", u);
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

struct DumpError {
    std::string text;
};

class Query {
public:
    Query(sqlite3* db, const char* sql) : db_(db) {
        sqlite3_stmt* raw = nullptr;
        const int rc = sqlite3_prepare_v2(db, sql, -1, &raw, nullptr);
        stmt_.reset(raw);
        if (rc != SQLITE_OK) throw DumpError{sqlite3_errmsg(db)};
    }
    Query& Bind(int index, long long value) {
        sqlite3_bind_int64(stmt_.get(), index, value);
        return *this;
    }
    bool Next() {
        const int rc = sqlite3_step(stmt_.get());
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        throw DumpError{sqlite3_errmsg(db_)};
    }
    long long Int(int column) const { return sqlite3_column_int64(stmt_.get(), column); }
    bool IsNull(int column) const { return sqlite3_column_type(stmt_.get(), column) == SQLITE_NULL; }
    std::string Text(int column) const {
        const auto* text = static_cast<const char*>(sqlite3_column_blob(stmt_.get(), column));
        return text ? std::string(text, static_cast<size_t>(sqlite3_column_bytes(stmt_.get(), column))) : std::string();
    }
    std::string Date(int column) const {
        return IsNull(column) ? "-" : FormatOleDate(sqlite3_column_double(stmt_.get(), column));
    }

private:
    sqlite3* db_;
    std::unique_ptr<sqlite3_stmt, StmtFinalizer> stmt_;
};

std::string SizeAndMd5(const std::string& bytes) {
    return std::to_string(bytes.size()) + " bytes, MD5 " + Md5Hex(bytes);
}

void DumpFolders(sqlite3* db, std::string* out) {
    *out += "Folders\n";
    Query folders(db, "SELECT location FROM folders ORDER BY location");
    bool any = false;
    while (folders.Next()) {
        *out += "  " + Escape(folders.Text(0)) + "\n";
        any = true;
    }
    if (!any) *out += "  (none)\n";
}

std::string TagPath(sqlite3* db, long long id) {
    std::string path;
    for (int depth = 0; id && depth < kMaxTagDepth; ++depth) {
        Query tag(db, "SELECT name, ifnull(parent_id, 0) FROM tags WHERE id=?1");
        if (!tag.Bind(1, id).Next()) break;
        path = path.empty() ? Escape(tag.Text(0)) : Escape(tag.Text(0)) + "/" + path;
        id = tag.Int(1);
    }
    return path;
}

void DumpDocument(sqlite3* db, long long id, std::string* out) {
    Query doc(db,
              "SELECT f.location, d.title, d.url, d.date_created, d.date_modified, d.data_date_modified,"
              " d.html_name, d.html FROM documents d JOIN folders f ON f.id=d.folder_id WHERE d.id=?1");
    if (!doc.Bind(1, id).Next()) return;
    *out += "  " + Escape(doc.Text(0)) + " \"" + Escape(doc.Text(1)) + "\"\n";
    *out += "    URL: " + Escape(doc.Text(2)) + "\n";
    *out += "    Created: " + doc.Date(3) + "\n";
    *out += "    Modified: " + doc.Date(4) + "\n";
    *out += "    Data modified: " + doc.Date(5) + "\n";

    Query params(db, "SELECT name, value FROM document_params WHERE document_id=?1 ORDER BY name");
    params.Bind(1, id);
    while (params.Next()) *out += "    Param " + Escape(params.Text(0)) + ": " + Escape(params.Text(1)) + "\n";

    std::vector<std::string> tags;
    Query links(db, "SELECT tag_id FROM document_tags WHERE document_id=?1");
    links.Bind(1, id);
    while (links.Next()) tags.push_back(TagPath(db, links.Int(0)));
    std::sort(tags.begin(), tags.end());
    std::string tagLine;
    for (const std::string& tag : tags) tagLine += (tagLine.empty() ? "" : "; ") + tag;
    *out += "    Tags: " + (tagLine.empty() ? std::string("-") : tagLine) + "\n";

    if (doc.IsNull(7))
        *out += "    Page: -\n";
    else
        *out += "    Page: " + Escape(doc.Text(6)) + ", " + SizeAndMd5(doc.Text(7)) + "\n";
    Query files(db, "SELECT name, data FROM document_files WHERE document_id=?1 ORDER BY name");
    files.Bind(1, id);
    while (files.Next()) *out += "    File: " + Escape(files.Text(0)) + ", " + SizeAndMd5(files.Text(1)) + "\n";
    Query attachments(db, "SELECT name, data, url FROM attachments WHERE document_id=?1 ORDER BY id");
    attachments.Bind(1, id);
    while (attachments.Next()) {
        *out += "    Attachment: " + Escape(attachments.Text(0)) + ", " + SizeAndMd5(attachments.Text(1)) +
                ", URL " + Escape(attachments.Text(2)) + "\n";
    }
}

void DumpDocuments(sqlite3* db, std::string* out) {
    *out += "Documents\n";
    Query documents(db, "SELECT d.id FROM documents d JOIN folders f ON f.id=d.folder_id ORDER BY f.location, d.id");
    bool any = false;
    while (documents.Next()) {
        DumpDocument(db, documents.Int(0), out);
        any = true;
    }
    if (!any) *out += "  (none)\n";
}

void DumpTagLevel(sqlite3* db, long long parent, int depth, std::string* out) {
    if (depth >= kMaxTagDepth) return;
    Query tags(db, "SELECT id, name FROM tags WHERE ifnull(parent_id, 0)=?1 ORDER BY name_key, name, id");
    tags.Bind(1, parent);
    while (tags.Next()) {
        *out += std::string(2 + 2 * static_cast<size_t>(depth), ' ') + Escape(tags.Text(1)) + "\n";
        DumpTagLevel(db, tags.Int(0), depth + 1, out);
    }
}

}  // namespace

bool DumpKnowledgeBase(const std::wstring& path, std::string* text, std::string* error) {
    text->clear();
    error->clear();
    sqlite3* raw = nullptr;
    // Read-write without create: a journal left by an interrupted writer is rolled back first.
    const int rc = sqlite3_open_v2(ToUtf8(path).c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    std::unique_ptr<sqlite3, DbCloser> db(raw);
    if (rc != SQLITE_OK) {
        *error = "cannot open " + ToUtf8(path) + ": " + (raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc));
        return false;
    }
    sqlite3_busy_timeout(raw, 5000);
    try {
        Query mark(raw, "PRAGMA application_id");
        if (!mark.Next() || mark.Int(0) != kKbApplicationId) {
            *error = ToUtf8(path) + " is not a Brelm knowledge base";
            return false;
        }
        // One read transaction, so the dump is one consistent state.
        Query begin(raw, "BEGIN");
        begin.Next();
        DumpFolders(raw, text);
        DumpDocuments(raw, text);
        *text += "Tags\n";
        const size_t before = text->size();
        DumpTagLevel(raw, 0, 0, text);
        if (text->size() == before) *text += "  (none)\n";
        sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
    } catch (const DumpError& e) {
        *error = ToUtf8(path) + ": " + e.text;
        text->clear();
        return false;
    }
    return true;
}

std::string FormatOleDate(double date) {
    if (!std::isfinite(date) || std::fabs(date) > 2958466.0) return "invalid date";
    // Below zero the whole days count backwards while the fraction still counts forwards.
    const double wholeDays = date < 0 ? std::ceil(date) : std::floor(date);
    long long seconds = std::llround(std::fabs(date - wholeDays) * 86400.0);
    long long day = static_cast<long long>(wholeDays) + seconds / 86400;
    seconds %= 86400;
    // Civil date from days since 1899-12-30 (days_from_civil inverted, era of 400 years).
    const long long z = day + 693899;  // days since 0000-03-01
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long d = doy - (153 * mp + 2) / 5 + 1;
    const long long m = mp < 10 ? mp + 3 : mp - 9;
    const long long y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld", y, m, d, seconds / 3600,
                  seconds / 60 % 60, seconds % 60);
    return buffer;
}

std::string Md5Hex(const std::string& bytes) {
    unsigned char digest[16] = {};
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_MD5_ALGORITHM, nullptr, 0) != 0) return std::string();
    BCRYPT_HASH_HANDLE hash = nullptr;
    bool ok = BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0) == 0;
    ok = ok && BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())),
                              static_cast<ULONG>(bytes.size()), 0) == 0;
    ok = ok && BCryptFinishHash(hash, digest, sizeof digest, 0) == 0;
    if (hash) BCryptDestroyHash(hash);
    BCryptCloseAlgorithmProvider(algorithm, 0);
    if (!ok) return std::string();
    std::string hex;
    for (const unsigned char b : digest) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", b);
        hex += pair;
    }
    return hex;
}

}  // namespace kbdump
