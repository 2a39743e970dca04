// The whole program as a user runs it: the driver works BrelmEverNote.exe, kbdump shows the result.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <algorithm>

#include "e2e_run.h"
#include "e2e_text.h"
#include "exb_fixture.h"
#include "kb_dump.h"
#include "sample_notebook.h"

namespace {

using namespace e2e;

const DWORD kDriverLimitMs = 90000;
const wchar_t kDriverTimeout[] = L"--timeout=60";

std::wstring WithoutTrailingSeparator(std::wstring folder) {
    if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    return folder;
}

// The local date that an .exb date in universal time becomes, as kbdump prints it.
std::string LocalDate(int year, int month, int day, int hour, int minute) {
    SYSTEMTIME time = {};
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(day);
    time.wHour = static_cast<WORD>(hour);
    time.wMinute = static_cast<WORD>(minute);
    double date = 0;
    ::SystemTimeToVariantTime(&time, &date);
    TIME_ZONE_INFORMATION zone = {};
    ::GetTimeZoneInformation(&zone);
    return kbdump::FormatOleDate(date - zone.Bias / 1440.0);
}

std::string FileLine(const char* kind, const std::string& name, const std::string& bytes) {
    return std::string(kind) + ": " + name + ", " + std::to_string(bytes.size()) + " bytes, MD5 " + exb::Md5Hex(bytes);
}

std::string Body(const std::string& text) { return "<html><body><p>" + text + "</p></body></html>"; }

::testing::AssertionResult HasLine(const std::vector<std::string>& lines, const std::string& line) {
    if (std::find(lines.begin(), lines.end(), line) != lines.end()) return ::testing::AssertionSuccess();
    std::string all;
    for (const std::string& l : lines) all += "\n    " + l;
    return ::testing::AssertionFailure() << "no line \"" << line << "\" among:" << all;
}

class E2eTest : public ::testing::Test {
protected:
    E2eTest() : m_dir(L"case") {}

    std::wstring Dir() const { return m_dir.Path(); }
    std::wstring Kb() const { return Dir() + L"kb.db"; }
    static std::wstring Program() { return BinFolder() + L"BrelmEverNote.exe"; }

    // The usual command line: the bin folder holds the client libraries; a fresh knowledge base.
    std::vector<std::wstring> ProgramArgs() const {
        return {L"/AppPath=" + BinFolder(), L"/DatabasePath=" + Kb()};
    }

    // Runs the driver with its options on the program with its arguments.
    DriverReport Drive(const std::vector<std::wstring>& options, const std::vector<std::wstring>& programArgs) {
        std::wstring command = QuoteArgument(BinFolder() + L"e2e_driver.exe") + L" " + kDriverTimeout;
        for (const std::wstring& option : options) command += L" " + QuoteArgument(option);
        command += L" -- " + QuoteArgument(Program());
        for (const std::wstring& arg : programArgs) command += L" " + QuoteArgument(arg);
        const ProcessResult run = RunProcess(command, kDriverLimitMs);
        DriverReport report(run.output);
        EXPECT_TRUE(run.started);
        EXPECT_FALSE(run.timedOut) << run.output;
        EXPECT_EQ(0u, run.exitCode) << run.output;
        EXPECT_EQ(L"done", report.First("driver")) << run.output;
        return report;
    }

    // Imports the file through Browse and OK into the fresh knowledge base.
    DriverReport Import(const std::wstring& exb, bool check = false) {
        std::vector<std::wstring> options = {L"--file=" + exb};
        if (check) options.push_back(L"--check");
        return Drive(options, ProgramArgs());
    }

    KbDump Dump(const std::wstring& kb) {
        const ProcessResult run = RunProcess(QuoteArgument(BinFolder() + L"kbdump.exe") + L" " + QuoteArgument(kb), 30000);
        EXPECT_EQ(0u, run.exitCode) << run.output;
        return ParseKbDump(run.output);
    }

