// File and path helpers: folder chains, valid file names, sizes, path parts.
#include "file_helpers.h"

#include <shlwapi.h>
#include <wchar.h>

#include "string_helpers.h"

namespace {

const wchar_t kInvalidFileNameChars[] = L"/\\\"?:*|<>\r\n\t,%'";
const int kMaxFileName = 259;
const int kCutWithoutExtension = 250;
const int kDriveDirBuffer = 260;
const int kNameExtBuffer = 1024;

// Windows refuses every control character in a file name, not only the three in the list.
bool HasControlChar(const wchar_t* name) {
    for (; *name; ++name) {
        if (*name < L' ') return true;
    }
    return false;
}

// Length and characters only; the names Windows reserves are judged apart.
bool HasValidCharsAndLength(const wchar_t* name) {
    return wcslen(name) <= static_cast<size_t>(kMaxFileName) && !wcspbrk(name, kInvalidFileNameChars) &&
           !HasControlChar(name);
}

// Where a device name ends when the name is one ("CON", "nul.txt", "COM1 .log"),
// else 0: Windows opens the device for such a name in any folder, whatever follows
// the first dot, and ignores blanks before that dot.
int ReservedDeviceNameLength(const CString& name) {
    int end = 0;
    while (end < name.GetLength() && name[end] != L'.') ++end;
    while (end > 0 && name[end - 1] == L' ') --end;
    static const wchar_t* const kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL"};
    static const wchar_t* const kNumbered[] = {L"COM", L"LPT"};
    const CString base = name.Left(end);
    if (end == 3) {
        for (const wchar_t* device : kDevices) {
            if (BrelmCompareText(base, device, FALSE) == 0) return 3;
        }
    } else if (end == 4 && base[3] >= L'1' && base[3] <= L'9') {
        for (const wchar_t* device : kNumbered) {
            if (BrelmCompareText(base.Left(3), device, FALSE) == 0) return 4;
        }
    }
    return 0;
}

// Windows strips trailing dots and blanks, so such a name means the folder itself or its parent.
bool IsOnlyDotsAndBlanks(const CString& name) {
    if (name.IsEmpty()) return false;
    for (int i = 0; i < name.GetLength(); ++i) {
        if (name[i] != L'.' && name[i] != L' ') return false;
    }
    return true;
}

// A name Windows gives a special meaning gets a '_' (after the device word, or at
// the end), so its file lands in the folder under a name of its own; every other
// name is left alone.
void MendReservedName(CString& name) {
    int deviceLength = ReservedDeviceNameLength(name);
    if (deviceLength > 0) {
        name.Insert(deviceLength, L'_');
        if (name.GetLength() > kMaxFileName) name = name.Left(kMaxFileName);
    } else if (IsOnlyDotsAndBlanks(name)) {
        // The '_' goes last, so the room for it is made first.
        name = name.Left(kMaxFileName - 1) + L'_';
    }
}

// The four parts of a path as the runtime's path splitter gives them. Only the parts
// asked for (non-null) are checked against their buffer sizes; when one does not fit,
// all come back empty.
bool SplitPath(const wchar_t* path, CString* drive, CString* dir, CString* name, CString* ext) {
    const CString text(path);
    int pos = 0;
    CString d, f, n, e;
    if (text.GetLength() >= 2 && text[1] == L':') {
        d = text.Left(2);
        pos = 2;
    }
    int lastSeparator = -1;
    for (int i = pos; i < text.GetLength(); ++i) {
        if (text[i] == L'\\' || text[i] == L'/') lastSeparator = i;
    }
    if (lastSeparator >= 0) {
        f = text.Mid(pos, lastSeparator + 1 - pos);
        pos = lastSeparator + 1;
    }
    const CString rest = text.Mid(pos);
    int dot = rest.ReverseFind(L'.');
    if (dot >= 0) {
        n = rest.Left(dot);
        e = rest.Mid(dot);
    } else {
        n = rest;
    }
    const bool fits = (!drive || d.GetLength() < kDriveDirBuffer) && (!dir || f.GetLength() < kDriveDirBuffer) &&
                      (!name || n.GetLength() < kNameExtBuffer) && (!ext || e.GetLength() < kNameExtBuffer);
    if (drive) *drive = fits ? d : CString();
    if (dir) *dir = fits ? f : CString();
    if (name) *name = fits ? n : CString();
    if (ext) *ext = fits ? e : CString();
    return fits;
}

bool ExistsOnDisk(const CString& path) { return ::PathFileExistsW(path) != FALSE; }

}  // namespace

