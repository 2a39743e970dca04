// kbdump: prints a Brelm knowledge base as stable text (folders, documents, files, tags).
#include "kb_dump.h"

#include <windows.h>

#include <string>

namespace {

// A console gets UTF-16 so every name shows; a pipe or file gets the UTF-8 bytes.
void Write(HANDLE out, const std::string& text) {
    DWORD mode = 0;
    if (GetConsoleMode(out, &mode)) {
        const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
        if (n > 0) {
            std::wstring wide(static_cast<size_t>(n), L'\0');
            MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
            DWORD written = 0;
            WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        }
        return;
    }
    size_t done = 0;
    while (done < text.size()) {
        DWORD written = 0;
        if (!WriteFile(out, text.data() + done, static_cast<DWORD>(text.size() - done), &written, nullptr) ||
            written == 0)
            return;
        done += written;
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    if (argc != 2) {
        Write(err, "usage: kbdump <knowledge-base file>\n"
                   "The default knowledge base is Data\\index.db in the Brelm data-store folder.\n");
        return 2;
    }
    std::string text, error;
    if (!kbdump::DumpKnowledgeBase(argv[1], &text, &error)) {
        Write(err, "kbdump: " + error + "\n");
        return 1;
    }
    Write(out, text);
    return 0;
}