    // A copy of the bytes, to prove at the end that the import left the file alone.
    void Remember(const std::wstring& exb) {
        m_exb = exb;
        m_exbBytes = ReadBytes(exb);
        ASSERT_FALSE(m_exbBytes.empty());
    }
    void TearDown() override {
        ::SetEnvironmentVariableW(L"BRELM_CORE_FAIL", nullptr);
        if (!m_exb.empty()) {
            EXPECT_TRUE(ReadBytes(m_exb) == m_exbBytes) << "the .exb file changed";
        }
    }

    // A small notebook file: notes with plain bodies, all in the notebook Letters of the stack Home.
    std::wstring SmallNotebook(const wchar_t* name, int notes) {
        const std::wstring path = Dir() + name;
        exb::ExbFixture file(path);
        const long long notebook = file.AddNotebook(L"Letters", L"Home");
        for (int i = 1; i <= notes; ++i) {
            exb::Note note;
            note.title = L"Letter " + std::to_wstring(i);
            note.notebook = L"Letters";
            note.notebookUid = notebook;
            note.dateCreated = sample::ExbDate(2022, 11, i, 10, 0);
            note.body = Body("Dear Ann, letter number " + std::to_string(i) + ".");
            file.AddNote(note);
        }
        file.Close();
        EXPECT_TRUE(file.ok()) << file.error();
        return path;
    }

    // Program arguments for a client folder whose core library is the test build, failing the
    // calls that faults names (see client_core/kb_faults.h).
    std::vector<std::wstring> FaultyClientArgs(const wchar_t* faults) {
        const std::wstring client = Dir() + L"faulty client\\";
        EXPECT_TRUE(::CreateDirectoryW(client.c_str(), nullptr));
        EXPECT_TRUE(::CopyFileW((BinFolder() + L"BrelmTools.dll").c_str(), (client + L"BrelmTools.dll").c_str(), FALSE));
        EXPECT_TRUE(::CopyFileW((BinFolder() + L"faulty_core\\BrelmKMCore.dll").c_str(),
                                (client + L"BrelmKMCore.dll").c_str(), FALSE));
        ::SetEnvironmentVariableW(L"BRELM_CORE_FAIL", faults);
        return {L"/AppPath=" + client, L"/DatabasePath=" + Kb()};
    }

    static void ExpectEndedWith(const DriverReport& report, const std::vector<std::wstring>& messages) {
        EXPECT_EQ(messages, report.All("message")) << report.raw;
        EXPECT_EQ(L"dialog ended", report.First("after-ok")) << report.raw;
        EXPECT_EQ(L"0", report.First("exit")) << report.raw;
    }

    // A run that stopped before the first note: its one message, the dialog open and usable again.
    static void ExpectStayedOpenWith(const DriverReport& report, const std::wstring& message) {
        EXPECT_EQ(std::vector<std::wstring>{message}, report.All("message")) << report.raw;
        EXPECT_EQ(L"dialog stayed open", report.First("after-ok")) << report.raw;
        EXPECT_EQ(L"browse=enabled ok=enabled cancel=enabled check=enabled", report.First("after-controls"));
        EXPECT_EQ(report.First("file"), report.First("after-file"));
        EXPECT_EQ(L"0", report.First("exit")) << report.raw;
    }

