// Damaged and hostile notebook files, each imported by the real program through the driver: no
// crash, no hang, the file unchanged, nothing written outside the working folder and the knowledge
// base, no file from outside the working folder taken in, and a knowledge base that SQLite passes.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

#include "exb_fixture.h"
#include "hostile_run.h"
#include "hostile_suite.h"
#include "sample_notebook.h"

namespace {

using namespace hostile;

// Planted beside the working folder and the notebook: a page that links it must not carry it into
// the knowledge base.
const char kSecret[] = "brelm-hostile-secret-5c2e91";
const char kSecretInKb[] =
    "SELECT (SELECT count(*) FROM document_files WHERE instr(data, CAST('brelm-hostile-secret-5c2e91' AS BLOB)))"
    " + (SELECT count(*) FROM attachments WHERE instr(data, CAST('brelm-hostile-secret-5c2e91' AS BLOB)))";
// The program's working folder inside its temporary folder (the product's inner name), and its
// data-store folder under Documents.
const wchar_t kWorkingFolder[] = L"Brelm\\";
const wchar_t kDataStore[] = L"Zi Zivuzizoz";

bool IsKnowledgeBaseFile(const std::wstring& name) {
    return name == L"kb.db" || name == L"kb.db-journal" || name == L"kb.db-wal" || name == L"kb.db-shm";
}

std::string Lines(const std::vector<std::wstring>& lines) {
    std::string out;
    for (const std::wstring& line : lines) out += "\n      " + ToUtf8(line);
    return out;
}

// Runs one case in its own folder: in\ holds the notebook, kb\ the knowledge base, temp\ is the
// program's temporary folder. Empty when every check passed, else what failed.
std::string RunCase(const HostileCase& hostileCase, const std::wstring& folder) {
    const std::wstring in = folder + L"in\\", kbFolder = folder + L"kb\\", temp = folder + L"temp\\";
    if (!MakeFolders(in) || !MakeFolders(kbFolder) || !MakeFolders(temp)) return "cannot make the case's folders";
    const std::wstring exb = in + L"notebook.exb", kb = kbFolder + L"kb.db";
    std::string error;
    if (!hostileCase.make(exb, &error)) return "cannot make the file: " + error;
    WriteBytes(in + L"secret.txt", kSecret);
    WriteBytes(temp + L"secret.txt", kSecret);
    const std::string digest = exb::Md5(ReadBytes(exb));
    const Snapshot inBefore = TakeSnapshot(in, {});

    ImportRun run = RunImport(exb, kb, temp, hostileCase.timeoutSeconds);
    // Wine under load now and then fails to start a process at all; that says nothing of the file.
    if (run.First("failed").rfind("the program did not start", 0) == 0)
        run = RunImport(exb, kb, temp, hostileCase.timeoutSeconds);
    std::string failures;
    const auto fail = [&failures](const std::string& what) { failures += "\n    " + what; };
    if (!run.started) fail("the driver did not start");
    if (run.timedOut) fail("the driver did not end");
    if (run.driverExit != 0 || run.First("driver") != "done")
        fail("the run did not go through (a hang or a step that could not be taken): " + run.First("failed"));
    if (run.First("exit") != "0") fail("the program ended with code " + run.First("exit") + " (a crash?)");
    const std::string after = run.First("after-ok");
    if (after != "dialog ended" && after != "dialog stayed open") fail("after OK: " + after);

    if (exb::Md5(ReadBytes(exb)) != digest) fail("the notebook's bytes changed");
    const std::vector<std::wstring> inChanges = Differences(inBefore, TakeSnapshot(in, {}));
    if (!inChanges.empty()) fail("the notebook's folder changed:" + Lines(inChanges));
    std::vector<std::wstring> strays;
    for (const auto& entry : TakeSnapshot(kbFolder, {}))
        if (!IsKnowledgeBaseFile(entry.first)) strays.push_back(entry.first);
    for (const auto& entry : TakeSnapshot(temp, {}, 0))
        if (entry.first != L"secret.txt" && entry.first != kWorkingFolder) strays.push_back(L"temp\\" + entry.first);
    if (ReadBytes(temp + L"secret.txt") != kSecret) strays.push_back(L"temp\\secret.txt changed");
    if (!strays.empty()) fail("written outside the working folder and the knowledge base:" + Lines(strays));

    const std::string problems = CheckKnowledgeBase(kb);
    if (!problems.empty()) fail("knowledge base: " + problems);
    if (KnowledgeBaseNumber(kb, kSecretInKb) != 0) fail("a file from outside the working folder was stored");
    if (!failures.empty()) {
        failures += "\n    driver report:";
        for (const char* key : {"message", "failed", "window", "after-ok", "exit", "elapsed-ms"}) {
            std::vector<std::string> values = run.All(key);
            if (values.size() > 6) values.resize(6);
            for (const std::string& value : values)
                failures += "\n      " + std::string(key) + ": " + value.substr(0, 300);
        }
    }
    return failures;
}

// Folders under the user folders of the Wine prefix (or the Windows profile) that the suite leaves
// out: the temp folder, where other tests work at the same time, and the links to the home folder.
std::vector<std::wstring> UserFolderSkips(const std::wstring& profile) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring tempFolder = temp;
    if (!tempFolder.empty() && tempFolder.back() == L'\\') tempFolder.pop_back();
    std::vector<std::wstring> skips = {tempFolder};
    for (const wchar_t* link : {L"Desktop", L"Documents", L"Downloads", L"Music", L"Pictures", L"Videos"})
        skips.push_back(profile + L"\\" + link);
    return skips;
}

