// Document content and attachments: the page, the local files it references, attached files.
#include "exb_fixture.h"
#include "kb_test_support.h"

#include <sqlite3.h>

using namespace core_test;

namespace {

std::string Utf16File(const std::wstring& text) {
    std::string bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    return bytes;
}

std::string FileLine(const std::string& name, const std::string& bytes) {
    return "    File: " + name + ", " + std::to_string(bytes.size()) + " bytes, MD5 " + exb::Md5Hex(bytes) + "\n";
}

class DocumentContent : public KnowledgeBaseTest {
protected:
    void SetUp() override {
        KnowledgeBaseTest::SetUp();
        CreateDirectoryW(page_.c_str(), nullptr);
        CreateDirectoryW((page_ + L"sub").c_str(), nullptr);
        const struct {
            std::wstring path;
            std::string bytes;
        } files[] = {
            {page_ + L"a.png", "AAA"},       {page_ + L"sub\\b.gif", "GIF89a"}, {page_ + L"with space.png", "SP"},
            {page_ + L"notes.txt", "TXT"},   {page_ + L"style.css", "CSS"},     {page_ + L"hidden.txt", "HID"},
            {dir_ / L"outside.png", "SECRET"}, {page_ + long_, "LONG"},
        };
        for (const auto& f : files) ASSERT_TRUE(WriteBytes(f.path, f.bytes));
    }

    HRESULT Update(IBrelmDocument* doc, const std::wstring& file, long flags = 0x22) {
        return doc->UpdateDocument(Bstr(file), Bstr(file), flags);
    }