    TempFolder m_dir;
    std::wstring m_exb;
    std::string m_exbBytes;
};

// Every document of the sample, with its folder under the prefix.
void ExpectSampleDocuments(const KbDump& kb, const std::string& prefix) {
    ASSERT_EQ(5u, kb.documents.size()) << kb.raw;
    const auto doc = [&](const std::string& title) -> const std::vector<std::string>& {
        static const std::vector<std::string> none;
        const auto found = kb.documents.find(title);
        return found == kb.documents.end() ? none : found->second;
    };
    const auto expectPage = [&](const std::string& title) {
        const auto& lines = doc(title);
        const bool page = std::any_of(lines.begin(), lines.end(), [](const std::string& l) {
            return l.rfind("Page: ", 0) == 0 && l != "Page: -";
        });
        EXPECT_TRUE(page) << title << " has no page:\n" << kb.raw;
    };

    const auto& bread = doc("Sourdough bread");
    ASSERT_FALSE(bread.empty()) << kb.raw;
    EXPECT_EQ(prefix + "/Home/Recipes/", bread[0]);
    EXPECT_TRUE(HasLine(bread, "URL: https://example.com/recipes/sourdough"));
    EXPECT_TRUE(HasLine(bread, "Created: " + LocalDate(2023, 3, 4, 9, 15)));
    EXPECT_TRUE(HasLine(bread, "Modified: " + LocalDate(2023, 3, 5, 18, 40)));
    EXPECT_TRUE(HasLine(bread, "Data modified: " + LocalDate(2023, 3, 5, 18, 40)));
    EXPECT_TRUE(HasLine(bread, "Tags: Food/Baking; Food/Baking/Bread"));
    EXPECT_TRUE(HasLine(bread, FileLine("File", "bread.png", sample::BreadPicture())));
    expectPage("Sourdough bread");

    // Its en-media hash is written in capitals and still finds the picture.
    const auto& dessert = doc("Cr\xC3\xA8me br\xC3\xBBl\xC3\xA9\x65");
    ASSERT_FALSE(dessert.empty()) << kb.raw;
    EXPECT_EQ(prefix + "/Home/Recipes/", dessert[0]);
    EXPECT_TRUE(HasLine(dessert, "URL: "));
    EXPECT_TRUE(HasLine(dessert, "Tags: Food"));
    EXPECT_TRUE(HasLine(dessert, FileLine("File", "creme-brulee.png", sample::DessertPicture())));

    const auto& rome = doc("Rome, day one");
    ASSERT_FALSE(rome.empty()) << kb.raw;
    EXPECT_EQ(prefix + "/Home/Travel/", rome[0]);
    EXPECT_TRUE(HasLine(rome, "Param MAP_LOCATION: 12.4922,41.8902"));
    EXPECT_TRUE(HasLine(rome, "Tags: Places/Europe; Places/Europe/Italy"));
    EXPECT_TRUE(HasLine(rome, FileLine("File", "colosseum.png", sample::ColosseumPicture())));
    EXPECT_TRUE(HasLine(rome, FileLine("Attachment", "itinerary.pdf", sample::ItineraryPdf()) +
                                  ", URL https://example.com/files/rome-itinerary.pdf"));
    expectPage("Rome, day one");

    // The notebook's slash and the picture's invalid file-name characters are cleaned.
    const auto& reading = doc("Reading list");
    ASSERT_FALSE(reading.empty()) << kb.raw;
    EXPECT_EQ(prefix + "/Work/Reading-Articles: 2024/", reading[0]);
    EXPECT_TRUE(HasLine(reading, "Tags: Work/Todo"));
    EXPECT_TRUE(HasLine(reading, FileLine("File", "Q1-Q2 chart- sales-.png", sample::ChartPicture())));

    // Never updated: both modification dates are the creation date. No tags, no stack.
    const auto& groceries = doc("Groceries");
    ASSERT_FALSE(groceries.empty()) << kb.raw;
    EXPECT_EQ(prefix + "/Inbox/Inbox/", groceries[0]);
    EXPECT_TRUE(HasLine(groceries, "Created: " + LocalDate(2024, 5, 2, 16, 20)));
    EXPECT_TRUE(HasLine(groceries, "Modified: " + LocalDate(2024, 5, 2, 16, 20)));
    EXPECT_TRUE(HasLine(groceries, "Tags: -"));
    EXPECT_TRUE(HasLine(groceries, FileLine("Attachment", "shopping list.txt", sample::ShoppingListText()) +
                                       ", URL https://example.com/lists/weekend"));
}

const std::vector<std::string> kSampleTags = {"Food", "  Baking", "    Bread", "Places", "  Europe",
                                              "    Italy", "Work", "  Todo"};

TEST_F(E2eTest, SampleNotebookImportsWhole) {
    const std::wstring exb = Dir() + L"sample.exb";
    std::string error;
    ASSERT_TRUE(sample::WriteSampleNotebook(exb, &error)) << error;
    Remember(exb);
    const std::wstring shot = Dir() + L"import.bmp";

    const DriverReport report = Drive({L"--file=" + exb, L"--screenshot=" + shot}, ProgramArgs());
    EXPECT_EQ(0, _wcsicmp(exb.c_str(), report.First("file").c_str())) << report.raw;
    ExpectEndedWith(report, {L"Import completed"});
    for (const std::wstring& status : report.All("status")) {
        static const std::vector<std::wstring> titles = {L"Sourdough bread", L"Cr\u00E8me br\u00FBl\u00E9e",
                                                         L"Rome, day one", L"Reading list", L"Groceries"};
        EXPECT_NE(titles.end(), std::find(titles.begin(), titles.end(), status)) << "status line " << ToUtf8(status);
    }
    EXPECT_EQ(shot, report.First("screenshot")) << report.raw;
    EXPECT_EQ("BM", ReadBytes(shot).substr(0, 2));

    const KbDump kb = Dump(Kb());
    EXPECT_EQ((std::vector<std::string>{"/Home/", "/Home/Recipes/", "/Home/Travel/", "/Inbox/", "/Inbox/Inbox/",
                                        "/Work/", "/Work/Reading-Articles: 2024/"}),
              kb.folders);
    ExpectSampleDocuments(kb, "");
    EXPECT_EQ(kSampleTags, kb.tags);
}

TEST_F(E2eTest, SampleNotebookImportsUnderEvernoteFolder) {
    const std::wstring exb = Dir() + L"sample.exb";
    std::string error;
    ASSERT_TRUE(sample::WriteSampleNotebook(exb, &error)) << error;
    Remember(exb);

    const DriverReport report = Import(exb, true);
    EXPECT_EQ(L"ticked", report.First("check"));
    ExpectEndedWith(report, {L"Import completed"});

    const KbDump kb = Dump(Kb());
    EXPECT_EQ((std::vector<std::string>{"/Evernote/", "/Evernote/Home/", "/Evernote/Home/Recipes/",
                                        "/Evernote/Home/Travel/", "/Evernote/Inbox/", "/Evernote/Inbox/Inbox/",
                                        "/Evernote/Work/", "/Evernote/Work/Reading-Articles: 2024/"}),
              kb.folders);
    ExpectSampleDocuments(kb, "/Evernote");
    EXPECT_EQ(kSampleTags, kb.tags);
}

// The file goes away between Browse and OK.
TEST_F(E2eTest, MissingFileIsReportedAndTheDialogStays) {
    const std::wstring exb = SmallNotebook(L"gone.exb", 1);
    const DriverReport report = Drive({L"--file=" + exb, L"--remove-before-ok"}, ProgramArgs());
    ExpectStayedOpenWith(report, L"File does not exists:\n\n" + report.First("file"));
    EXPECT_EQ(0, _wcsicmp(exb.c_str(), report.First("file").c_str())) << report.raw;
    const KbDump kb = Dump(Kb());
    EXPECT_TRUE(kb.folders.empty() && kb.documents.empty() && kb.tags.empty()) << kb.raw;
}

TEST_F(E2eTest, FileThatIsNoDatabaseIsRefused) {
    const std::wstring exb = Dir() + L"notes.exb";
    std::string text;
    for (int i = 0; i < 40; ++i) text += "This is a text file, not an Evernote notebook.\r\n";
    ASSERT_TRUE(WriteBytes(exb, text));
    Remember(exb);

    const DriverReport report = Import(exb);
    ExpectStayedOpenWith(report, L"Can't open database:\n\n" + report.First("file"));
    const KbDump kb = Dump(Kb());
    EXPECT_TRUE(kb.folders.empty() && kb.documents.empty() && kb.tags.empty()) << kb.raw;
}

// The tags are built before the notes are counted, and stay.
TEST_F(E2eTest, FileWithoutNoteTableStopsAfterTheTags) {
    const std::wstring exb = Dir() + L"no notes.exb";
    {
        exb::ExbFixture file(exb, {exb::Table::NoteAttr});
        const long long projects = file.AddTag(L"Projects");
        file.AddTag(L"Alpha", projects);
        file.Close();
        ASSERT_TRUE(file.ok()) << file.error();
    }
    Remember(exb);

    const DriverReport report = Import(exb);
    ExpectStayedOpenWith(report, L"Can't query database:\n\nselect count(*) from note_attr");
    const KbDump kb = Dump(Kb());
    EXPECT_EQ((std::vector<std::string>{"Projects", "  Alpha"}), kb.tags);
    EXPECT_TRUE(kb.documents.empty()) << kb.raw;
}

// A second try with the notebook's own name; a note whose two locations both fail is skipped.
TEST_F(E2eTest, NoteWhoseFolderFailsTwiceIsSkipped) {
    const std::wstring exb = Dir() + L"folders.exb";
    {
        exb::ExbFixture file(exb);
        const long long archive = file.AddNotebook(L"Old", L"Archive");
        const long long nameless = file.AddNotebook(L"");
        const long long team = file.AddNotebook(L"Notes", L"Team/");
        const long long letters = file.AddNotebook(L"Letters", L"Home");
        const auto add = [&](const wchar_t* title, const wchar_t* notebook, long long uid) {
            exb::Note note;
            note.title = title;
            note.notebook = notebook;
            note.notebookUid = uid;
            note.dateCreated = sample::ExbDate(2021, 7, 1, 12, 0);
            note.body = Body("Some text for the note.");
            file.AddNote(note);
        };
        add(L"Lost in the archive", L"", archive);  // "/Archive//", then "/Old//"
        add(L"Nowhere", L"", nameless);             // "//" twice
        add(L"Team minutes", L"Notes", team);       // "/Team//Notes/", then "/Notes/Notes/"
        add(L"Letter to Ann", L"Letters", letters);
        file.Close();
        ASSERT_TRUE(file.ok()) << file.error();
    }
    Remember(exb);

    const DriverReport report = Import(exb);
    ExpectEndedWith(report, {L"Failed to create folder:\n\n/Old//", L"Failed to create folder:\n\n//",
                             L"Import completed"});
    const KbDump kb = Dump(Kb());
    ASSERT_EQ(2u, kb.documents.size()) << kb.raw;
    EXPECT_EQ("/Notes/Notes/", kb.documents.at("Team minutes").at(0));
    EXPECT_EQ("/Home/Letters/", kb.documents.at("Letter to Ann").at(0));
}

// Notes that fail on the way each show their message with the dialog standing on that note; the
// bar counts the rows read, but only when a note is stored; the others are imported.
TEST_F(E2eTest, FailingNotesShowTheirMessagesAndTheOthersImport) {
    const std::wstring exb = Dir() + L"faults.exb";
    {
        exb::ExbFixture file(exb);
        const long long letters = file.AddNotebook(L"Letters", L"Home");
        const long long travel = file.AddNotebook(L"Travel", L"Away");
        const long long diary = file.AddNotebook(L"Diary", L"Home");
        const auto add = [&](const wchar_t* title, const wchar_t* notebook, long long uid, bool body) {
            exb::Note note;
            note.title = title;
            note.notebook = notebook;
            note.notebookUid = uid;
            note.dateCreated = sample::ExbDate(2021, 7, 1, 12, 0);
            if (body) note.body = Body("Some text for the note.");
            file.AddNote(note);
        };
        add(L"Blank one", L"Letters", letters, false);
        add(L"Blank two", L"Letters", letters, false);
        add(L"Third", L"Letters", letters, true);
        add(L"Fourth", L"Letters", letters, true);  // no document
        add(L"Blank three", L"Letters", letters, false);
        add(L"Fifth", L"Letters", letters, true);   // content not stored
        add(L"Sixth", L"Travel", travel, true);     // both folder attempts fail
        add(L"Seventh", L"Diary", diary, true);     // the first folder attempt fails
        file.Close();
        ASSERT_TRUE(file.ok()) << file.error();
    }
    Remember(exb);

    const DriverReport report =
        Drive({L"--file=" + exb}, FaultyClientArgs(L"CreateDocument=Fourth|UpdateDocument=Fifth|"
                                                   L"GetFolderByLocation=/Away/Travel/|"
                                                   L"GetFolderByLocation=/Travel/Travel/|"
                                                   L"GetFolderByLocation=/Home/Diary/"));
    ExpectEndedWith(report, {L"Failed to create document:\n\nFourth", L"Failed to save document:\n\nFifth",
                             L"Failed to create folder:\n\n/Travel/Travel/", L"Import completed"});
    EXPECT_EQ((std::vector<std::wstring>{L"status=Fourth progress=3/8 dialog=visible",
                                         L"status=Fifth progress=3/8 dialog=visible",
                                         L"status=Sixth progress=3/8 dialog=visible",
                                         L"status=Seventh progress=8/8 dialog=visible"}),
              report.All("message-state"));

    const KbDump kb = Dump(Kb());
    ASSERT_EQ(3u, kb.documents.size()) << kb.raw;
    EXPECT_EQ("/Home/Letters/", kb.documents.at("Third").at(0));
    // The document stays, empty.
    const std::vector<std::string>& fifth = kb.documents.at("Fifth");
    EXPECT_EQ("/Home/Letters/", fifth.at(0));
    EXPECT_TRUE(HasLine(fifth, "Page: -"));
    EXPECT_TRUE(HasLine(fifth, "Created: -"));
    EXPECT_EQ("/Diary/Diary/", kb.documents.at("Seventh").at(0));
}

// The status line names each note in turn, however many fail; the end is the same.
TEST_F(E2eTest, EveryNoteFailingStillCompletes) {
    const std::wstring exb = SmallNotebook(L"letters.exb", 3);
    Remember(exb);
    const DriverReport report = Drive({L"--file=" + exb}, FaultyClientArgs(L"CreateDocument"));
    ExpectEndedWith(report, {L"Failed to create document:\n\nLetter 1", L"Failed to create document:\n\nLetter 2",
                             L"Failed to create document:\n\nLetter 3", L"Import completed"});
    EXPECT_EQ((std::vector<std::wstring>{L"status=Letter 1 progress=0/3 dialog=visible",
                                         L"status=Letter 2 progress=0/3 dialog=visible",
                                         L"status=Letter 3 progress=0/3 dialog=visible",
                                         L"status=Letter 3 progress=0/3 dialog=visible"}),
              report.All("message-state"));
    EXPECT_TRUE(Dump(Kb()).documents.empty());
}

TEST_F(E2eTest, SqliteObjectThatCannotBeMadeIsReported) {
    const std::wstring exb = SmallNotebook(L"letters.exb", 1);
    const DriverReport report = Drive({L"--file=" + exb}, FaultyClientArgs(L"CreateSQLiteDatabase"));
    ExpectStayedOpenWith(report, L"Failed to create database object");
    const KbDump kb = Dump(Kb());
    EXPECT_TRUE(kb.folders.empty() && kb.documents.empty() && kb.tags.empty()) << kb.raw;
}

// A close request while the import runs is refused, as Windows refuses it while Cancel is
// disabled: the dialog stays to the end and every note is stored.
TEST_F(E2eTest, CloseDuringImportIsRefused) {
    const std::wstring exb = Dir() + L"sample.exb";
    std::string error;
    ASSERT_TRUE(sample::WriteSampleNotebook(exb, &error)) << error;
    Remember(exb);

    const DriverReport report = Drive({L"--file=" + exb, L"--close-during-import"}, ProgramArgs());
    EXPECT_TRUE(report.Has("close-sent")) << report.raw;
    ExpectEndedWith(report, {L"Import completed"});
    const std::vector<std::wstring> states = report.All("message-state");
    ASSERT_EQ(1u, states.size()) << report.raw;
    EXPECT_NE(std::wstring::npos, states[0].find(L"progress=5/5 dialog=visible")) << report.raw;
    ExpectSampleDocuments(Dump(Kb()), "");
}

// A picture whose name is too long to stand beside the working folder is written under a shorter
// name, and the document holds it.
TEST_F(E2eTest, PictureWithALongNameIsStored) {
    const std::wstring exb = Dir() + L"long name.exb";
    const std::string picture = sample::BreadPicture();
    {
        exb::ExbFixture file(exb);
        const long long notebook = file.AddNotebook(L"Letters", L"Home");
        exb::Note note;
        note.title = L"Long picture";
        note.notebook = L"Letters";
        note.notebookUid = notebook;
        note.dateCreated = sample::ExbDate(2021, 7, 1, 12, 0);
        note.body = Body("<en-media type=\"image/png\" hash=\"" + exb::Md5Hex(picture) + "\"/>");
        const long long uid = file.AddNote(note);
        exb::Resource resource;
        resource.note = uid;
        resource.fileName = std::wstring(240, L'p') + L".png";
        resource.data = picture;
        file.AddResource(resource);
        file.Close();
        ASSERT_TRUE(file.ok()) << file.error();
    }
    Remember(exb);

    ExpectEndedWith(Import(exb), {L"Import completed"});
    const KbDump kb = Dump(Kb());
    const std::vector<std::string>& lines = kb.documents.at("Long picture");
    const auto stored = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.rfind("File: ppp", 0) == 0;
    });
    ASSERT_NE(lines.end(), stored) << kb.raw;
    const std::string name = stored->substr(6, stored->find(", ") - 6);
    EXPECT_EQ(FileLine("File", name, picture), *stored);
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    EXPECT_EQ(static_cast<size_t>(MAX_PATH - 1), wcslen(temp) + wcslen(L"Brelm\\") + name.size()) << name;
}

