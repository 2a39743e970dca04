// Running the program through the driver, folder snapshots and the knowledge-base check.
#include "hostile_run.h"

#include <sqlite3.h>
#include <tlhelp32.h>

#include <memory>

namespace hostile {

namespace {

struct FindCloser {
    void operator()(HANDLE find) const { ::FindClose(find); }
};

struct DbCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};

bool SameText(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

std::string Text(sqlite3_stmt* stmt, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return text ? text : "";
}

void Walk(const std::wstring& root, const std::wstring& relative, const std::vector<std::wstring>& skip, int depth,
          Snapshot& out) {
    WIN32_FIND_DATAW data;
    std::unique_ptr<void, FindCloser> find(::FindFirstFileW((root + relative + L"*").c_str(), &data));
    if (find.get() == INVALID_HANDLE_VALUE) {
        find.release();
        return;
    }
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = relative + name;
        bool skipped = false;
        for (const std::wstring& s : skip) skipped = skipped || SameText(root + path, s);
        if (skipped) continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out[path + L"\\"] = L"folder";
            // A link to a folder elsewhere (Wine maps Documents to the home folder) is listed, not entered.
            if (depth > 0 && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                Walk(root, path + L"\\", skip, depth - 1, out);
        } else {
            const unsigned long long size =
                (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
            const unsigned long long time =
                (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                data.ftLastWriteTime.dwLowDateTime;
            out[path] = std::to_wstring(size) + L" bytes, " + std::to_wstring(time);
        }
    } while (::FindNextFileW(find.get(), &data));
}

}  // namespace

bool MakeFolders(const std::wstring& folder) {
    for (size_t i = 3; i <= folder.size(); ++i) {
        if (i == folder.size() || folder[i] == L'\\') ::CreateDirectoryW(folder.substr(0, i).c_str(), nullptr);
    }
    const DWORD attributes = ::GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Process::Start(const std::wstring& commandLine, const std::vector<std::wstring>& environment) {
    std::vector<std::wstring> entries;
    if (wchar_t* block = ::GetEnvironmentStringsW()) {
        for (const wchar_t* p = block; *p; p += wcslen(p) + 1) {
            const std::wstring entry = p;
            bool replaced = false;
            for (const std::wstring& own : environment) {
                const size_t eq = own.find(L'=');
                replaced = replaced || (entry.size() > eq && SameText(entry.substr(0, eq + 1), own.substr(0, eq + 1)));
            }
            if (!replaced) entries.push_back(entry);
        }
        ::FreeEnvironmentStringsW(block);
    }
    entries.insert(entries.end(), environment.begin(), environment.end());
    std::wstring block;
    for (const std::wstring& entry : entries) block += entry + L'\0';
    block += L'\0';

    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE writeEnd = nullptr;
    if (!::CreatePipe(&m_pipe, &writeEnd, &inherit, 0)) return false;
    ::SetHandleInformation(m_pipe, HANDLE_FLAG_INHERIT, 0);
    HANDLE nul = ::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                               OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul;
    startup.hStdOutput = writeEnd;
    startup.hStdError = nul;
    PROCESS_INFORMATION info = {};
    std::wstring line = commandLine;
    const BOOL started = ::CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE,
                                          CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT, &block[0], nullptr, &startup,
                                          &info);
    ::CloseHandle(writeEnd);
    if (nul != INVALID_HANDLE_VALUE) ::CloseHandle(nul);
    if (!started) return false;
    m_process = info.hProcess;
    m_id = info.dwProcessId;
    ::CloseHandle(info.hThread);
    return true;
}

Process::~Process() {
    if (m_process) {
        Kill();
        ::CloseHandle(m_process);
    }
    if (m_pipe) ::CloseHandle(m_pipe);
}

// Polled rather than read to the end: a helper process the child starts may hold the pipe open.
void Process::Drain() { e2e::DrainPipe(m_pipe, m_output); }

bool Process::Wait(DWORD timeoutMs) {
    if (!m_process) return true;
    const DWORD start = ::GetTickCount();
    for (;;) {
        const bool ended = ::WaitForSingleObject(m_process, 20) == WAIT_OBJECT_0;
        Drain();
        if (ended) return true;
        if (::GetTickCount() - start > timeoutMs) return false;
    }
}

void Process::Kill() {
    if (m_process && ::WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(m_process, 99);
        ::WaitForSingleObject(m_process, 5000);
    }
}

DWORD Process::ExitCode() const {
    DWORD code = 0;
    if (m_process) ::GetExitCodeProcess(m_process, &code);
    return code;
}

DWORD ChildProcessOf(DWORD parentId, const wchar_t* exeName) {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    DWORD found = 0;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more && !found; more = ::Process32NextW(snapshot, &entry)) {
        if (entry.th32ParentProcessID == parentId && SameText(entry.szExeFile, exeName)) found = entry.th32ProcessID;
    }
    ::CloseHandle(snapshot);
    return found;
}

std::string ImportRun::First(const std::string& key) const {
    const std::vector<std::string> values = All(key);
    return values.empty() ? std::string() : values.front();
}

std::vector<std::string> ImportRun::All(const std::string& key) const {
    std::vector<std::string> values;
    const std::string prefix = key + ": ";
    size_t start = 0;
    while (start < report.size()) {
        size_t end = report.find('\n', start);
        if (end == std::string::npos) end = report.size();
        std::string line = report.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.compare(0, prefix.size(), prefix) == 0) values.push_back(line.substr(prefix.size()));
        start = end + 1;
    }
    return values;
}

