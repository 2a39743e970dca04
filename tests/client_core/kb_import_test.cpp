// The knowledge base under repeated and interrupted imports: it stays consistent.
#include "exb_fixture.h"
#include "kb_test_support.h"

#include <sqlite3.h>

#include <cstdlib>

using namespace core_test;

namespace {

const size_t kFileBytes = 300 * 1024;

std::wstring Env(const wchar_t* name) {
    wchar_t value[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableW(name, value, MAX_PATH);
    return n && n < MAX_PATH ? std::wstring(value, n) : std::wstring();
}

std::string Filler(char seed, size_t size) {
    std::string bytes(size, '\0');
    unsigned state = static_cast<unsigned char>(seed);
    for (char& c : bytes) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 16);
    }
    return bytes;
}

// A page with three local images and an attachment, as the importer leaves them in its folder.
void WriteNoteFiles(const std::wstring& folder) {
    WriteBytes(folder + L"note.htm", "<html><body><img src=\"1.png\"><img src=\"2.png\"><img src=\"3.png\"></body></html>");
    for (char i = '1'; i <= '3'; ++i) WriteBytes(folder + static_cast<wchar_t>(i) + L".png", Filler(i, kFileBytes));
    WriteBytes(folder + L"report.pdf", Filler('p', kFileBytes));
}

// The knowledge-base calls of one note, in the importer's order.
void ImportNote(IBrelmDatabase* db, const std::wstring& folder, int n) {
    Ref<IDispatch> object;
    Ref<IBrelmFolder> target;
    if (FAILED(db->GetFolderByLocation(Bstr(L"/Evernote/Projects/Inbox/"), VARIANT_TRUE, object.put())) ||
        FAILED(object.As(&target)))
        return;
    Ref<IBrelmDocument> doc;
    if (FAILED(target->CreateDocument(Bstr(L"Note " + std::to_wstring(n)), Bstr(L"http://example.com/"),
                                      object.put())) ||
        FAILED(object.As(&doc)))
        return;
    const Bstr page(folder + L"note.htm");
    if (FAILED(doc->UpdateDocument(page, page, 0x22))) return;
    doc->put_DateCreated(45000.5);
    doc->put_DateModified(45001.5);
    doc->SetParamValue(Bstr(L"MAP_LOCATION"), Bstr(L"121.5,31.2"));
    doc->SetTagsText(Bstr(L"a;b-c"), Bstr(L"Evernote"));
    doc->put_DataDateModified(45001.5);
    Ref<IBrelmDocumentAttachment> attachment;
    if (SUCCEEDED(doc->AddAttachment(Bstr(folder + L"report.pdf"), object.put())) && SUCCEEDED(object.As(&attachment)))
        attachment->put_URL(Bstr(L"http://example.com/report.pdf"));
}

std::vector<std::string> Column(sqlite3* db, const char* sql) {
    std::vector<std::string> rows;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) return {std::string("error: ") + sqlite3_errmsg(db)};
    while (sqlite3_step(st) == SQLITE_ROW) {
        const char* text = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        rows.push_back(text ? text : "NULL");
    }
    sqlite3_finalize(st);
    return rows;
}

// Structure sound, references whole, and each document either without content or with all of it.
void ExpectConsistent(const std::wstring& kb, size_t minDocuments) {
    sqlite3* raw = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open_v2(Utf8(kb).c_str(), &raw, SQLITE_OPEN_READONLY, nullptr));
    EXPECT_EQ(std::vector<std::string>{"ok"}, Column(raw, "PRAGMA integrity_check"));
    EXPECT_TRUE(Column(raw, "PRAGMA foreign_key_check").empty());
    const std::string size = std::to_string(kFileBytes);
    EXPECT_TRUE(Column(raw, ("SELECT d.id FROM documents d WHERE (d.html IS NULL AND"
                             " (SELECT count(*) FROM document_files f WHERE f.document_id=d.id) != 0) OR"
                             " (d.html IS NOT NULL AND (SELECT count(*) FROM document_files f WHERE"
                             " f.document_id=d.id AND length(f.data)=" + size + ") != 3)").c_str())
                    .empty());
    EXPECT_TRUE(Column(raw, ("SELECT id FROM attachments WHERE length(data) != " + size).c_str()).empty());
    EXPECT_EQ(std::vector<std::string>{"3"}, Column(raw, "SELECT count(*) FROM folders"));
    EXPECT_EQ(std::vector<std::string>{"3"}, Column(raw, "SELECT count(*) FROM tags"));
    EXPECT_GE(std::stoul(Column(raw, "SELECT count(*) FROM documents").at(0)), minDocuments);
    sqlite3_close(raw);
}

