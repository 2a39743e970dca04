// Stand-in of the controls library for the data-store tests: records every choice it is asked for in
// chooser_calls.txt beside itself and gives the answers of chooser_answers.txt, one line per call.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "brelm_tools_api.h"

namespace {

std::wstring OwnFolder() {
    HMODULE self = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(&OwnFolder), &self);
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(self, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.rfind(L'\\') + 1);
}

// UTF-16 lines without a mark, each ended by LF.
std::vector<std::wstring> ReadLines(const std::wstring& path) {
    std::vector<std::wstring> lines;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return lines;
    wchar_t buffer[8192] = {};
    DWORD read = 0;
    ::ReadFile(file, buffer, sizeof(buffer) - sizeof(wchar_t), &read, nullptr);
    ::CloseHandle(file);
    std::wstring text(buffer, read / sizeof(wchar_t));
    for (size_t start = 0, end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

void AppendLine(const std::wstring& path, const std::wstring& line) {
    HANDLE file = ::CreateFileW(path.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    std::wstring text = line + L"\n";
    DWORD written = 0;
    ::WriteFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
    ::CloseHandle(file);
}

}  // namespace

extern "C" HRESULT WINAPI BrelmKMSelectDataStore(LPCWSTR registryFolder, LPCWSTR portableFolder, BSTR* chosenFolder) {
    try {
        std::wstring folder = OwnFolder();
        size_t call = ReadLines(folder + L"chooser_calls.txt").size();
        AppendLine(folder + L"chooser_calls.txt", std::wstring(registryFolder) + L"|" + portableFolder);
        std::vector<std::wstring> answers = ReadLines(folder + L"chooser_answers.txt");
        *chosenFolder = call < answers.size() ? ::SysAllocString(answers[call].c_str()) : nullptr;
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}