std::wstring DriverCommand(const std::wstring& exb, const std::wstring& kb, int timeoutSeconds) {
    const std::wstring bin = BinFolder();
    return e2e::QuoteArgument(bin + L"e2e_driver.exe") + L" --timeout=" + std::to_wstring(timeoutSeconds) + L" " +
           e2e::QuoteArgument(L"--file=" + exb) + L" -- " + e2e::QuoteArgument(bin + L"BrelmEverNote.exe") + L" " +
           e2e::QuoteArgument(L"/AppPath=" + bin) + L" " + e2e::QuoteArgument(L"/DatabasePath=" + kb);
}

std::vector<std::wstring> TempEnvironment(const std::wstring& temp) { return {L"TEMP=" + temp, L"TMP=" + temp}; }

ImportRun RunImport(const std::wstring& exb, const std::wstring& kb, const std::wstring& temp, int timeoutSeconds) {
    ImportRun run;
    Process driver;
    run.started = driver.Start(DriverCommand(exb, kb, timeoutSeconds), TempEnvironment(temp));
    if (!run.started) return run;
    // The driver kills the program at its own limit; this one is for the driver itself.
    run.timedOut = !driver.Wait(static_cast<DWORD>(timeoutSeconds + 30) * 1000);
    if (run.timedOut) driver.Kill();
    run.driverExit = driver.ExitCode();
    run.report = driver.Output();
    return run;
}

Snapshot TakeSnapshot(const std::wstring& folder, const std::vector<std::wstring>& skip, int depth) {
    Snapshot out;
    std::wstring root = folder;
    if (!root.empty() && root.back() != L'\\') root += L'\\';
    Walk(root, L"", skip, depth, out);
    return out;
}

std::vector<std::wstring> Differences(const Snapshot& before, const Snapshot& after) {
    std::vector<std::wstring> lines;
    for (const auto& entry : after) {
        const auto old = before.find(entry.first);
        if (old == before.end())
            lines.push_back(L"+ " + entry.first);
        else if (old->second != entry.second)
            lines.push_back(L"* " + entry.first);
    }
    for (const auto& entry : before) {
        if (!after.count(entry.first)) lines.push_back(L"- " + entry.first);
    }
    return lines;
}

std::string CheckKnowledgeBase(const std::wstring& kb) {
    sqlite3* raw = nullptr;
    // Read-write, so that a journal left by a killed writer is rolled back as any later user would.
    const int rc = sqlite3_open_v2(ToUtf8(kb).c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    std::unique_ptr<sqlite3, DbCloser> db(raw);
    if (rc != SQLITE_OK) return "the knowledge base does not open: " + std::string(sqlite3_errstr(rc));
    sqlite3_busy_timeout(raw, 10000);
    std::string problems;
    const auto each = [&](const char* sql, const auto& row) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(raw, sql, -1, &stmt, nullptr) != SQLITE_OK) {
            problems += std::string(sql) + ": " + sqlite3_errmsg(raw) + "; ";
            return;
        }
        int step;
        while ((step = sqlite3_step(stmt)) == SQLITE_ROW) row(stmt);
        if (step != SQLITE_DONE) problems += std::string(sql) + ": " + sqlite3_errmsg(raw) + "; ";
        sqlite3_finalize(stmt);
    };
    each("PRAGMA integrity_check", [&](sqlite3_stmt* stmt) {
        if (Text(stmt, 0) != "ok") problems += "integrity: " + Text(stmt, 0) + "; ";
    });
    each("PRAGMA foreign_key_check", [&](sqlite3_stmt* stmt) {
        problems += "foreign key: " + Text(stmt, 0) + " row " + Text(stmt, 1) + "; ";
    });
    each("PRAGMA application_id", [&](sqlite3_stmt* stmt) {
        if (sqlite3_column_int64(stmt, 0) != 0x42524B42) problems += "not marked as a knowledge base; ";
    });
    return problems;
}

long long KnowledgeBaseNumber(const std::wstring& kb, const char* sql) {
    sqlite3* raw = nullptr;
    if (sqlite3_open_v2(ToUtf8(kb).c_str(), &raw, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close_v2(raw);
        return -1;
    }
    std::unique_ptr<sqlite3, DbCloser> db(raw);
    sqlite3_busy_timeout(raw, 2000);
    sqlite3_stmt* stmt = nullptr;
    long long value = -1;
    if (sqlite3_prepare_v2(raw, sql, -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
        value = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    return value;
}

}  // namespace hostile
