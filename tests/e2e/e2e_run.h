// What the end-to-end tests need around the driver: running programs, their reports, files, folders.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

struct ProcessResult {
    bool started = false;
    bool timedOut = false;
    DWORD exitCode = 0;
    std::string output;  // standard output, as written
};

// Moves what the pipe holds into out without blocking.
void DrainPipe(HANDLE pipe, std::string& out);

// Runs the command line, collecting its standard output; killed when the time is up.
ProcessResult RunProcess(const std::wstring& commandLine, DWORD timeoutMs);

// The driver's "key: value" lines, values unescaped, in order.
class DriverReport {
public:
    DriverReport() = default;
    explicit DriverReport(const std::string& output);

    // Every value of the key, in order.
    std::vector<std::wstring> All(const std::string& key) const;
    // The first value of the key, or empty.
    std::wstring First(const std::string& key) const;
    bool Has(const std::string& key) const;

    std::string raw;

private:
    std::vector<std::pair<std::string, std::wstring>> m_lines;
};

// kbdump's text, taken apart: the folder lines, each document's lines by title, the tag tree.
struct KbDump {
    std::vector<std::string> folders;
    std::map<std::string, std::vector<std::string>> documents;  // title -> location line, then field lines
    std::vector<std::string> tags;                              // indented as printed
    std::string raw;
};
KbDump ParseKbDump(const std::string& text);

// A fresh folder under the temp folder, removed with everything in it.
class TempFolder {
public:
    explicit TempFolder(const std::wstring& name);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder, ending with a backslash.
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};

// Removes the folder (with or without a trailing backslash) and everything in it.
void RemoveTree(const std::wstring& folder);
bool FileExists(const std::wstring& path);
std::string ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::string& bytes);

// The folder of this test program, where every built program lies, with a trailing backslash.
std::wstring BinFolder();

}  // namespace e2e
