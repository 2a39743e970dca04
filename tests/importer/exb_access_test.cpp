// The access layer over the SQLite stand-in: failed queries and reads, and the blob readers.
#include "exb_access.h"
#include "exb_resources.h"
#include "exb_tags.h"
#include "foundation_print.h"
#include "importer_exb_test.h"

namespace {

TEST(ExbItemIdTest, OnlyDecimalIntegers) {
    for (const wchar_t* id : {L"0", L"42", L"-7", L"9223372036854775807"}) EXPECT_TRUE(IsExbItemId(id)) << id;
    for (const wchar_t* id : {L"", L"-", L" 1", L"1 ", L"1.5", L"0x10", L"1 or 1=1", L"..\\..\\x", L"12a"})
        EXPECT_FALSE(IsExbItemId(id)) << id;
    EXPECT_FALSE(IsExbItemId(nullptr));
}

class ExbAccessTest : public ImporterExbTest {
protected:
    CComPtr<IBrelmSQLiteRecordset> Rows(const CString& sql)
    {
        CComPtr<IBrelmSQLiteRecordset> rows;
        rows.Attach(ExbQuery(m_database, sql));
        EXPECT_TRUE(rows) << CStringA(sql).GetString();
        return rows;
    }
};

TEST_F(ExbAccessTest, AMissingTableShowsTheQueryAndReadsAsNoRows)
{
    File({exb::Table::Items, exb::Table::Attrs, exb::Table::Resources});
    Open();
    const std::wstring query = L"Can't query database:\n\n";

    CComPtr<IBrelmSQLiteRecordset> rows;
    rows.Attach(ExbQuery(m_database, L"select uid from items where type=2"));
    EXPECT_FALSE(rows);
    EXPECT_EQ(std::vector<std::wstring>{query + L"select uid from items where type=2"}, Messages());

    EXPECT_EQ(L"", ExbAttrText(m_database, L"5", 46));
    EXPECT_EQ(std::vector<std::wstring>{query + L"select data from attrs where uid=5 and aid=46"}, Messages());

    CExbResourceArray resources;
    EXPECT_FALSE(ReadNoteResources(m_database, L"7", Folder().c_str(), resources));
    EXPECT_TRUE(resources.empty());
    EXPECT_EQ(std::vector<std::wstring>{query + L"select note, resources.uid, width, height, file_name, md5, "
                                                L"is_attachment, data from resource_attr, resources where "
                                                L"resource_attr.uid=resources.uid and resource_attr.note=7"},
              Messages());
}

TEST_F(ExbAccessTest, FailedFieldReadsShowTheirMessagesAndGiveNothing)
{
    Open();
    CComPtr<IBrelmSQLiteRecordset> rows = Rows(L"select 1");
    const std::wstring value = L"Can't get field value.", data = L"Can't get field data.";

    EXPECT_EQ(L"", ExbFieldText(rows, 3));
    EXPECT_EQ(0, ExbFieldInt(rows, 3));
    EXPECT_EQ(0.0, ExbFieldDouble(rows, 3));
    EXPECT_EQ((std::vector<std::wstring>{value, value, value}), Messages());

    CComPtr<IStream> stream;
    stream.Attach(ExbFieldStream(rows, 3));
    EXPECT_FALSE(stream);
    EXPECT_EQ(L"", ExbFieldMd5Hex(rows));
    std::wstring path = Folder() + L"never.bin";
    EXPECT_FALSE(ExbFieldToFile(rows, 3, path.c_str()));
    EXPECT_FALSE(ImporterFileExists(path));
    EXPECT_EQ((std::vector<std::wstring>{data, data, data}), Messages());
}

TEST_F(ExbAccessTest, BlobReaders)
{
    Open();
    const struct {
        const wchar_t* blob;
        const wchar_t* md5;
        const wchar_t* utf8;
        int int32;
    } cases[] = {
        {L"x'00112233445566778899AABBCCDDEEFF'", L"00112233445566778899aabbccddeeff", nullptr, 0},
        {L"x'ABCDEF'", L"abcdef00000000000000000000000000", nullptr, 0},
        {L"x'000102030405060708090A0B0C0D0E0F10111213'", L"000102030405060708090a0b0c0d0e0f", nullptr, 0},
        {L"x''", L"00000000000000000000000000000000", L"", 0},
        {L"NULL", L"00000000000000000000000000000000", L"", 0},
        {L"x'EFBBBF436166C3A9'", nullptr, L"Caf\u00e9", 0},
        {L"x'436166C3A9'", nullptr, L"Caf\u00e9", 0},
        {L"x'6162006364'", nullptr, L"ab", 0},
        {L"x'07000000'", nullptr, nullptr, 7},
        {L"x'FEFFFFFF'", nullptr, nullptr, -2},
        {L"x'070000'", nullptr, nullptr, 0},
        {L"x'0700000000'", nullptr, nullptr, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(CStringA(c.blob).GetString());
        if (c.md5) {
            EXPECT_EQ(c.md5, ExbFieldMd5Hex(Rows(CString(L"select 0, 1, 2, 3, 4, ") + c.blob)));
        }
        if (c.utf8) {
            EXPECT_EQ(c.utf8, ExbFieldUtf8Text(Rows(CString(L"select ") + c.blob)));
        }
        EXPECT_EQ(c.int32, ExbFieldInt32(Rows(CString(L"select ") + c.blob)));
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ExbAccessTest, TextNumbersAndFiles)
{
    Open();
    CComPtr<IBrelmSQLiteRecordset> rows = Rows(L"select 'abc', 42, 693594.5, NULL, x'00FF10', x''");
    EXPECT_EQ(L"abc", ExbFieldText(rows, 0));
    EXPECT_EQ(42, ExbFieldInt(rows, 1));
    // A zero inside a text ends it: "COM1", zero, "x" must not pass as a file name "COM1...".
    CComPtr<IBrelmSQLiteRecordset> zero = Rows(L"select cast(x'434F4D310078' as text)");
    EXPECT_EQ(L"COM1", ExbFieldText(zero, 0));
    EXPECT_DOUBLE_EQ(693594.5, ExbFieldDouble(rows, 2));
    EXPECT_EQ(0.0, ExbFieldDouble(rows, 3));

    std::wstring path = Folder() + L"a\\b\\blob.bin";  // folders made on the way
    EXPECT_TRUE(ExbFieldToFile(rows, 4, path.c_str()));
    EXPECT_EQ(std::string("\x00\xff\x10", 3), ImporterReadFile(path));
    EXPECT_TRUE(ExbFieldToFile(rows, 5, path.c_str()));
    EXPECT_TRUE(ImporterFileExists(path));
    EXPECT_EQ("", ImporterReadFile(path));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ExbAccessTest, NotebookNameIsTheStackThenTheOwnName)
{
    long long stacked = File().AddNotebook(L"Recipes", L"Home");
    long long plain = File().AddNotebook(L"Travel");
    long long emptyStack = File().AddNotebook(L"Work");
    File().AddAttr(emptyStack, exb::kAidStack, 0, "");
    long long nameless = File().AddItem(exb::kNotebookItem);
    Open();

    EXPECT_EQ(L"Home", ExbNotebookName(m_database, Id(stacked).c_str()));
    EXPECT_EQ(L"Recipes", ExbAttrText(m_database, Id(stacked).c_str(), 0));
    EXPECT_EQ(L"Travel", ExbNotebookName(m_database, Id(plain).c_str()));
    EXPECT_EQ(L"Work", ExbNotebookName(m_database, Id(emptyStack).c_str()));
    EXPECT_EQ(L"", ExbNotebookName(m_database, Id(nameless).c_str()));
    EXPECT_TRUE(Messages().empty());
}

}  // namespace
