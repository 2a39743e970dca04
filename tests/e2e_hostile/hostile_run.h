// Running the real program on one notebook file through the end-to-end driver, and the checks
// that every run must pass: folders left alone, the notebook unchanged, a sound knowledge base.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "e2e_run.h"
#include "e2e_text.h"

namespace hostile {

using e2e::BinFolder;
using e2e::ReadBytes;
using e2e::RemoveTree;
using e2e::ToUtf8;
using e2e::WriteBytes;

// Makes the folder and its missing parents.
bool MakeFolders(const std::wstring& folder);

// A running process with its standard output collected; killed when the holder goes.
class Process {
public:
    // environment: NAME=value entries that replace or add to this process's own.
    bool Start(const std::wstring& commandLine, const std::vector<std::wstring>& environment);
    ~Process();
    Process() = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // Waits up to timeoutMs for the end, collecting output; false when it did not end in time.
    bool Wait(DWORD timeoutMs);
    void Kill();
    DWORD Id() const { return m_id; }
    DWORD ExitCode() const;
    const std::string& Output() const { return m_output; }

private:
    void Drain();

    HANDLE m_process = nullptr;
    HANDLE m_pipe = nullptr;
    DWORD m_id = 0;
    std::string m_output;
};

// The process of that program file name (BrelmEverNote.exe) whose parent is parentId, or 0.
DWORD ChildProcessOf(DWORD parentId, const wchar_t* exeName);

// One import through the driver: the program picks exb with Browse and imports it into kb, with
// temp as its temporary folder. Every message box is answered.
struct ImportRun {
    bool started = false;
    bool timedOut = false;
    DWORD driverExit = 0;
    std::string report;  // the driver's "key: value" lines
    // The first value of the report's key, or empty; every value of it.
    std::string First(const std::string& key) const;
    std::vector<std::string> All(const std::string& key) const;
};
std::wstring DriverCommand(const std::wstring& exb, const std::wstring& kb, int timeoutSeconds);
std::vector<std::wstring> TempEnvironment(const std::wstring& temp);
ImportRun RunImport(const std::wstring& exb, const std::wstring& kb, const std::wstring& temp, int timeoutSeconds);

// What a folder holds: relative path -> size and last-write time; folders end with '\'.
using Snapshot = std::map<std::wstring, std::wstring>;
// Below folder, leaving out the subtrees whose full paths are in skip (without trailing '\');
// depth 0 lists the folder's own entries only.
Snapshot TakeSnapshot(const std::wstring& folder, const std::vector<std::wstring>& skip, int depth = 64);
// The entries that differ, one line each ("+ added", "- removed", "* changed").
std::vector<std::wstring> Differences(const Snapshot& before, const Snapshot& after);

// Empty when the knowledge base opens (an interrupted write rolled back), passes SQLite's integrity
// and foreign-key checks and is a knowledge base; else what is wrong.
std::string CheckKnowledgeBase(const std::wstring& kb);
// A single number from the knowledge base (-1 when it cannot be read).
long long KnowledgeBaseNumber(const std::wstring& kb, const char* sql);

}  // namespace hostile
