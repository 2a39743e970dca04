// Folder chains, valid file names, file sizes and path parts.
#include <gtest/gtest.h>

#include <shlwapi.h>

#include "file_helpers.h"
#include "foundation_print.h"
#include "foundation_temp_dir.h"

namespace {

CString X(int count) { return CString(L'x', count); }

}  // namespace

TEST(BrelmCreateDirectories, MissingLevelsExistingFileAndBlockedLevel) {
    FoundationTempDir temp;
    const CString base = temp.Path().c_str();
    ASSERT_TRUE(CreateDirectoryW(base + L"a", nullptr));
    EXPECT_TRUE(BrelmCreateDirectories(base + L"a\\b\\c\\"));
    EXPECT_TRUE(PathIsDirectoryW(base + L"a\\b\\c"));
    CloseHandle(CreateFileW(base + L"f", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    EXPECT_TRUE(BrelmCreateDirectories(base + L"f"));
    EXPECT_FALSE(BrelmCreateDirectories(base + L"f\\sub\\"));
    EXPECT_FALSE(BrelmCreateDirectories(nullptr));
    // The first piece is taken for a drive: never created.
    EXPECT_TRUE(BrelmCreateDirectories(L"brelm_never_made\\"));
    EXPECT_FALSE(PathFileExistsW(L"brelm_never_made"));
    // A server name without a share must not turn into a folder at the drive's root.
    EXPECT_FALSE(BrelmCreateDirectories(L"\\\\brelm_no_share\\"));
    EXPECT_FALSE(PathFileExistsW(L"\\brelm_no_share"));
}

TEST(BrelmMakeValidFileName, Table) {
    const struct {
        CString in, out;
    } cases[] = {
        {L"a:b?c.txt", L"a-b-c.txt"},
        {L"??x", L"x"},
        {L"  ok  ", L"  ok  "},
        {L"  n:o  ", L"n-o"},
        {L" -a::?- ", L"a"},
        {L"?*:|", L""},
        {X(300) + L".jpg", X(255) + L".jpg"},
        {X(254) + L"??" + X(10) + L".jpg", X(254) + L"-.jpg"},
        {L"a." + X(300), L"a." + X(248)},
        {L"CON", L"CON_"},
        {L"nul.txt", L"nul_.txt"},
        {L"Com3.tar.gz", L"Com3_.tar.gz"},
        {L"lpt1 .log", L"lpt1_ .log"},
        {L"aux?", L"aux_"},
        {L"..", L".._"},
        {L"?..?", L".._"},
        {CString(L'.', 259), CString(L'.', 258) + L"_"},  // the '_' must survive the cut to 259
        {CString(L'.', 400), CString(L'.', 258) + L"_"},
        {L"CONSOLE", L"CONSOLE"},
        {L"com0", L"com0"},
        {L"a\x01" L"b.txt", L"a-b.txt"},  // no file can be made with a control character in its name
        {L"\x0b" L"x\x1f", L"x"},
    };
    for (const auto& c : cases) {
        CString name = c.in;
        BrelmMakeValidFileName(name);
        EXPECT_EQ(c.out, name) << CStringA(c.in).GetString();
        EXPECT_TRUE(BrelmIsValidFileName(name)) << CStringA(name).GetString();
    }
    EXPECT_TRUE(BrelmIsValidFileName(X(259)));
    EXPECT_FALSE(BrelmIsValidFileName(X(260)));
    for (const wchar_t* bad : {L"a,b", L"100%", L"it's", L"NUL", L"prn .txt", L"...", L" . ", L"bell\x07.wav"}) {
        EXPECT_FALSE(BrelmIsValidFileName(bad)) << CStringA(bad).GetString();
    }
}

// A mended reserved name is an ordinary file in the folder, holding its bytes.
TEST(BrelmMakeValidFileName, ReservedNamesLandInTheFolder) {
    FoundationTempDir temp;
    for (const wchar_t* raw : {L"CON", L"nul.txt", L"COM1", L"LPT2.dat", L"..", L"."}) {
        CString name = raw;
        BrelmMakeValidFileName(name);
        const CString path = CString(temp.Path().c_str()) + name;
        HANDLE h = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, h) << CStringA(name).GetString();
        DWORD written = 0;
        WriteFile(h, "12345", 5, &written, nullptr);
        CloseHandle(h);
        EXPECT_EQ(5u, BrelmGetFileSize64(path)) << CStringA(name).GetString();
    }
}

TEST(BrelmGetFileSize64, FoldersAndSizesAboveFourGiB) {
    FoundationTempDir temp;
    const CString big = CString(temp.Path().c_str()) + L"big.bin";
    EXPECT_EQ(0u, BrelmGetFileSize64(temp.Path().c_str()));
    EXPECT_EQ(0u, BrelmGetFileSize64(big));
    HANDLE h = CreateFileW(big, GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    LARGE_INTEGER size;
    size.QuadPart = 5LL << 30;
    ASSERT_TRUE(SetFilePointerEx(h, size, nullptr, FILE_BEGIN) && SetEndOfFile(h));
    EXPECT_EQ(5ULL << 30, BrelmGetFileSize64(big));  // measured while held open
    CloseHandle(h);
}

TEST(BrelmExtractFile, PathParts) {
    const struct {
        CString path, dir, name, ext, title;
    } cases[] = {
        {L"C:\\a\\b.txt", L"C:\\a\\", L"b.txt", L".txt", L"b"},
        {L"archive.tar.gz", L"", L"archive.tar.gz", L".gz", L"archive.tar"},
        {L"C:/x.y/readme", L"C:/x.y/", L"readme", L"", L"readme"},
        {L"C:\\" + CString(L'd', 258) + L"\\f.txt", L"", L"f.txt", L".txt", L"f"},
        {L"C:\\a\\" + X(1024) + L".txt", L"C:\\a\\", L"", L".txt", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.dir, BrelmExtractFilePath(c.path)) << CStringA(c.path).GetString();
        EXPECT_EQ(c.name, BrelmExtractFileName(c.path)) << CStringA(c.path).GetString();
        EXPECT_EQ(c.ext, BrelmExtractFileExt(c.path)) << CStringA(c.path).GetString();
        EXPECT_EQ(c.title, BrelmExtractFileTitle(c.path)) << CStringA(c.path).GetString();
    }
}
