// Loading whole text files: byte-order marks, caller flags, the UTF-16 test, line ends, charsets.
#include "text_file_load.h"

#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <shlwapi.h>
#include <memory>
#include "charset.h"
#include "file_helpers.h"
#include "win_handles.h"

namespace {

// The decoder reads up to this many zero bytes past the data (mark tests, the unit after a CR,
// the high byte of an odd last UTF-16 unit, the terminator).
const UINT kZeroPad = 4;

template <typename Unit>
void NormalizeUnits(Unit* data, UINT size, BOOL keepCrLf) {
    const char* end = reinterpret_cast<const char*>(data) + size;
    const Unit* read = data;
    Unit* write = data;
    while (reinterpret_cast<const char*>(read) < end) {
        Unit unit = *read++;
        if (unit == 0) continue;
        if (unit == 13) {
            if (*read == 10) {
                if (keepCrLf) *write++ = 13;
            } else {
                *write++ = 10;
            }
            continue;
        }
        *write++ = unit;
    }
    *write = 0;
}

}  // namespace

void BrelmNormalizeLineEnds(wchar_t* data, UINT size, BOOL keepCrLf) { NormalizeUnits(data, size, keepCrLf); }

void BrelmNormalizeLineEnds(char* data, UINT size, BOOL keepCrLf) { NormalizeUnits(data, size, keepCrLf); }

BOOL BrelmDecodeTextBuffer(char* data, UINT size, CString& text, UINT flags, const wchar_t* fileName) {
    if (!data) return FALSE;
    try {
        const unsigned char* bytes = reinterpret_cast<const unsigned char*>(data);
        const bool markUtf16 = bytes[0] == 0xFF && bytes[1] == 0xFE;
        const bool markUtf8 = bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF;
        bool isUtf16 = size >= 2 && ((flags & BRELM_TEXT_UNICODE) || markUtf16);
        const bool isUtf8 = size >= 3 && ((flags & BRELM_TEXT_UTF8) || markUtf8);
        const BOOL keepCrLf = (flags & BRELM_TEXT_KEEP_CRLF) ? TRUE : FALSE;

        if (!isUtf16 && size > 10 && size % 2 == 0 && memchr(data, 0, size))
            isUtf16 = ::IsTextUnicode(data, static_cast<int>(size), nullptr) != 0;

        if (isUtf16) {
            wchar_t* units = reinterpret_cast<wchar_t*>(data);
            BrelmNormalizeLineEnds(units, size, keepCrLf);
            text = markUtf16 ? units + 1 : units;
            return TRUE;
        }

        BrelmNormalizeLineEnds(data, size, keepCrLf);
        if (isUtf8) {
            text = BrelmMultiByteToCString(CStringA(markUtf8 ? data + 3 : data), 65001);
            return TRUE;
        }

        CString ext = BrelmExtractFileExt(fileName ? fileName : L"");
        if ((flags & BRELM_TEXT_HTML) || ::StrStrIW(ext, L".htm")) return BrelmDecodeHtmlText(data, text);
        if ((flags & BRELM_TEXT_XML) || ::StrStrIW(ext, L".xml")) return BrelmDecodeXmlText(data, text);
        if (::StrStrIW(ext, L".php")) {
            text = BrelmMultiByteToCString(CStringA(data), 65001);
            return TRUE;
        }
        text = BrelmMultiByteToCString(CStringA(data), CP_ACP);
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

BOOL BrelmLoadTextFromFile(const wchar_t* path, CString& text, UINT flags) {
    if (!path) return FALSE;
    // The buffer is the size plus the zero pad as one 32-bit count: larger files are refused
    // rather than read in part.
    unsigned __int64 fullSize = BrelmGetFileSize64(path);
    if (fullSize > 0xFFFFFFFFull - kZeroPad) return FALSE;
    const UINT size = static_cast<UINT>(fullSize);

    int descriptor = -1;
    if (_wsopen_s(&descriptor, path, _O_RDONLY | _O_BINARY, _SH_DENYNO, 0) != 0 || descriptor < 0) return FALSE;
    CBrelmStdioFile stream(_wfdopen(descriptor, L"rb"));
    if (!stream) {
        _close(descriptor);
        return FALSE;
    }
    try {
        std::unique_ptr<char[]> buffer(new char[static_cast<size_t>(size) + kZeroPad]());
        if (size) fread(buffer.get(), size, 1, stream);
        return BrelmDecodeTextBuffer(buffer.get(), size, text, flags, path);
    } catch (...) {
        return FALSE;
    }
}

int BrelmGetFileBomKind(const wchar_t* path) {
    if (!path || static_cast<UINT>(BrelmGetFileSize64(path)) <= 3) return BRELM_BOM_NONE;
    CBrelmStdioFile file;
    if (_wfopen_s(&file, path, L"rb") != 0 || !file) return BRELM_BOM_NONE;
    unsigned char mark[3] = {0, 0, 0};
    fread(mark, 1, sizeof(mark), file);
    file.Close();
    if (mark[0] == 0xFF && mark[1] == 0xFE) return BRELM_BOM_UNICODE;
    if (mark[0] == 0xEF && mark[1] == 0xBB && mark[2] == 0xBF) return BRELM_BOM_UTF8;
    return BRELM_BOM_NONE;
}

BOOL BrelmLoadTextFileLines(const wchar_t* path, CBrelmStringArray& lines) {
    CString text;
    if (!BrelmLoadTextFromFile(path, text, 0)) return FALSE;
    return BrelmSplitString(text, L'\n', lines);
}
