// Running programs with their output collected, the driver's and kbdump's reports, temp folders.
#include "e2e_run.h"

#include <cstdio>
#include <memory>

#include "e2e_handle.h"
#include "e2e_text.h"

namespace e2e {

namespace {

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};


}  // namespace

void DrainPipe(HANDLE pipe, std::string& out) {
    for (;;) {
        DWORD available = 0;
        if (!::PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) || available == 0) return;
        char buffer[4096];
        DWORD got = 0;
        if (!::ReadFile(pipe, buffer, available < sizeof buffer ? available : sizeof buffer, &got, nullptr) || !got)
            return;
        out.append(buffer, got);
    }
}

ProcessResult RunProcess(const std::wstring& commandLine, DWORD timeoutMs) {
    ProcessResult result;
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    Handle readEnd, writeEnd;
    if (!::CreatePipe(readEnd.Out(), writeEnd.Out(), &inherit, 0)) return result;
    ::SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);
    Handle nul(::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             OPEN_EXISTING, 0, nullptr));

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul.Get();
    startup.hStdOutput = writeEnd.Get();
    startup.hStdError = nul.Get();
    PROCESS_INFORMATION info = {};
    std::wstring line = commandLine;
    if (!::CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                          &info))
        return result;
    result.started = true;
    Handle process(info.hProcess);
    ::CloseHandle(info.hThread);
    writeEnd.Reset(nullptr);

    // Polled rather than read to the end: a helper process the child starts may hold the pipe open.
    const DWORD start = ::GetTickCount();
    while (::WaitForSingleObject(process.Get(), 20) == WAIT_TIMEOUT) {
        DrainPipe(readEnd.Get(), result.output);
        if (::GetTickCount() - start > timeoutMs) {
            result.timedOut = true;
            ::TerminateProcess(process.Get(), 99);
            ::WaitForSingleObject(process.Get(), 5000);
            break;
        }
    }
    DrainPipe(readEnd.Get(), result.output);
    ::GetExitCodeProcess(process.Get(), &result.exitCode);
    return result;
}

DriverReport::DriverReport(const std::string& output) : raw(output) {
    size_t start = 0;
    while (start < output.size()) {
        size_t end = output.find('\n', start);
        if (end == std::string::npos) end = output.size();
        std::string line = output.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t colon = line.find(": ");
        if (colon != std::string::npos) m_lines.emplace_back(line.substr(0, colon), UnescapeLine(line.substr(colon + 2)));
        start = end + 1;
    }
}

std::vector<std::wstring> DriverReport::All(const std::string& key) const {
    std::vector<std::wstring> values;
    for (const auto& line : m_lines)
        if (line.first == key) values.push_back(line.second);
    return values;
}

std::wstring DriverReport::First(const std::string& key) const {
    for (const auto& line : m_lines)
        if (line.first == key) return line.second;
    return std::wstring();
}

bool DriverReport::Has(const std::string& key) const {
    for (const auto& line : m_lines)
        if (line.first == key) return true;
    return false;
}

KbDump ParseKbDump(const std::string& text) {
    KbDump dump;
    dump.raw = text;
    enum { kNone, kFolders, kDocuments, kTags } section = kNone;
    std::vector<std::string>* document = nullptr;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line == "Folders") section = kFolders;
        else if (line == "Documents") section = kDocuments;
        else if (line == "Tags") section = kTags;
        else if (line == "  (none)" || line.empty()) continue;
        else if (section == kFolders) dump.folders.push_back(line.substr(2));
        else if (section == kTags) dump.tags.push_back(line.substr(2));
        else if (section == kDocuments && line.rfind("    ", 0) == 0 && document) document->push_back(line.substr(4));
        else if (section == kDocuments) {
            // "  /location/ "title""
            const size_t quote = line.find(" \"");
            const std::string title = quote == std::string::npos ? line : line.substr(quote + 2, line.size() - quote - 3);
            document = &dump.documents[title];
            document->push_back(line.substr(2, quote == std::string::npos ? std::string::npos : quote - 2));
        }
    }
    return dump;
}

TempFolder::TempFolder(const std::wstring& name) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    for (unsigned n = ::GetTickCount();; ++n) {
        m_path = std::wstring(temp) + L"brelm_e2e_" + name + L"_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
                 std::to_wstring(n % 100000) + L"\\";
        if (::CreateDirectoryW(m_path.c_str(), nullptr)) break;
        if (::GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
}

TempFolder::~TempFolder() { RemoveTree(m_path); }

void RemoveTree(const std::wstring& folder) {
    std::wstring base = folder;
    if (!base.empty() && base.back() != L'\\') base += L'\\';
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((base + L"*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring full = base + name;
            // A link to a folder elsewhere is removed, never entered.
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                RemoveTree(full);
            } else {
                ::SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(full.c_str());
            }
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(base.c_str());
}

bool FileExists(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadBytes(const std::wstring& path) {
    std::unique_ptr<FILE, FileCloser> file(_wfopen(path.c_str(), L"rb"));
    std::string bytes;
    if (!file) return bytes;
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) bytes.append(buffer, got);
    return bytes;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    std::unique_ptr<FILE, FileCloser> file(_wfopen(path.c_str(), L"wb"));
    return file && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
}

std::wstring BinFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

}  // namespace e2e
