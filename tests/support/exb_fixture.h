// Builds Evernote notebook files (.exb) for tests: an SQLite database with the tables and columns
// the importer reads, filled through small typed helpers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace exb {

// The tables of the file; any of them can be left out to test a file that lacks it.
enum class Table { Items, Attrs, NoteAttr, ResourceAttr, Resources };

// items.type: 2 marks a tag (the only kind the importer asks for); the others are this fixture's.
enum ItemType : int { kNoteItem = 1, kTagItem = 2, kNotebookItem = 3, kResourceItem = 4 };

// attrs.aid codes.
enum Aid : int {
    kAidName = 0,            // tag name (afl 2), notebook name
    kAidBody = 13,           // first of the note body attributes (13..20, 24, 28, 29)
    kAidTagParent = 28,      // tag's parent id, 4 bytes little-endian (afl 160)
    kAidTagParentAlt = 30,   // second choice of the parent id (afl 160)
    kAidResourceData = 35,   // resource bytes when resources has no row
    kAidResourceDataAlt = 40,
    kAidStack = 46           // notebook's group (stack) name
};
const int kAflTagName = 2;
const int kAflTagParent = 160;

struct Note {
    std::wstring title, author, notebook, tags, sourceUrl;
    double dateCreated = 0;  // .exb day counts (0001-01-01 is day 1)
    double dateUpdated = 0;
    std::optional<double> latitude, longitude;  // NULL when absent
    long long notebookUid = 0;                  // NULL when 0
    std::string body;                           // bytes of the body attribute; no row when empty
    int bodyAid = kAidBody;
};

struct Resource {
    long long note = 0;
    std::wstring fileName, sourceUrl;
    std::wstring mime = L"image/png";
    int isAttachment = 0;
    int width = 0, height = 0;
    std::string data;
    std::optional<std::string> md5;  // the md5 column's bytes; the 16-byte MD5 of data when absent
    bool dataInResources = true;     // false: no resources row, the bytes go to attrs aid 35
};

// 16 raw digest bytes.
std::string Md5(const std::string& bytes);
// 32 lowercase hexadecimal digits of the digest.
std::string Md5Hex(const std::string& bytes);
// 4 bytes, little-endian: the form of a tag's parent id.
std::string Int32Bytes(int32_t value);
std::string Utf8(const std::wstring& text);

// Items share one uid space, counted from 1 in the order they are added.
// Helpers write only to the tables the file has.
class ExbFixture {
public:
    // Creates the file at path, replacing one that is there, with every table but those omitted.
    explicit ExbFixture(const std::wstring& path, const std::vector<Table>& omit = {});
    ~ExbFixture();
    ExbFixture(const ExbFixture&) = delete;
    ExbFixture& operator=(const ExbFixture&) = delete;

    // false once anything failed; error() tells the first failure.
    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    const std::wstring& path() const { return path_; }

    // A tag item with its name row; parentUid != 0 adds the aid 28 parent row.
    long long AddTag(const std::wstring& name, long long parentUid = 0);
    // A notebook item with its name (aid 0) and, when given, its stack name (aid 46).
    long long AddNotebook(const std::wstring& name, const std::wstring& stack = std::wstring());
    // A note item, its note_attr row and its body attribute.
    long long AddNote(const Note& note);
    // A resource item with its resource_attr row and its bytes (resources, or attrs aid 35).
    long long AddResource(const Resource& resource);
    // A resource that is an attachment (is_attachment 1).
    long long AddAttachment(long long note, const std::wstring& fileName, const std::string& data,
                            const std::wstring& sourceUrl = std::wstring(),
                            const std::wstring& mime = L"application/pdf");
    // A bare items row.
    long long AddItem(int type);
    // A raw attrs row.
    void AddAttr(long long uid, int aid, int afl, const std::string& data);
    // Any SQL, for the cases the helpers do not cover.
    bool Exec(const std::string& sql);
    // Finishes the file (no side files stay); helpers fail afterwards.
    void Close();

private:
    bool Has(Table table) const;
    void Fail(const std::string& what);

    sqlite3* db_ = nullptr;
    std::wstring path_;
    std::vector<Table> omit_;
    std::string error_;
    long long nextUid_ = 1;
};

}  // namespace exb
