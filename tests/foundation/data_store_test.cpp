// The data-store folder in each of its cases, run in child processes from program folders of their own
// (the portable flag and the file names are settled once per process).
#include <gtest/gtest.h>

#include <vector>

#include "data_store.h"
#include "folders.h"
#include "foundation_test_support.h"

namespace {

const wchar_t kProductKey[] = L"Software\\Brelm";
const wchar_t kOlderKey[] = L"Software\\Kelvane\\Brelm";

std::wstring Utf16Lines(std::initializer_list<std::wstring> lines) {
    std::wstring text;
    for (const std::wstring& line : lines) text += line + L"\n";
    return text;
}

// One program folder with the settings of a case; the registry values are put back afterwards.
class DataStore : public ::testing::Test {
protected:
    DataStore()
        : m_kelvaneRoot(L"Software\\Kelvane", L""),  // removes Software\Kelvane again when it made it
          m_product(kProductKey, L"DataStore"),
          m_older(kOlderKey, L"DataStore") {
        m_product.Remove();
        m_older.Remove();
    }

    CString Folder(const wchar_t* name = L"") const { return CString(m_program.Path().c_str()) + name; }
    void SetRegistry(FoundationRegistryValueGuard& value, const CString& text) {
        value.Set(REG_SZ, text.GetString(), static_cast<DWORD>((text.GetLength() + 1) * sizeof(wchar_t)));
    }
    void SetPortable(const char* value) {
        FoundationWriteBytes(Folder(L"Brelm.ini"), std::string("[Common]\r\nPortable=") + value + "\r\n");
    }
    void AddChooser(std::initializer_list<std::wstring> answers) {
        CString chooser = BrelmGetAppPath() + L"foundation_data_store_chooser\\BrelmKMControls.dll";
        ASSERT_TRUE(::CopyFileW(chooser, Folder(L"BrelmKMControls.dll"), FALSE));
        FoundationWriteBytes(Folder(L"chooser_answers.txt"), FoundationUtf16Bytes(Utf16Lines(answers)));
    }
    int RunChild(const wchar_t* test) {
        return FoundationRunChildTest(CString(L"DataStoreChild.DISABLED_") + test, Folder());
    }

    FoundationRegistryValueGuard m_kelvaneRoot;
    FoundationRegistryValueGuard m_product;
    FoundationRegistryValueGuard m_older;
    FoundationTempDir m_program;
};

CString RegistryText(const wchar_t* key) {
    wchar_t text[MAX_PATH] = {};
    DWORD size = sizeof(text);
    ::RegGetValueW(HKEY_CURRENT_USER, key, L"DataStore", RRF_RT_REG_SZ, nullptr, text, &size);
    return text;
}

}  // namespace

TEST_F(DataStore, LocalSystemAccountUsesTheProgramFolder) {
    ::CreateDirectoryW(Folder(L"registered"), nullptr);
    SetRegistry(m_product, Folder(L"registered"));
    EXPECT_EQ(0, RunChild(L"System"));
    EXPECT_FALSE(::PathFileExistsW(Folder(L"Data")));
    EXPECT_FALSE(::PathFileExistsW(Folder(L"registered\\Data")));
}

TEST_F(DataStore, OlderKeyIsUsedAndCopied) {
    ::CreateDirectoryW(Folder(L"registered"), nullptr);
    SetRegistry(m_older, Folder(L"registered"));
    EXPECT_EQ(0, RunChild(L"Registered"));
    EXPECT_EQ(Folder(L"registered"), RegistryText(kProductKey));
    EXPECT_TRUE(::PathIsDirectoryW(Folder(L"registered\\Data")));
}

TEST_F(DataStore, MissingRegisteredFolderFallsBackToDocuments) {
    CString store = BrelmGetDocumentsFolder() + L"Zi Zivuzizoz\\";
    bool existed = ::PathFileExistsW(store) != FALSE;
    SetRegistry(m_product, Folder(L"gone"));
    EXPECT_EQ(0, RunChild(L"Documents"));
    EXPECT_TRUE(::PathIsDirectoryW(store + L"Data"));
    if (!existed) {
        ::RemoveDirectoryW(store + L"Data");
        ::RemoveDirectoryW(store);
    }
}