    std::string PlainText() const {
        sqlite3* raw = nullptr;
        std::string text = "(unreadable)";
        if (sqlite3_open_v2(Utf8(kb_).c_str(), &raw, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
            sqlite3_stmt* st = nullptr;
            sqlite3_prepare_v2(raw, "SELECT plain_text FROM documents", -1, &st, nullptr);
            if (sqlite3_step(st) == SQLITE_ROW && sqlite3_column_text(st, 0))
                text = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
            sqlite3_finalize(st);
        }
        sqlite3_close(raw);
        return text;
    }

    std::wstring page_ = dir_ / L"page\\";
    std::wstring long_ = std::wstring(240, L'l') + L".png";  // its path passes MAX_PATH
};

TEST_F(DocumentContent, StoresThePageAndOnlyTheLocalFilesInsideItsFolder) {
    const std::wstring outside = dir_ / L"outside.png";
    const std::wstring html =
        L"<html><head><link rel=\"stylesheet\" href=\"style.css?v=1\"></head><body>\r\n"
        L"<img src=\"a.png\"><IMG SRC='A.PNG'><img src=a.png alt=x>\r\n"
        L"<img src=\"sub/b.gif\"><img src=\"sub\\b.gif\"><img src=\"with%20space.png\">\r\n"
        L"<a href=\"notes.txt#top\">notes</a><img src=\"missing.png\"><img src=\"\"><img src=\"sub\">\r\n"
        L"<img src=\"" + long_ + L"\">\r\n"
        L"<img src=\"../outside.png\"><img src=\"..\\outside.png\"><img src=\"%2e%2e/outside.png\">\r\n"
        L"<img src=\"&#46;&#46;/outside.png\"><img src=\"sub/../../outside.png\"><img src=\".../outside.png\">\r\n"
        L"<img src=\"" + outside + L"\"><img src=\"file:///" + outside + L"\"><img src=\"/outside.png\">\r\n"
        L"<img src=\"http://example.com/a.png\"><img src=\"C:outside.png\"><img src=\"a.png::$DATA\">\r\n"
        L"<!-- <img src=\"hidden.txt\"> --><p>Gr\u00fc\u00dfe \u65e5\u672c</p></body></html>\r\n";
    ASSERT_TRUE(WriteBytes(page_ + L"page.htm", Utf16File(html)));

    Ref<IBrelmDocument> doc = Document(L"/N/", L"Page");
    ASSERT_TRUE(doc);
    ASSERT_EQ(S_OK, Update(doc.get(), page_ + L"page.htm"));
    const std::string stored = Utf8(html);
    const std::string expected = "    Page: page.htm, " + std::to_string(stored.size()) + " bytes, MD5 " +
                                 exb::Md5Hex(stored) + "\n" + FileLine("a.png", "AAA") +
                                 FileLine(Utf8(long_), "LONG") + FileLine("notes.txt", "TXT") +
                                 FileLine("style.css", "CSS") + FileLine("sub/b.gif", "GIF89a") +
                                 FileLine("with space.png", "SP") + "Tags\n";
    const std::string dump = Dump();
    EXPECT_NE(std::string::npos, dump.find(expected)) << dump;
}

// Big pages must not make an import look frozen: each '&' is looked at briefly, each file read once.
TEST_F(DocumentContent, ManyAmpersandsAndRepeatedLinksStoreQuickly) {
    std::string html = "<p>" + std::string(200000, '&') + "</p><img src=\"" + std::string(100000, '&') + "\">" +
                       "<p>&#x1F600; &#00000065; &#000000065;</p>";
    for (int i = 0; i < 1000; ++i) html += i % 2 ? "<img src=\"big.png\">" : "<img src=\"BIG.PNG\">";
    const std::string big(2 * 1024 * 1024, 'B');
    ASSERT_TRUE(WriteBytes(page_ + L"big.png", big));
    ASSERT_TRUE(WriteBytes(page_ + L"big.htm", html));
    Ref<IBrelmDocument> doc = Document(L"/N/", L"Page");
    ASSERT_TRUE(doc);
    const ULONGLONG start = GetTickCount64();
    ASSERT_EQ(S_OK, Update(doc.get(), page_ + L"big.htm"));
    EXPECT_LT(GetTickCount64() - start, 3000u);
    // References stay decoded up to their longest form and not beyond it.
    const std::string text = PlainText();
    EXPECT_NE(std::string::npos, text.find(std::string(200000, '&') + " \xf0\x9f\x98\x80 A &#000000065;"));
    const std::string dump = Dump();
    EXPECT_NE(std::string::npos, dump.find(FileLine("BIG.PNG", big) + "Tags\n")) << dump.substr(0, 2000);
}

// A junction or symbolic link inside the page's folder must not lead it to files elsewhere.
TEST_F(DocumentContent, LinksInThePageFolderDoNotLeadOutside) {
    ASSERT_TRUE(CreateDirectoryW((dir_ / L"elsewhere").c_str(), nullptr));
    ASSERT_TRUE(WriteBytes(dir_ / L"elsewhere\\secret.png", "SECRET"));
    FileLink folderLink, fileLink;
    if (!folderLink.Make(page_ + L"linked", dir_ / L"elsewhere", true) ||
        !fileLink.Make(page_ + L"linked.png", dir_ / L"elsewhere\\secret.png", false))
        GTEST_SKIP() << "this system cannot make symbolic links here";
    ASSERT_EQ("SECRET", ReadBytes(page_ + L"linked\\secret.png"));
    ASSERT_EQ("SECRET", ReadBytes(page_ + L"linked.png"));
    ASSERT_TRUE(WriteBytes(page_ + L"page.htm", "<img src=\"linked/secret.png\"><img src=\"linked.png\"><img src=\"a.png\">"));
    Ref<IBrelmDocument> doc = Document(L"/N/", L"Page");
    ASSERT_TRUE(doc);
    ASSERT_EQ(S_OK, Update(doc.get(), page_ + L"page.htm"));
    const std::string dump = Dump();
    EXPECT_NE(std::string::npos, dump.find("\n" + FileLine("a.png", "AAA") + "Tags\n")) << dump;
    EXPECT_EQ(std::string::npos, dump.find("secret")) << dump;
}

TEST_F(DocumentContent, UnreadablePageFailsAndLeavesTheDocumentAsItWas) {
    Ref<IBrelmDocument> doc = Document(L"/N/", L"Page");
    ASSERT_TRUE(doc);
    EXPECT_FAILED(Update(doc.get(), page_ + L"missing.htm"));
    EXPECT_NE(std::wstring::npos, LastErrorInfo().find(L"missing.htm"));
    EXPECT_FAILED(Update(doc.get(), page_));
    EXPECT_EQ(E_INVALIDARG, Update(doc.get(), L""));
    // A linked file that is there but cannot be read must not go missing from a stored page.
    ASSERT_TRUE(WriteBytes(page_ + L"locked.htm", "<img src=\"missing.png\"><img src=\"a.png\">"));
    HANDLE lock = CreateFileW((page_ + L"a.png").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    EXPECT_FAILED(Update(doc.get(), page_ + L"locked.htm"));
    CloseHandle(lock);
    EXPECT_NE(std::wstring::npos, LastErrorInfo().find(page_ + L"a.png"));
    EXPECT_NE(std::string::npos, Dump().find("    Page: -\n")) << Dump();
}

TEST_F(DocumentContent, LaterContentReplacesTheFilesAndFlagsChooseWhatIsKept) {
    ASSERT_TRUE(WriteBytes(page_ + L"one.htm", "<img src=\"a.png\"><img src=\"sub/b.gif\">"));
    ASSERT_TRUE(WriteBytes(page_ + L"two.htm",
                           "<html><head><style>p{color:red}</style><script>var x = '<b>';</script></head>"
                           "<body><p>Hello&nbsp;<b>world</b> &amp; &#252;</p><a href=\"notes.txt\">n</a></body></html>"));
    Ref<IBrelmDocument> doc = Document(L"/N/", L"Page");
    ASSERT_TRUE(doc);
    ASSERT_EQ(S_OK, Update(doc.get(), page_ + L"one.htm"));
    ASSERT_EQ(S_OK, Update(doc.get(), page_ + L"two.htm"));
    std::string dump = Dump();
    EXPECT_NE(std::string::npos, dump.find("MD5 " + exb::Md5Hex(ReadBytes(page_ + L"two.htm")) + "\n" +
                                           FileLine("notes.txt", "TXT") + "Tags\n"))
        << dump;

    sqlite3* raw = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open_v2(Utf8(kb_).c_str(), &raw, SQLITE_OPEN_READONLY, nullptr));
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(raw, "SELECT plain_text FROM documents", -1, &st, nullptr);
    ASSERT_EQ(SQLITE_ROW, sqlite3_step(st));
    const char* text = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
    EXPECT_STREQ("Hello world & \xc3\xbc n", text ? text : "(null)");
    sqlite3_finalize(st);
    sqlite3_close(raw);

    // Without the local-files flag only the page is kept.
    ASSERT_EQ(S_OK, Update(doc.get(), page_ + L"one.htm", 0));
    dump = Dump();
    EXPECT_NE(std::string::npos, dump.find("MD5 " + exb::Md5Hex(ReadBytes(page_ + L"one.htm")) + "\nTags\n")) << dump;
}

TEST_F(DocumentContent, AttachmentsKeepNameBytesAndUrl) {
    ASSERT_TRUE(WriteBytes(page_ + L"doc.pdf", "%PDF-1.4"));
    ASSERT_TRUE(WriteBytes(page_ + L"empty.bin", ""));
    Ref<IBrelmDocument> doc = Document(L"/N/", L"Page");
    ASSERT_TRUE(doc);
    Ref<IDispatch> object;
    Ref<IBrelmDocumentAttachment> attachment;
    ASSERT_EQ(S_OK, doc->AddAttachment(Bstr(page_ + L"doc.pdf"), object.put()));
    ASSERT_EQ(S_OK, object.As(&attachment));
    EXPECT_EQ(S_OK, attachment->put_URL(Bstr(L"http://example.com/doc.pdf")));
    ASSERT_EQ(S_OK, doc->AddAttachment(Bstr(page_ + L"empty.bin"), object.put()));

    EXPECT_FAILED(doc->AddAttachment(Bstr(page_ + L"missing.pdf"), object.put()));
    EXPECT_FALSE(object);
    EXPECT_NE(std::wstring::npos, LastErrorInfo().find(page_ + L"missing.pdf"));
    EXPECT_FAILED(doc->AddAttachment(Bstr(page_), object.put()));
    EXPECT_EQ(E_INVALIDARG, doc->AddAttachment(Bstr(L""), object.put()));
    EXPECT_EQ(E_POINTER, doc->AddAttachment(Bstr(page_ + L"doc.pdf"), nullptr));

    const std::string dump = Dump();
    EXPECT_NE(std::string::npos,
              dump.find("    Page: -\n"
                        "    Attachment: doc.pdf, 8 bytes, MD5 " + exb::Md5Hex("%PDF-1.4") +
                        ", URL http://example.com/doc.pdf\n"
                        "    Attachment: empty.bin, 0 bytes, MD5 d41d8cd98f00b204e9800998ecf8427e, URL \n"))
        << dump;
}

}  // namespace