TEST(KnowledgeBaseImport, SecondImportOfTheSameNotesAddsSecondDocumentsCleanly) {
    TempDir dir;
    WriteNoteFiles(dir.path());
    for (int run = 0; run < 2; ++run) {
        Ref<IBrelmDatabase> db;
        ASSERT_EQ(S_OK, NewDatabase(&db));
        ASSERT_EQ(S_OK, db->Open(Bstr(dir / L"kb.db")));
        ImportNote(db.get(), dir.path(), 1);
    }
    ExpectConsistent(dir / L"kb.db", 2);
    std::string text, error;
    ASSERT_TRUE(kbdump::DumpKnowledgeBase(dir / L"kb.db", &text, &error)) << error;
    const std::string note =
        "  /Evernote/Projects/Inbox/ \"Note 1\"\n"
        "    URL: http://example.com/\n"
        "    Created: 2023-03-15 12:00:00\n"
        "    Modified: 2023-03-16 12:00:00\n"
        "    Data modified: 2023-03-16 12:00:00\n"
        "    Param MAP_LOCATION: 121.5,31.2\n"
        "    Tags: Evernote/a; Evernote/b-c\n";
    const size_t first = text.find(note);
    ASSERT_NE(std::string::npos, first) << text;
    EXPECT_NE(std::string::npos, text.find(note, first + 1)) << text;
}

// Run only as the child of the test below, which kills it in the middle of its work.
TEST(KnowledgeBaseCrashChild, DISABLED_ImportsUntilKilled) {
    const std::wstring kb = Env(L"BRELM_CORE_CRASH_KB"), folder = Env(L"BRELM_CORE_CRASH_FOLDER");
    ASSERT_FALSE(kb.empty() || folder.empty());
    Ref<IBrelmDatabase> db;
    ASSERT_EQ(S_OK, NewDatabase(&db));
    ASSERT_EQ(S_OK, db->Open(Bstr(kb)));
    const ULONGLONG stop = GetTickCount64() + 120000;
    for (int n = 0; GetTickCount64() < stop; ++n) {
        ImportNote(db.get(), folder, n);
        if (n == 0) WriteBytes(folder + L"started", "");
    }
}

TEST(KnowledgeBaseImport, KilledImportsLeaveAConsistentStore) {
    TempDir dir;
    WriteNoteFiles(dir.path());
    const std::wstring kb = dir / L"kb.db";
    SetEnvironmentVariableW(L"BRELM_CORE_CRASH_KB", kb.c_str());
    SetEnvironmentVariableW(L"BRELM_CORE_CRASH_FOLDER", dir.path().c_str());
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    for (const DWORD delay : {50u, 400u, 1200u}) {
        DeleteFileW((dir / L"started").c_str());
        std::wstring command = L"\"" + std::wstring(exe) +
                               L"\" --gtest_filter=KnowledgeBaseCrashChild.* --gtest_also_run_disabled_tests";
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION child = {};
        ASSERT_TRUE(CreateProcessW(exe, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child));
        const ULONGLONG giveUp = GetTickCount64() + 60000;
        while (!FileExists(dir / L"started") && GetTickCount64() < giveUp &&
               WaitForSingleObject(child.hProcess, 20) == WAIT_TIMEOUT) {
        }
        const bool started = FileExists(dir / L"started");
        Sleep(delay);
        TerminateProcess(child.hProcess, 9);
        WaitForSingleObject(child.hProcess, INFINITE);
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);
        ASSERT_TRUE(started) << "the child did not get going";
    }
    SetEnvironmentVariableW(L"BRELM_CORE_CRASH_KB", nullptr);
    SetEnvironmentVariableW(L"BRELM_CORE_CRASH_FOLDER", nullptr);

    // Opening rolls back what a killed writer left half done.
    {
        Ref<IBrelmDatabase> db;
        ASSERT_EQ(S_OK, NewDatabase(&db));
        Bstr error;
        ASSERT_EQ(S_OK, db->OpenEx(Bstr(kb), L"test", 0, error.put())) << Utf8(error.str());
    }
    ExpectConsistent(kb, 3);
}

}  // namespace
