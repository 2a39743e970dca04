// bench_watch: runs the end-to-end driver and watches the program that the driver starts: its peak
// working set and the time from OK to the end of the import.
//
//   bench_watch [--temp=FOLDER] [--program=BrelmEverNote.exe] -- DRIVER [DRIVER ARGUMENTS...]
//
// The driver's own report passes through; then "watch-..." lines. --temp gives the driver, and so
// the program, its own temporary folder; --program names the program file that the driver starts.
// The import counts from the moment the dialog's controls are disabled (OK pressed) to the first
// message box after that ("Import completed"), or to the program's end when no box was seen.
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <string>
#include <vector>

#include "e2e_text.h"

namespace {

const int kIdBrowse = 1001;
const DWORD kPollMs = 10;
const DWORD kSlowPollMs = 100;

class Handle {
public:
    explicit Handle(HANDLE handle = nullptr) : m_handle(handle) {}
    ~Handle() {
        if (m_handle && m_handle != INVALID_HANDLE_VALUE) CloseHandle(m_handle);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    void Reset(HANDLE handle) {
        if (m_handle && m_handle != INVALID_HANDLE_VALUE) CloseHandle(m_handle);
        m_handle = handle;
    }
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle;
};

DWORD ChildOf(DWORD parent, const wchar_t* name) {
    Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (snapshot.Get() == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
        if (entry.th32ParentProcessID == parent && lstrcmpiW(entry.szExeFile, name) == 0) return entry.th32ProcessID;
    }
    return 0;
}

struct Windows {
    DWORD processId = 0;
    HWND main = nullptr;
    std::vector<HWND> dialogs;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM param) {
    auto* found = reinterpret_cast<Windows*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != found->processId || !IsWindowVisible(hwnd)) return TRUE;
    wchar_t name[16] = {};
    GetClassNameW(hwnd, name, 16);
    if (lstrcmpW(name, L"#32770") != 0) return TRUE;
    if (GetDlgItem(hwnd, kIdBrowse))
        found->main = hwnd;
    else
        found->dialogs.push_back(hwnd);
    return TRUE;
}

double Ms(const LARGE_INTEGER& from, const LARGE_INTEGER& to, const LARGE_INTEGER& frequency) {
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring temp, programName = L"BrelmEverNote.exe";
    int i = 1;
    for (; i < argc && lstrcmpW(argv[i], L"--") != 0; ++i) {
        const std::wstring arg = argv[i];
        if (arg.rfind(L"--temp=", 0) == 0) {
            temp = arg.substr(7);
        } else if (arg.rfind(L"--program=", 0) == 0) {
            programName = arg.substr(10);
        } else {
            std::fprintf(stderr, "bench_watch: unknown option %ls\n", argv[i]);
            return 2;
        }
    }
    if (++i >= argc) {
        std::fprintf(stderr, "usage: bench_watch [--temp=FOLDER] [--program=NAME] -- DRIVER [ARGUMENTS...]\n");
        return 2;
    }
    std::wstring commandLine;
    for (int k = i; k < argc; ++k) commandLine += (k > i ? L" " : L"") + e2e::QuoteArgument(argv[k]);
    if (!temp.empty()) {
        CreateDirectoryW(temp.c_str(), nullptr);
        SetEnvironmentVariableW(L"TEMP", temp.c_str());
        SetEnvironmentVariableW(L"TMP", temp.c_str());
    }

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
        std::fprintf(stderr, "bench_watch: cannot start the driver, error %lu\n", GetLastError());
        return 2;
    }
    Handle driver(info.hProcess);
    CloseHandle(info.hThread);

    LARGE_INTEGER frequency, okAt = {}, boxAt = {}, endAt = {}, now;
    QueryPerformanceFrequency(&frequency);
    Handle program;
    DWORD programId = 0;
    SIZE_T peakWorkingSet = 0, peakPrivate = 0;
    bool okSeen = false, boxSeen = false, ended = false;

    // Fast until OK is seen, then slow: every look costs the program's Wine server a request.
    for (;;) {
        HANDLE waitOn = program.Get() && !ended ? program.Get() : driver.Get();
        const DWORD waited = WaitForSingleObject(waitOn, okSeen ? kSlowPollMs : kPollMs);
        QueryPerformanceCounter(&now);
        if (waitOn == driver.Get() && waited == WAIT_OBJECT_0) break;
        if (!program.Get()) {
            programId = ChildOf(info.dwProcessId, programName.c_str());
            if (programId)
                program.Reset(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | SYNCHRONIZE, FALSE, programId));
            continue;
        }
        if (waitOn == program.Get() && waited == WAIT_OBJECT_0) {
            endAt = now;
            ended = true;
        }
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof(counters);
        if (GetProcessMemoryInfo(program.Get(), &counters, sizeof(counters))) {
            if (counters.PeakWorkingSetSize > peakWorkingSet) peakWorkingSet = counters.PeakWorkingSetSize;
            if (counters.WorkingSetSize > peakWorkingSet) peakWorkingSet = counters.WorkingSetSize;
            if (counters.PeakPagefileUsage > peakPrivate) peakPrivate = counters.PeakPagefileUsage;
        }
        if (ended || boxSeen) continue;
        Windows windows;
        windows.processId = programId;
        EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
        if (!windows.main) continue;
        HWND browse = GetDlgItem(windows.main, kIdBrowse);
        if (!okSeen && browse && !IsWindowEnabled(browse)) {
            okSeen = true;
            okAt = now;
        }
        if (okSeen && !windows.dialogs.empty()) {
            boxSeen = true;
            boxAt = now;
        }
    }

    std::fflush(stdout);
    DWORD code = 0;
    GetExitCodeProcess(driver.Get(), &code);
    std::printf("watch-peak-working-set: %llu\n", static_cast<unsigned long long>(peakWorkingSet));
    std::printf("watch-peak-private: %llu\n", static_cast<unsigned long long>(peakPrivate));
    if (okSeen) {
        std::printf("watch-import-ms: %.0f\n", Ms(okAt, boxSeen ? boxAt : endAt, frequency));
        if (ended) std::printf("watch-until-exit-ms: %.0f\n", Ms(okAt, endAt, frequency));
    }
    std::printf("watch-driver-exit: %lu\n", code);
    return static_cast<int>(code);
}
