// Appending one UTF-16 line (program, local time, process and thread ids, text) to the log file.
#include "log_file.h"

#include <share.h>
#include <shlwapi.h>
#include "file_helpers.h"
#include "folders.h"
#include "string_helpers.h"
#include "text_file_load.h"
#include "win_handles.h"

namespace {

const unsigned __int64 kLogSizeLimit = 0x100000;
const DWORD kModuleNameSize = 1024;

void WriteText(FILE* file, const wchar_t* text) {
    size_t length = wcslen(text);
    if (length) fwrite(text, sizeof(wchar_t), length, file);
}

CString ProgramFileName() {
    wchar_t module[kModuleNameSize] = {};
    ::GetModuleFileNameW(nullptr, module, kModuleNameSize - 1);
    return BrelmExtractFileName(BrelmGetLongPathName(module));
}

}  // namespace

void BrelmAppendLogLine(const wchar_t* logFileName, const wchar_t* text) {
    if (!logFileName || !*logFileName) return;
    // Start afresh when the file is too large or is not ours (no UTF-16 mark).
    if (BrelmGetFileSize64(logFileName) > kLogSizeLimit)
        ::DeleteFileW(logFileName);
    else if (BrelmGetFileBomKind(logFileName) != BRELM_BOM_UNICODE)
        ::DeleteFileW(logFileName);

    const bool exists = ::PathFileExistsW(logFileName) != FALSE;
    CBrelmStdioFile file(_wfsopen(logFileName, exists ? L"r+b" : L"wb", _SH_DENYRW));
    if (!file) return;
    try {
        if (exists)
            fseek(file, 0, SEEK_END);
        else
            fwrite("\xFF\xFE", 1, 2, file);

        CString ids;
        ids.Format(L" (%d-%d)", static_cast<int>(::GetCurrentProcessId()), static_cast<int>(::GetCurrentThreadId()));
        CString line(text ? text : L"");
        line.Replace(L'\r', L' ');
        line.Replace(L'\n', L' ');

        WriteText(file, ProgramFileName());
        WriteText(file, L" ");
        WriteText(file, BrelmGetDateTimeText(COleDateTime::GetCurrentTime()));
        WriteText(file, ids);
        WriteText(file, L": ");
        WriteText(file, line);
        WriteText(file, L"\r\n");
        fflush(file);
    } catch (...) {
        // A log line that cannot be written is lost; the caller never learns of it.
    }
}