TEST_F(DataStore, PortableModeOnlyForExactlyOne) {
    SetPortable("1");
    EXPECT_EQ(0, RunChild(L"Portable"));
    EXPECT_TRUE(::PathIsDirectoryW(Folder(L"Zi Zivuzizoz\\Data")));
    FoundationTempDir::RemoveTree(Folder(L"Zi Zivuzizoz\\").GetString());
    for (const char* value : {"true", "01", " 1x"}) {
        SetPortable(value);
        EXPECT_EQ(0, RunChild(L"NotPortable")) << value;
    }
}

TEST_F(DataStore, BothCandidatesWithoutChooserTakeThePortableFolder) {
    SetPortable("1");
    ::CreateDirectoryW(Folder(L"registered"), nullptr);
    SetRegistry(m_product, Folder(L"registered"));
    EXPECT_EQ(0, RunChild(L"Portable"));
}

TEST_F(DataStore, BothCandidatesAskTheChooserForEachFileName) {
    SetPortable("1");
    ::CreateDirectoryW(Folder(L"registered"), nullptr);
    SetRegistry(m_product, Folder(L"registered"));
    AddChooser({Folder(L"first").GetString(), Folder(L"second\\").GetString()});
    EXPECT_EQ(0, RunChild(L"Chosen"));

    std::wstring call = std::wstring(Folder(L"registered").GetString()) + L"|" + Folder(L"Zi Zivuzizoz\\").GetString();
    EXPECT_EQ(FoundationUtf16Bytes(Utf16Lines({call, call})), FoundationReadBytes(Folder(L"chooser_calls.txt")));
    EXPECT_TRUE(::PathIsDirectoryW(Folder(L"first\\Data")));
    EXPECT_TRUE(::PathIsDirectoryW(Folder(L"second\\Data")));
}

// The child side: each runs in a fresh process from the program folder its parent test prepared.

TEST(DataStoreChild, DISABLED_System) {
    g_pfnBrelmDataStoreUserName = [] { return CString(L"sYsTeM"); };
    EXPECT_EQ(BrelmGetAppPath(), BrelmGetDataStorePath());
    EXPECT_EQ(BrelmGetAppPath() + L"Brelm.xml", BrelmGetSettingsFileName());
}

TEST(DataStoreChild, DISABLED_Registered) {
    EXPECT_EQ(BrelmGetAppPath() + L"registered\\", BrelmGetDataStorePath());
    EXPECT_FALSE(BrelmIsPortable());
}

TEST(DataStoreChild, DISABLED_Documents) {
    EXPECT_EQ(BrelmGetDocumentsFolder() + L"Zi Zivuzizoz\\", BrelmGetDataStorePath());
}

TEST(DataStoreChild, DISABLED_Portable) {
    EXPECT_TRUE(BrelmIsPortable());
    EXPECT_EQ(BrelmGetAppPath() + L"Brelm.ini", BrelmGetAppIniPath());
    EXPECT_EQ(BrelmGetAppPath() + L"Zi Zivuzizoz\\", BrelmGetDataStorePath());
    EXPECT_EQ(BrelmGetAppPath() + L"Zi Zivuzizoz\\Brelm.log", BrelmGetLogFileName());
}

TEST(DataStoreChild, DISABLED_NotPortable) {
    EXPECT_FALSE(BrelmIsPortable());
    EXPECT_EQ(CString(), BrelmGetPortableDataPath());
    EXPECT_FALSE(::PathFileExistsW(BrelmGetAppPath() + L"Zi Zivuzizoz"));
}

TEST(DataStoreChild, DISABLED_Chosen) {
    EXPECT_EQ(BrelmGetAppPath() + L"first\\Brelm.xml", BrelmGetSettingsFileName());
    EXPECT_EQ(BrelmGetAppPath() + L"second\\Brelm.log", BrelmGetLogFileName());
    EXPECT_EQ(BrelmGetAppPath() + L"first\\Brelm.xml", BrelmGetSettingsFileName()) << "kept for the run";
}
