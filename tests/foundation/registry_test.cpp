// Registry reads and the one write under a test key of HKCU, and the Portable ini value.
#include <gtest/gtest.h>

#include <string>

#include "foundation_print.h"
#include "foundation_registry_guard.h"
#include "foundation_temp_dir.h"
#include "registry.h"

namespace {

const std::wstring kKey = L"Software\\BrelmFoundationTest" + std::to_wstring(GetCurrentProcessId());

}  // namespace

TEST(BrelmRegReadString, MissingAndOverlongValuesGiveTheDefault) {
    FoundationRegistryValueGuard guard(kKey.c_str(), L"Name");
    EXPECT_EQ(CString(L"dflt"), BrelmRegReadString(kKey.c_str(), L"Name", L"dflt"));
    EXPECT_EQ(CString(), BrelmRegReadString(kKey.c_str(), L"Name", nullptr));
    for (size_t length : {0u, 1000u, 1024u, 3000u}) {
        const std::wstring text(length, L'a');
        ASSERT_TRUE(guard.Set(REG_SZ, text.c_str(), static_cast<DWORD>((length + 1) * sizeof(wchar_t))));
        EXPECT_EQ(length < 1024 ? CString(text.c_str()) : CString(L"dflt"),
                  BrelmRegReadString(kKey.c_str(), L"Name", L"dflt"));
    }
    EXPECT_EQ(CString(L"dflt"), BrelmRegReadString(kKey.c_str(), L"Other", L"dflt"));
}

TEST(BrelmRegReadLCID, AnyValueOfUpToFourBytes) {
    FoundationRegistryValueGuard guard(kKey.c_str(), L"LCID");
    DWORD lcid = 99;
    EXPECT_FALSE(BrelmRegReadLCID(kKey.c_str(), &lcid));
    const BYTE twoBytes[] = {0x04, 0x08}, eightBytes[8] = {1};
    ASSERT_TRUE(guard.Set(REG_BINARY, twoBytes, sizeof(twoBytes)));
    EXPECT_TRUE(BrelmRegReadLCID(kKey.c_str(), &lcid));
    EXPECT_EQ(0x0804u, lcid);
    ASSERT_TRUE(guard.Set(REG_BINARY, eightBytes, sizeof(eightBytes)));
    EXPECT_FALSE(BrelmRegReadLCID(kKey.c_str(), &lcid));
    EXPECT_EQ(0x0804u, lcid);
}

TEST(BrelmRegWriteDataStore, CreatesTheKey) {
    FoundationRegistryValueGuard guard(kKey.c_str(), L"DataStore");
    EXPECT_TRUE(BrelmRegWriteDataStore(kKey.c_str(), L"D:\\Store\\"));
    EXPECT_EQ(CString(L"D:\\Store\\"), BrelmRegReadString(kKey.c_str(), L"DataStore", L"none"));
    EXPECT_TRUE(BrelmRegWriteDataStore(kKey.c_str(), L""));
    EXPECT_EQ(CString(L""), BrelmRegReadString(kKey.c_str(), L"DataStore", L"none"));
}

TEST(BrelmReadPortableValue, CommonSectionOnly) {
    FoundationTempDir temp;
    const CString ini = CString(temp.Path().c_str()) + L"Brelm.ini";
    EXPECT_EQ(CString(), BrelmReadPortableValue(ini));
    WritePrivateProfileStringW(L"Other", L"Portable", L"0", ini);
    EXPECT_EQ(CString(), BrelmReadPortableValue(ini));
    WritePrivateProfileStringW(L"Common", L"Portable", L"1", ini);
    EXPECT_EQ(CString(L"1"), BrelmReadPortableValue(ini));
}

// Without a key name the system opens HKEY_CURRENT_USER itself, and without a file name it reads
// win.ini: what is planted there must not be read, nor anything written there.
TEST(NoKeyOrFileName, FindsAndWritesNothing) {
    const std::wstring name = L"BrelmFoundationTest" + std::to_wstring(GetCurrentProcessId());
    FoundationRegistryValueGuard planted(L"", name.c_str()), lcid(L"", L"LCID"), dataStore(L"", L"DataStore");
    const DWORD english = 0x0409;
    ASSERT_TRUE(planted.Set(REG_SZ, L"planted", sizeof(L"planted")));
    ASSERT_TRUE(lcid.Set(REG_DWORD, &english, sizeof(english)));
    dataStore.Remove();
    EXPECT_EQ(CString(L"dflt"), BrelmRegReadString(nullptr, name.c_str(), L"dflt"));
    DWORD read = 99;
    EXPECT_FALSE(BrelmRegReadLCID(nullptr, &read));
    EXPECT_EQ(99u, read);
    EXPECT_FALSE(BrelmRegWriteDataStore(nullptr, L"D:\\Store\\"));
    EXPECT_EQ(CString(L"none"), BrelmRegReadString(L"", L"DataStore", L"none"));

    wchar_t section[16] = {};
    if (GetPrivateProfileSectionW(L"Common", section, 16, L"win.ini")) GTEST_SKIP() << "win.ini has a [Common] section";
    WritePrivateProfileStringW(L"Common", L"Portable", L"1", L"win.ini");
    EXPECT_EQ(CString(), BrelmReadPortableValue(L""));
    EXPECT_EQ(CString(), BrelmReadPortableValue(nullptr));
    WritePrivateProfileStringW(L"Common", nullptr, nullptr, L"win.ini");
}
