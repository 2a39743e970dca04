// The import loop's own work on a note: ids, tags, folder locations and document dates.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exb_date.h"
#include "import_loop.h"

TEST(ImportLoopTest, TagsAreSplitTrimmedAndFreedOfSeparators) {
    struct Case {
        const wchar_t* tags;
        std::vector<std::wstring> list;
    } cases[] = {
        {L" a , b;c ", {L"a", L"b-c"}},
        {L"a,,b", {L"a", L"", L"b"}},
        {L"x\\y/z", {L"x-y-z"}},
        {L"\t one\n,two", {L"one", L"two"}},
        {L"", {}},
    };
    for (const Case& c : cases) {
        CBrelmStringArray list;
        CleanExbNoteTags(c.tags, list);
        std::vector<std::wstring> got;
        for (const CString& tag : list) got.push_back(static_cast<const wchar_t*>(tag));
        EXPECT_EQ(got, c.list) << c.tags;
    }
}

TEST(ImportLoopTest, FolderLocationHasOneLevelPerName) {
    struct Case {
        const wchar_t* parent;
        const wchar_t* notebook;
        BOOL evernote;
        const wchar_t* location;
    } cases[] = {
        {L"Office", L"Home-Work", TRUE, L"/Evernote/Office/Home-Work/"},
        {L"", L"Home-Work", FALSE, L"/Home-Work/"},
        {L"", L"Home", TRUE, L"/Evernote/Home/"},
        // The second try puts the notebook's own name in the group's level only:
        // the notebook "abc" keeps its name next to a group "ab" renamed "Z".
        {L"Z", L"abc", FALSE, L"/Z/abc/"},
        {L"Evernote", L"Evernote Notes", TRUE, L"/Evernote/Evernote/Evernote Notes/"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(BuildExbFolderLocation(c.parent, c.notebook, c.evernote), c.location) << c.location;
}

TEST(ImportLoopTest, MissingDatesComeFromNowAndTheCreationDate) {
    const DATE now = 45000.5;
    const double real = 739000.25;
    const DATE realLocal = ExbDateToLocalDate(real);
    const DATE otherLocal = ExbDateToLocalDate(real + 1);
    struct Case {
        double created, updated;
        DATE documentCreated, documentModified;
    } cases[] = {
        {0, 0, now, now},                      // both missing: now, not converted
        {0.0009, -0.0009, now, now},           // below 0.001 either way counts as missing
        {real, 0, realLocal, realLocal},       // modification takes the converted creation date
        {real, real + 1, realLocal, otherLocal},
        {0, real + 1, now, otherLocal},
    };
    for (const Case& c : cases) {
        DATE created = -1, modified = -1;
        GetExbNoteDates(c.created, c.updated, now, created, modified);
        EXPECT_DOUBLE_EQ(created, c.documentCreated) << c.created << " " << c.updated;
        EXPECT_DOUBLE_EQ(modified, c.documentModified) << c.created << " " << c.updated;
    }
    DATE created = 0, modified = 0;
    GetExbNoteDates(0.001, 0, now, created, modified);
    EXPECT_DOUBLE_EQ(created, ExbDateToLocalDate(0.001));
}