TEST_F(E2eTest, EmptyNoteTableCompletes) {
    const std::wstring exb = Dir() + L"empty.exb";
    {
        exb::ExbFixture file(exb);
        file.AddTag(L"Someday");
        file.Close();
        ASSERT_TRUE(file.ok()) << file.error();
    }
    Remember(exb);

    ExpectEndedWith(Import(exb), {L"Import completed"});
    const KbDump kb = Dump(Kb());
    EXPECT_EQ(std::vector<std::string>{"Someday"}, kb.tags);
    EXPECT_TRUE(kb.folders.empty() && kb.documents.empty()) << kb.raw;
}

TEST_F(E2eTest, StartupWithoutToolsLibrary) {
    const DriverReport report = Drive({}, {L"/AppPath=" + Dir(), L"/DatabasePath=" + Kb()});
    EXPECT_EQ(std::vector<std::wstring>{L"Can not find BrelmTools.dll"}, report.All("message")) << report.raw;
    EXPECT_FALSE(report.Has("dialog")) << report.raw;
    EXPECT_EQ(L"0", report.First("exit"));
    EXPECT_FALSE(FileExists(Kb()));
}

TEST_F(E2eTest, StartupWithoutCoreLibrary) {
    const std::wstring client = Dir() + L"client\\";
    ASSERT_TRUE(::CreateDirectoryW(client.c_str(), nullptr));
    ASSERT_TRUE(::CopyFileW((BinFolder() + L"BrelmTools.dll").c_str(), (client + L"BrelmTools.dll").c_str(), FALSE));

    const DriverReport report = Drive({}, {L"/AppPath=" + client, L"/DatabasePath=" + Kb()});
    EXPECT_EQ(std::vector<std::wstring>{L"Can not create database object"}, report.All("message")) << report.raw;
    EXPECT_FALSE(report.Has("dialog")) << report.raw;
    EXPECT_EQ(L"0", report.First("exit"));
    EXPECT_FALSE(FileExists(Kb()));
}

