// Moving the whole content of an IStream into a file or into an 8-bit string.
#include "streams.h"

#include <limits.h>
#include <string.h>
#include <memory>
#include <new>
#include <stdexcept>
#include "global.h"
#include "message_texts.h"
#include "win_handles.h"

namespace {

const size_t kErrorTextSize = 1024;

// Seeks to the start; the size is the end position as a 32-bit count, 0 when it cannot be measured.
ULONG MeasureFromStart(IStream* stream) {
    LARGE_INTEGER zero;
    zero.QuadPart = 0;
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    ULARGE_INTEGER current, end;
    if (FAILED(stream->Seek(zero, STREAM_SEEK_CUR, &current))) return 0;
    if (FAILED(stream->Seek(zero, STREAM_SEEK_END, &end))) return 0;
    LARGE_INTEGER back;
    back.QuadPart = static_cast<LONGLONG>(current.QuadPart);
    stream->Seek(back, STREAM_SEEK_SET, nullptr);
    return static_cast<ULONG>(end.QuadPart);
}

}  // namespace

BOOL BrelmSaveStreamToFile(IStream* stream, const wchar_t* path) {
    if (!stream || !path) return FALSE;
    ULONG size = MeasureFromStart(stream);
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[size ? size : 1]);
    if (!buffer) return FALSE;
    if (size) {
        ULONG read = 0;
        if (FAILED(stream->Read(buffer.get(), size, &read)) || read < size) return FALSE;
    }

    CBrelmStdioFile file;
    errno_t error = _wfopen_s(&file, path, L"wb");
    if (error != 0 || !file) {
        IBrelmGlobal* global = BrelmGetKMGlobal();
        global->WriteLog(BrelmFormatString1(L"Can't create or open file: %1", path), 0);
        wchar_t message[kErrorTextSize] = {};
        _wcserror_s(message, kErrorTextSize, error);
        global->WriteLog(message, 0);
        return FALSE;
    }
    // A short write (a full disk) must not pass for a saved file.
    if (size && fwrite(buffer.get(), size, 1, file) != 1) return FALSE;
    return fflush(file) == 0;
}

BOOL BrelmReadStreamToStringA(IStream* stream, CStringA& text) {
    if (!stream) {
        text.Empty();
        return TRUE;
    }
    ULONG size = MeasureFromStart(stream);
    if (size >= static_cast<ULONG>(INT_MAX)) throw std::invalid_argument("stream too large for a string");
    char* buffer = text.GetBufferSetLength(static_cast<int>(size) + 1);
    memset(buffer, 0, static_cast<size_t>(size) + 1);
    LARGE_INTEGER zero;
    zero.QuadPart = 0;
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    if (size) {
        ULONG read = 0;
        stream->Read(buffer, size, &read);
    }
    text.ReleaseBuffer();
    return TRUE;
}
