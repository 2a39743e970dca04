// Streams to files and to 8-bit strings: whole content from any position, failures and their log lines.
#include <gtest/gtest.h>

#include <objbase.h>
#include <vector>

#include "data_store.h"
#include "foundation_test_support.h"
#include "streams.h"

namespace {

// A memory stream holding the bytes, left positioned at its end.
CComPtr<IStream> MemoryStream(const std::string& bytes) {
    CComPtr<IStream> stream;
    ::CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    ULONG written = 0;
    if (!bytes.empty()) stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
    return stream;
}

class Streams : public ::testing::Test {
protected:
    CString Path(const wchar_t* name) const { return CString(m_folder.Path().c_str()) + name; }
    FoundationTempDir m_folder;
};

}  // namespace

TEST_F(Streams, WholeStreamGoesToTheFile) {
    const std::string bytes("\x00\x01binary\xFF\x00tail", 14);
    CString path = Path(L"blob.dat");
    FoundationWriteBytes(path, std::string(100, 'o'));  // replaced, not overwritten in part
    EXPECT_TRUE(BrelmSaveStreamToFile(MemoryStream(bytes), path));
    EXPECT_EQ(bytes, FoundationReadBytes(path));

    EXPECT_TRUE(BrelmSaveStreamToFile(MemoryStream(""), path));
    EXPECT_EQ(0u, FoundationReadBytes(path).size());
    EXPECT_TRUE(::PathFileExistsW(path));
}

TEST_F(Streams, FileThatCannotBeOpenedIsLogged) {
    size_t logged = FoundationLogTexts(BrelmGetLogFileName()).size();
    CString path = Path(L"missing\\folder\\blob.dat");
    EXPECT_FALSE(BrelmSaveStreamToFile(MemoryStream("abc"), path));
    std::vector<CString> texts = FoundationLogTexts(BrelmGetLogFileName());
    ASSERT_EQ(logged + 2, texts.size());
    EXPECT_EQ(L"Can't create or open file: " + path, texts[logged]);
    EXPECT_EQ(CString(L"No such file or directory"), texts[logged + 1]);
}

// Linux's /dev/full opens like any file and refuses every write, as a full disk does. A stream that
// fits the runtime's buffer fails only when it is flushed, a larger one already in the write.
TEST_F(Streams, RefusedWriteIsNoSavedFile) {
    typedef wchar_t*(CDECL * DosFileName)(const char*);
    auto dosFileName = reinterpret_cast<DosFileName>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    wchar_t* full = dosFileName ? dosFileName("/dev/full") : nullptr;
    if (!full) GTEST_SKIP() << "not under Wine: no /dev/full";
    size_t logged = FoundationLogTexts(BrelmGetLogFileName()).size();
    for (size_t size : {1u, 1u << 20}) {
        EXPECT_FALSE(BrelmSaveStreamToFile(MemoryStream(std::string(size, 'x')), full)) << size << " bytes";
    }
    EXPECT_EQ(logged, FoundationLogTexts(BrelmGetLogFileName()).size());  // it opened: nothing to log
    ::HeapFree(::GetProcessHeap(), 0, full);
}

TEST_F(Streams, StreamToStringStopsAtTheFirstNul) {
    struct Case {
        std::string bytes;
        CStringA expected;
    };
    const std::vector<Case> cases = {
        {std::string("A\0B", 3), "A"},
        {"whole text", "whole text"},
        {"", ""},
        {"\xE6\x97\xA5", "\xE6\x97\xA5"},
    };
    for (const Case& c : cases) {
        CStringA text = "old";
        EXPECT_TRUE(BrelmReadStreamToStringA(MemoryStream(c.bytes), text));
        EXPECT_EQ(c.expected, text);
    }
}