BOOL BrelmCreateDirectories(const wchar_t* path) {
    if (!path) return FALSE;
    if (ExistsOnDisk(path)) return TRUE;
    CBrelmStringArray pieces;
    BrelmSplitString(CString(path), L'\\', pieces);
    CString prefix;
    size_t first = 0;
    // A share root (\\server\share\) cannot be created: it becomes the untested first level.
    // A network path without its share names no folder that could be made.
    if (path[0] == L'\\' && path[1] == L'\\') {
        if (pieces.size() < 3) return FALSE;
        prefix = L"\\\\" + pieces[1] + L"\\" + pieces[2] + L"\\";
        first = 3;
    } else if (!pieces.empty()) {
        prefix = pieces[0] + L"\\";
        first = 1;
    }
    for (size_t i = first; i < pieces.size(); ++i) {
        prefix += pieces[i];
        prefix += L'\\';
        if (!ExistsOnDisk(prefix) && !::CreateDirectoryW(prefix, nullptr)) return FALSE;
    }
    return TRUE;
}

BOOL BrelmIsValidFileName(const wchar_t* name) {
    if (!name) return FALSE;
    if (!HasValidCharsAndLength(name)) return FALSE;
    const CString text(name);
    return ReservedDeviceNameLength(text) == 0 && !IsOnlyDotsAndBlanks(text);
}

void BrelmMakeValidFileName(CString& name) {
    if (HasValidCharsAndLength(name)) {
        MendReservedName(name);
        return;
    }
    if (name.GetLength() > kMaxFileName) {
        const CString ext = BrelmExtractFileExt(name);
        const int keep = kMaxFileName - ext.GetLength();
        if (keep > 0 && keep < name.GetLength()) {
            name = name.Left(keep) + ext;
        } else {
            name = name.Left(kCutWithoutExtension);
        }
    }
    for (const wchar_t* c = kInvalidFileNameChars; *c; ++c) name.Replace(*c, L'-');
    for (wchar_t c = 1; c < L' '; ++c) name.Replace(c, L'-');
    while (name.Find(L"--") >= 0) name.Replace(L"--", L"-");
    name.TrimRight();
    name.TrimLeft();
    name.TrimRight(L'-');
    name.TrimLeft(L'-');
    MendReservedName(name);
}

unsigned __int64 BrelmGetFileSize64(const wchar_t* path) {
    if (!path || !::PathFileExistsW(path)) return 0;
    const DWORD attributes = ::GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return 0;
    WIN32_FIND_DATAW data = {};
    HANDLE find = ::FindFirstFileW(path, &data);
    if (find == INVALID_HANDLE_VALUE) return 0;
    ::FindClose(find);
    return (static_cast<unsigned __int64>(data.nFileSizeHigh) << 32) + data.nFileSizeLow;
}

CString BrelmIntToStr(int value) {
    wchar_t buffer[100] = {};
    swprintf(buffer, 100, L"%d", value);
    return CString(buffer);
}

CString BrelmExtractFilePath(const wchar_t* path) {
    CString drive, dir;
    SplitPath(path, &drive, &dir, nullptr, nullptr);
    return drive + dir;
}

CString BrelmExtractFileName(const wchar_t* path) {
    CString name, ext;
    SplitPath(path, nullptr, nullptr, &name, &ext);
    return name + ext;
}

CString BrelmExtractFileExt(const wchar_t* path) {
    CString ext;
    SplitPath(path, nullptr, nullptr, nullptr, &ext);
    return ext;
}

CString BrelmExtractFileTitle(const wchar_t* path) {
    CString name;
    SplitPath(path, nullptr, nullptr, &name, nullptr);
    return name;
}
