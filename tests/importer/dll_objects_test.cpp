// CreateDllObject and CreateDllObjectByClsid: results, references, the current folder and the log lines.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "data_store.h"
#include "dll_objects.h"
#include "foundation_registry_guard.h"
#include "foundation_temp_dir.h"
#include "importer_core_dll.h"
#include "importer_test_factory.h"
#include "message_texts.h"

namespace {

// The log goes to a data-store folder of the tests' own, chosen before the first line is written.
class LogFolderEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        m_folder.reset(new FoundationTempDir);
        m_dataStore.reset(new FoundationRegistryValueGuard(L"Software\\Brelm", L"DataStore"));
        const std::wstring& path = m_folder->Path();
        ASSERT_TRUE(m_dataStore->Set(REG_SZ, path.c_str(), static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t))));
        s_logFile = static_cast<const wchar_t*>(BrelmGetLogFileName());
        ASSERT_EQ(s_logFile.compare(0, path.size(), path), 0) << "the log is not in the test's folder";
    }
    void TearDown() override {
        m_dataStore.reset();
        m_folder.reset();
    }

    static std::wstring s_logFile;

private:
    std::unique_ptr<FoundationTempDir> m_folder;
    std::unique_ptr<FoundationRegistryValueGuard> m_dataStore;
};

std::wstring LogFolderEnvironment::s_logFile;
::testing::Environment* const g_logEnvironment = ::testing::AddGlobalTestEnvironment(new LogFolderEnvironment);