TEST(HostileFiles, EveryFileImportsSafely) {
    NoCrashDialog noCrashDialog;
    SuiteFolder suite(L"brelm_hostile");
    const std::wstring sampleFile = suite.Path() + L"sample.exb";
    std::string error;
    ASSERT_TRUE(sample::WriteSampleNotebook(sampleFile, &error)) << error;
    const std::string sample = ReadBytes(sampleFile);
    ASSERT_FALSE(sample.empty());
    ::DeleteFileW(sampleFile.c_str());

    const SuiteSize size = ChosenSize();
    std::vector<HostileCase> cases = ByteCases(size, sample);
    const size_t byteCases = cases.size();
    std::vector<HostileCase> more = SchemaCases(size, sample);
    const size_t schemaCases = more.size();
    cases.insert(cases.end(), more.begin(), more.end());
    more = ContentCases(size, sample);
    cases.insert(cases.end(), more.begin(), more.end());
    ASSERT_GE(cases.size(), 200u);
    std::printf("%zu hostile files: %zu damaged, %zu with changed tables, %zu with hostile values\n", cases.size(),
                byteCases, schemaCases, more.size());
    // BRELM_HOSTILE_ONLY=text runs the cases whose names hold the text, to look at one again.
    const std::string only = ToUtf8(Environment(L"BRELM_HOSTILE_ONLY"));
    if (!only.empty()) {
        cases.erase(std::remove_if(cases.begin(), cases.end(),
                                   [&only](const HostileCase& c) { return c.name.find(only) == std::string::npos; }),
                    cases.end());
    }

    // The sample itself first: it must import whole, and it makes the data store before the
    // user folders are looked at.
    const std::string warmUp = RunCase({"the sample unchanged", [&sample](const std::wstring& path, std::string*) {
                                            return WriteBytes(path, sample);
                                        }},
                                       suite.Path() + L"sample\\");
    ASSERT_EQ("", warmUp);
    RemoveTree(suite.Path() + L"sample\\");

    wchar_t profileBuffer[MAX_PATH] = {};
    ::GetEnvironmentVariableW(L"USERPROFILE", profileBuffer, MAX_PATH);
    const std::wstring profile = profileBuffer;
    const std::wstring users = profile.substr(0, profile.find_last_of(L'\\'));
    const std::vector<std::wstring> skips = UserFolderSkips(profile);
    const Snapshot usersBefore = TakeSnapshot(users, skips);
    // Under Wine, Documents is the home folder: its own entries only, less the data-store folder,
    // where the program keeps its log and other tests work too.
    const std::wstring documents = profile + L"\\Documents\\";
    const std::vector<std::wstring> documentsSkips = {documents + kDataStore};
    const Snapshot documentsBefore = TakeSnapshot(documents, documentsSkips, 0);

    const std::wstring root = suite.Path() + L"c\\";
    std::vector<std::string> results(cases.size());
    std::vector<DWORD> took(cases.size());
    std::atomic<size_t> next(0);
    const DWORD started = ::GetTickCount();
    std::vector<std::thread> workers;
    for (int j = 0; j < ChosenJobs(); ++j) {
        workers.emplace_back([&] {
            for (size_t i = next++; i < cases.size(); i = next++) {
                const std::wstring folder = root + std::to_wstring(i) + L"\\";
                const DWORD caseStart = ::GetTickCount();
                results[i] = RunCase(cases[i], folder);
                took[i] = ::GetTickCount() - caseStart;
                if (results[i].empty() || Environment(L"BRELM_HOSTILE_KEEP").empty()) RemoveTree(folder);
            }
        });
    }
    for (std::thread& worker : workers) worker.join();

    size_t failed = 0;
    for (size_t i = 0; i < cases.size(); ++i) {
        if (results[i].empty()) continue;
        ++failed;
        ADD_FAILURE() << "case " << i << ", " << cases[i].name << ":" << results[i];
    }
    std::printf("%zu hostile files, %zu failed, %lu s with %d imports at a time; the slowest:\n", cases.size(), failed,
                (::GetTickCount() - started) / 1000, ChosenJobs());
    std::vector<size_t> order(cases.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&took](size_t a, size_t b) { return took[a] > took[b]; });
    for (size_t k = 0; k < order.size() && k < 8; ++k)
        std::printf("  %5lu ms  %s\n", took[order[k]], cases[order[k]].name.c_str());

    // A name that climbed out of a case's folder would show here, or in the user folders.
    std::vector<std::wstring> strays;
    for (const auto& entry : TakeSnapshot(suite.Path(), {}))
        if (entry.first != L"c\\" && entry.first.rfind(L"c\\", 0) != 0) strays.push_back(entry.first);
    for (const auto& entry : TakeSnapshot(root, {}, 0))
        if (entry.second != L"folder") strays.push_back(L"c\\" + entry.first);
    EXPECT_TRUE(strays.empty()) << "written beside the cases' folders:" << Lines(strays);
    EXPECT_TRUE(Differences(usersBefore, TakeSnapshot(users, skips)).empty())
        << "the user folders changed:" << Lines(Differences(usersBefore, TakeSnapshot(users, skips)));
    const std::vector<std::wstring> changes = Differences(documentsBefore, TakeSnapshot(documents, documentsSkips, 0));
    EXPECT_TRUE(changes.empty()) << "the Documents folder changed:" << Lines(changes);
}

}  // namespace
