// Helpers of the foundation tests: raw files, this process's log lines, runs of a test in a child process.
#pragma once

#include <windows.h>
#include <shlwapi.h>
#include <string>
#include <vector>
#include "afx.h"
#include "foundation_print.h"
#include "foundation_registry_guard.h"
#include "foundation_temp_dir.h"

inline void FoundationWriteBytes(const wchar_t* path, const std::string& bytes) {
    HANDLE file = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    if (!bytes.empty()) ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

// The whole file; empty for a missing file.
inline std::string FoundationReadBytes(const wchar_t* path) {
    std::string bytes;
    HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char chunk[65536];
    DWORD read = 0;
    while (::ReadFile(file, chunk, sizeof(chunk), &read, nullptr) && read) bytes.append(chunk, read);
    ::CloseHandle(file);
    return bytes;
}

inline std::string FoundationUtf16Bytes(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

// A text as a log line holds it: line breaks become spaces.
inline CString FoundationLogForm(CString text) {
    text.Replace(L'\r', L' ');
    text.Replace(L'\n', L' ');
    return text;
}

// The texts of the lines that this process wrote to a log file, in order.
inline std::vector<CString> FoundationLogTexts(const wchar_t* logFile) {
    std::vector<CString> texts;
    std::string bytes = FoundationReadBytes(logFile);
    if (bytes.size() < 2) return texts;
    std::wstring content(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    CString marker;
    marker.Format(L" (%lu-", ::GetCurrentProcessId());
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find(L"\r\n", start);
        if (end == std::wstring::npos) end = content.size();
        CString line(content.substr(start, end - start).c_str());
        int ids = line.Find(marker);
        int colon = ids < 0 ? -1 : line.Find(L"): ", ids);
        if (colon >= 0) texts.push_back(line.Mid(colon + 3));
        start = end + 2;
    }
    return texts;
}

inline CString FoundationOwnProgram() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

// Runs a program with the given arguments and waits for it; its exit code, or -1 when it did not start.
inline int FoundationRunProgram(const wchar_t* program, const wchar_t* arguments, DWORD timeoutMs = 60000) {
    CString commandLine;
    commandLine.Format(L"\"%s\" %s", program, arguments);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(program, commandLine.GetBuffer(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (::WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0) ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

// Runs one disabled test of this program in a child process, from a copy of the program in
// programFolder when one is given (so the child has a program folder of its own).
inline int FoundationRunChildTest(const wchar_t* testName, const wchar_t* programFolder = nullptr,
                                  const wchar_t* extraArguments = L"") {
    CString program = FoundationOwnProgram();
    if (programFolder) {
        CString copy = CString(programFolder) + ::PathFindFileNameW(program);
        if (!::CopyFileW(program, copy, FALSE)) return -1;
        program = copy;
    }
    CString arguments;
    arguments.Format(L"--gtest_also_run_disabled_tests --gtest_filter=%s %s", testName, extraArguments);
    return FoundationRunProgram(program, arguments);
}