std::vector<std::wstring> LogLines() {
    std::vector<std::wstring> lines;
    HANDLE file = ::CreateFileW(LogFolderEnvironment::s_logFile.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return lines;
    std::wstring text(::GetFileSize(file, nullptr) / sizeof(wchar_t), L'\0');
    DWORD read = 0;
    ::ReadFile(file, &text[0], static_cast<DWORD>(text.size() * sizeof(wchar_t)), &read, nullptr);
    ::CloseHandle(file);
    size_t start = (!text.empty() && text[0] == 0xFEFF) ? 1 : 0;
    for (size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

// The texts of the log lines written since `before` lines, without their program, time and ids.
std::vector<std::wstring> NewLogTexts(size_t before) {
    std::vector<std::wstring> texts;
    std::vector<std::wstring> lines = LogLines();
    for (size_t i = before; i < lines.size(); ++i) {
        const size_t mark = lines[i].find(L"): ");
        texts.push_back(mark == std::wstring::npos ? lines[i] : lines[i].substr(mark + 3));
    }
    return texts;
}

// A log entry stays on one line: line breaks in its text are written as blanks.
std::wstring OneLine(std::wstring text) {
    for (wchar_t& c : text) {
        if (c == L'\r' || c == L'\n') c = L' ';
    }
    return text;
}

std::wstring GuidText(REFGUID id) {
    wchar_t text[64] = {};
    ::StringFromGUID2(id, text, 64);
    return text;
}

std::wstring TestLibFolder() { return ImporterCoreDll::ExeFolder() + L"importer_test_libs\\"; }
std::wstring FactoryLib() { return TestLibFolder() + L"importer_test_factory.dll"; }
std::wstring NoFactoryLib() { return TestLibFolder() + L"importer_test_nofactory.dll"; }

LONG LiveTestObjects() {
    HMODULE module = ::GetModuleHandleW(FactoryLib().c_str());
    auto count = module ? reinterpret_cast<LONG(WINAPI*)()>(
                              reinterpret_cast<void*>(::GetProcAddress(module, "ImporterTestLiveObjects")))
                        : nullptr;
    return count ? count() : -1;
}

std::wstring CurrentFolder() {
    wchar_t folder[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, folder);
    return folder;
}

class DllObjectsTest : public ::testing::Test {
protected:
    void SetUp() override { m_folder = CurrentFolder(); }
    void TearDown() override { ::SetCurrentDirectoryW(m_folder.c_str()); }

    std::wstring m_folder;
};

}  // namespace

TEST_F(DllObjectsTest, EveryFailureLogsItsStepThenTheClassAndLibrary) {
    FoundationTempDir missing;
    const std::wstring missingLib = missing.Path() + L"no_such_library.dll";
    const std::wstring iid = GuidText(IID_IBrelmDatabase);
    struct Case {
        const char* name;
        std::wstring library;
        CLSID clsid;
        HRESULT result;
        std::wstring firstLine;
    } cases[] = {
        {"library missing", missingLib, CLSID_BrelmDatabase, E_FAIL,
         OneLine(L"Failed to load dll: " + missingLib + L" (" +
                 static_cast<const wchar_t*>(BrelmGetSystemErrorText(ERROR_MOD_NOT_FOUND)) + L")")},
        {"no DllGetClassObject", NoFactoryLib(), CLSID_BrelmDatabase, E_FAIL,
         L"Couldnot find DllGetClassObject address: " + NoFactoryLib()},
        {"no class factory", FactoryLib(), CLSID_ImporterTestNoFactory, CLASS_E_CLASSNOTAVAILABLE,
         L"Failed to create IClassFactory: " + FactoryLib()},
        {"class factory refused but delivered", FactoryLib(), CLSID_ImporterTestFactoryFails, E_UNEXPECTED,
         L"Failed to create IClassFactory: " + FactoryLib()},
        {"object refused but delivered", FactoryLib(), CLSID_ImporterTestCreateFails, E_ACCESSDENIED,
         L"Failed to create object: IID=" + iid + L", DllFileName=" + FactoryLib()},
        {"success without an object", FactoryLib(), CLSID_ImporterTestCreatesNothing, E_NOINTERFACE,
         L"Failed to create object: IID=" + iid + L", DllFileName=" + FactoryLib()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LONG liveBefore = LiveTestObjects();

        size_t before = LogLines().size();
        IBrelmDatabase* object = reinterpret_cast<IBrelmDatabase*>(1);
        const HRESULT hr = CreateDllObject(c.library.c_str(), c.clsid, &object);
        EXPECT_EQ(hr, c.result);
        if (object) object->Release();
        EXPECT_EQ(NewLogTexts(before), std::vector<std::wstring>{c.firstLine});

        before = LogLines().size();
        EXPECT_EQ(CreateDllObjectByClsid(c.library.c_str(), c.clsid), nullptr);
        const std::wstring lastLine = L"Failed to create object: " + GuidText(c.clsid) + L", " + c.library;
        EXPECT_EQ(NewLogTexts(before), (std::vector<std::wstring>{c.firstLine, lastLine}));

        // Whatever the library handed out on the way is released again.
        if (liveBefore >= 0) {
            EXPECT_EQ(LiveTestObjects(), liveBefore);
        }
    }
}

TEST_F(DllObjectsTest, ALoadedLibraryStaysLoadedAndBecomesTheCurrentFolder) {
    ::SetCurrentDirectoryW(ImporterCoreDll::ExeFolder().c_str());
    EXPECT_EQ(CreateDllObjectByClsid(NoFactoryLib().c_str(), CLSID_BrelmDatabase), nullptr);
    EXPECT_NE(::GetModuleHandleW(NoFactoryLib().c_str()), nullptr);
    std::wstring expected = TestLibFolder();
    expected.pop_back();
    EXPECT_EQ(CompareStringOrdinal(CurrentFolder().c_str(), -1, expected.c_str(), -1, TRUE), CSTR_EQUAL);
}

TEST_F(DllObjectsTest, AnySuccessHandsOverTheObject) {
    const LONG liveBefore = LiveTestObjects() < 0 ? 0 : LiveTestObjects();
    for (CLSID clsid : {CLSID_BrelmDatabase, CLSID_ImporterTestCreateSFalse}) {
        const size_t before = LogLines().size();
        IBrelmDatabase* object = CreateDllObjectByClsid(FactoryLib().c_str(), clsid);
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(LiveTestObjects(), liveBefore + 1);  // the object; the factory is gone
        object->Release();
        EXPECT_EQ(LiveTestObjects(), liveBefore);
        EXPECT_TRUE(NewLogTexts(before).empty());
    }
}

TEST_F(DllObjectsTest, ABareNameLeavesTheCurrentFolderAndUsesTheLibrarySearch) {
    ASSERT_NE(::LoadLibraryW(FactoryLib().c_str()), nullptr);  // so the search finds it by name
    FoundationTempDir elsewhere;
    ::SetCurrentDirectoryW(elsewhere.Path().c_str());
    const std::wstring before = CurrentFolder();
    IBrelmDatabase* object = nullptr;
    EXPECT_EQ(CreateDllObject(L"importer_test_factory.dll", CLSID_BrelmDatabase, &object), S_OK);
    ASSERT_NE(object, nullptr);
    object->Release();
    EXPECT_EQ(CurrentFolder(), before);
    ::SetCurrentDirectoryW(m_folder.c_str());
}

TEST_F(DllObjectsTest, TheCoreLibraryMakesTheDatabaseObject) {
    const std::wstring core = ImporterCoreDll::ExeFolder() + L"BrelmKMCore.dll";
    if (::GetFileAttributesW(core.c_str()) == INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << "no BrelmKMCore.dll built";
    CComPtr<IBrelmDatabase> database;
    database.Attach(CreateDllObjectByClsid(core.c_str(), CLSID_BrelmDatabase));
    ASSERT_NE(database, nullptr);
    CComPtr<IBrelmDatabase> again;
    EXPECT_EQ(database.QueryInterface(&again), S_OK);
}
