// Saving text as UTF-16LE with a byte-order mark and CR LF line ends, three attempts, failures logged.
#include "text_file_save.h"

#include <climits>

#include <shlwapi.h>
#include "file_helpers.h"
#include "global.h"
#include "message_texts.h"
#include "win_handles.h"

namespace {

const int kAttempts = 3;
const DWORD kRetryPauseMs = 10;

void Log(const CString& text) { BrelmGetKMGlobal()->WriteLog(text, 0); }

CString DwordText(DWORD value) { return BrelmIntToStr(static_cast<int>(value)); }

// One attempt; TRUE when the mark and the whole text are in the file and nothing follows them.
bool TryWrite(const wchar_t* path, const CString& converted, bool& openFailed) {
    openFailed = false;
    DWORD disposition = ::PathFileExistsW(path) ? OPEN_EXISTING : CREATE_ALWAYS;
    CBrelmFileHandle file(::CreateFileW(path, GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) {
        DWORD code = ::GetLastError();
        CString line;
        BrelmFormatString(line, L"Can't create file: %1, error message: %2, Windows Error Code: %3", path,
                          BrelmGetSystemErrorText(code), DwordText(code));
        Log(line);
        openFailed = true;
        return false;
    }

    static const unsigned char kMark[2] = {0xFF, 0xFE};
    if (!BrelmWriteFileData(file, kMark, sizeof(kMark))) {
        Log(BrelmFormatString1(L"Can't write unicode mark data to file: %1", path));
        return false;
    }
    DWORD byteCount = static_cast<DWORD>(converted.GetLength()) * sizeof(wchar_t);
    // A file opened as existing may be longer than the new text: cut it, or its old tail stays.
    if (!BrelmWriteFileData(file, converted.GetString(), byteCount) || !::SetEndOfFile(file)) {
        Log(BrelmFormatString1(L"Can't write unicode data to file: %1", path));
        return false;
    }
    return true;
}

}  // namespace

BOOL BrelmWriteFileData(HANDLE file, const void* data, DWORD byteCount) {
    DWORD written = 0;
    if (!::WriteFile(file, data, byteCount, &written, nullptr)) {
        DWORD code = ::GetLastError();
        Log(BrelmFormatString2(L"Can't save unicode text to unicode file: %1, Windows Error Code: %2",
                               BrelmGetSystemErrorText(code), DwordText(code)));
        return FALSE;
    }
    if (written != byteCount) {
        Log(BrelmFormatString2(L"Can't write all data to to unicode file: need to be written: %1, written: %2",
                               DwordText(byteCount), DwordText(written)));
        return FALSE;
    }
    return TRUE;
}

BOOL BrelmConvertLfToCrLf(const wchar_t* text, CString& output) {
    try {
        const wchar_t* source = text ? text : L"";
        size_t length = wcslen(source);
        // The doubled text must fit the string's count.
        if (length > (INT_MAX - 2) / 2) return FALSE;
        CString converted;
        wchar_t* out = converted.GetBufferSetLength(static_cast<int>(2 * length + 2));
        wmemset(out, 0, 2 * length + 2);
        const wchar_t* lastCr = nullptr;
        wchar_t* write = out;
        for (const wchar_t* read = source; *read; ++read) {
            if (*read == L'\n' && (!lastCr || lastCr != read - 1)) *write++ = L'\r';
            if (*read == L'\r') lastCr = read;
            *write++ = *read;
        }
        converted.ReleaseBuffer();
        output = converted;
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

BOOL BrelmSaveUnicodeTextToFile(const wchar_t* path, const wchar_t* text) {
    if (!path) return FALSE;
    BrelmCreateDirectories(BrelmExtractFilePath(path));
    try {
        CString converted;
        if (!BrelmConvertLfToCrLf(text, converted)) return FALSE;
        if (::PathFileExistsW(path)) ::DeleteFileW(path);

        for (int attempt = 0; attempt < kAttempts; ++attempt) {
            bool openFailed = false;
            if (TryWrite(path, converted, openFailed)) return TRUE;
            if (openFailed) continue;
            ::Sleep(kRetryPauseMs);
            Log(BrelmFormatString1(L"Retry write file: %1", path));
        }
        return FALSE;
    } catch (...) {
        return FALSE;
    }
}