// The knowledge base's own error text is what the user sees.
TEST_F(E2eTest, StartupWithKnowledgeBaseThatCannotBeOpened) {
    const std::wstring kb = Dir() + L"no such folder\\kb.db";
    const DriverReport report = Drive({}, {L"/AppPath=" + BinFolder(), L"/DatabasePath=" + kb});
    const std::vector<std::wstring> messages = report.All("message");
    ASSERT_EQ(1u, messages.size()) << report.raw;
    EXPECT_EQ(0u, messages[0].find(L"Cannot open the knowledge base \"" + kb + L"\"")) << report.raw;
    EXPECT_FALSE(report.Has("dialog")) << report.raw;
    EXPECT_EQ(L"0", report.First("exit"));
}

TEST_F(E2eTest, FirstDisplayAndAboutBox) {
    const DriverReport report = Drive({L"--about"}, ProgramArgs());
    EXPECT_EQ(L"Import Evernote To Brelm", report.First("dialog")) << report.raw;
    EXPECT_EQ(L"browse=enabled ok=disabled cancel=enabled check=enabled", report.First("initial-controls"));
    EXPECT_EQ(L"unticked", report.First("initial-check"));
    EXPECT_EQ(L"", report.First("initial-file"));
    EXPECT_EQ(L"", report.First("initial-status"));
    EXPECT_EQ(0u, report.First("initial-progress").find(L"0/"));
    EXPECT_EQ(L"About BrelmEvernote", report.First("about-caption")) << report.raw;
    EXPECT_EQ(0u, report.First("about").find(L"BrelmEvernote, Version 1.0")) << report.raw;
    EXPECT_EQ(L"yes", report.First("about-closed"));
    EXPECT_TRUE(report.All("message").empty()) << report.raw;
    EXPECT_EQ(L"0", report.First("exit"));
    // Opened with /DatabasePath, the knowledge base is made when it is not there.
    EXPECT_TRUE(FileExists(Kb()));
}

