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
