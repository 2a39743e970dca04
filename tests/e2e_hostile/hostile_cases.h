// The damaged and hostile notebook files of the suite, each made from the bundled sample.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct sqlite3;

namespace hostile {

struct HostileCase {
    std::string name;
    // Writes the file at path; false with the reason in error.
    std::function<bool(const std::wstring& path, std::string* error)> make;
    int timeoutSeconds = 60;
};

// CI runs a fixed set of a little over two hundred files; a local run adds many more cut-off and
// flipped-byte files and every name in every place.
enum class SuiteSize { Ci, Local };

// The sample's bytes, damaged: cut off, bytes flipped, header fields and whole pages overwritten.
std::vector<HostileCase> ByteCases(SuiteSize size, const std::string& sample);
// The sample's tables changed: tables and columns missing, values of other types, NULLs, ids that
// are not numbers, views in place of tables.
std::vector<HostileCase> SchemaCases(SuiteSize size, const std::string& sample);
// The sample's values made hostile: names, tags, bodies, a very large blob, empty names.
std::vector<HostileCase> ContentCases(SuiteSize size, const std::string& sample);

// A copy of the sample at path with the SQL run on it (several statements may be given).
bool SqlOnSample(const std::string& sample, const std::wstring& path, const std::string& sql, std::string* error);
// The same, with one statement that takes a blob as ?1 run after the script.
bool SqlOnSampleWithBlob(const std::string& sample, const std::wstring& path, const std::string& sql,
                         const std::string& statement, const std::string& blob, std::string* error);
HostileCase SqlCase(const std::string& name, const std::string& sample, const std::string& sql);
HostileCase BlobCase(const std::string& name, const std::string& sample, const std::string& statement,
                     const std::string& blob, const std::string& sql = std::string());

// Sub-queries for the sample's rows, to write SQL that does not depend on its ids.
extern const char kFirstNote[];      // the first note's uid (it has a picture)
extern const char kFirstResource[];  // the first note's picture
extern const char kAttachment[];     // the one PDF attachment
extern const char kFirstTag[];       // a top-level tag with children
extern const char kFirstNotebook[];  // the first note's notebook item

}  // namespace hostile