// The command-line values, each variant importing one note into the knowledge base it names.
struct CommandLineCase {
    const char* name;
    std::vector<std::wstring> (*args)(const std::wstring& bin, const std::wstring& kb);
    const wchar_t* kbName;  // under the case's folder
};

const CommandLineCase kCommandLineCases[] = {
    {"AppPathWithTrailingSeparator",
     [](const std::wstring& bin, const std::wstring& kb) {
         return std::vector<std::wstring>{L"/AppPath=" + bin, L"/DatabasePath=" + kb};
     },
     L"kb.db"},
    {"AppPathWithoutTrailingSeparator",
     [](const std::wstring& bin, const std::wstring& kb) {
         return std::vector<std::wstring>{L"/AppPath=" + WithoutTrailingSeparator(bin), L"/DatabasePath=" + kb};
     },
     L"kb.db"},
    {"NamesInOtherLetterCase",
     [](const std::wstring& bin, const std::wstring& kb) {
         return std::vector<std::wstring>{L"/apppath=" + bin, L"/DATABASEPATH=" + kb};
     },
     L"kb.db"},
    {"NoAppPathUsesTheProgramFolder",
     [](const std::wstring&, const std::wstring& kb) { return std::vector<std::wstring>{L"/DatabasePath=" + kb}; },
     L"kb.db"},
    {"DatabasePathWithSpaces",
     [](const std::wstring& bin, const std::wstring& kb) {
         return std::vector<std::wstring>{L"/AppPath=" + bin, L"/DatabasePath=" + kb};
     },
     L"my notes\\knowledge base.db"},
};

class E2eCommandLineTest : public E2eTest, public ::testing::WithParamInterface<CommandLineCase> {};

TEST_P(E2eCommandLineTest, ImportRunsWithTheGivenValues) {
    const std::wstring exb = SmallNotebook(L"letters.exb", 2);
    Remember(exb);
    const std::wstring kb = Dir() + GetParam().kbName;
    const std::wstring kbFolder = kb.substr(0, kb.find_last_of(L'\\'));
    ::CreateDirectoryW(kbFolder.c_str(), nullptr);

    const DriverReport report = Drive({L"--file=" + exb}, GetParam().args(BinFolder(), kb));
    ExpectEndedWith(report, {L"Import completed"});
    ASSERT_TRUE(FileExists(kb)) << report.raw;
    const KbDump dump = Dump(kb);
    EXPECT_EQ((std::vector<std::string>{"/Home/", "/Home/Letters/"}), dump.folders) << dump.raw;
    EXPECT_EQ(2u, dump.documents.size()) << dump.raw;
}

INSTANTIATE_TEST_SUITE_P(E2e, E2eCommandLineTest, ::testing::ValuesIn(kCommandLineCases),
                         [](const ::testing::TestParamInfo<CommandLineCase>& info) { return info.param.name; });

}  // namespace
