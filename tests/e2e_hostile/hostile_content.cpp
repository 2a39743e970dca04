// The sample's values made hostile: names in every place they are used, tag trees, note bodies,
// a very large blob, empty titles and notebooks.
#include "exb_fixture.h"
#include "hostile_cases.h"

namespace hostile {

namespace {

struct HostileName {
    const char* label;
    std::wstring name;
};

std::vector<HostileName> Names() {
    return {
        {"parent folders backslash", L"..\\..\\..\\escape.png"},
        {"parent folders slash", L"../../escape.png"},
        {"drive path", L"C:\\Windows\\escape.png"},
        {"network path", L"\\\\server\\share\\escape.png"},
        {"absolute path", L"/root/escape.png"},
        {"reserved characters", L"a\\b/c:d*e?f\"g<h>i|j.png"},
        {"device CON", L"CON"},
        {"device con.png", L"con.png"},
        {"device NUL", L"NUL"},
        {"device nul.txt", L"nul.txt"},
        {"device PRN.pdf", L"PRN.pdf"},
        {"device AUX", L"AUX"},
        {"device COM1", L"COM1"},
        {"device LPT9.png", L"LPT9.png"},
        {"device CONIN$", L"CONIN$"},
        {"device CLOCK$", L"CLOCK$"},
        {"one dot", L"."},
        {"two dots", L".."},
        {"three dots", L"..."},
        {"dots and blanks", L". . ."},
        {"a blank", L" "},
        {"300 characters", std::wstring(296, L'n') + L".png"},
        {"300 accented characters", std::wstring(300, L'\u00E9')},
        {"300 characters with separators", std::wstring(100, L'a') + L"\\" + std::wstring(100, L'b') + L"/" +
                                                std::wstring(98, L'c')},
        {"control characters", L"tab\there\nline\x01.png"},
        {"trailing dot", L"trailing dot."},
        {"trailing blank", L"trailing blank "},
        {"stream name", L"picture.png:hidden"},
        {"data stream", L"picture.png::$DATA"},
        {"wildcards only", L"*.*"},
    };
}

// A SQL string literal of the text in UTF-8.
std::string Literal(const std::wstring& text) {
    std::string out = "'";
    for (const char c : exb::Utf8(text)) out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
}

// The sample's first note's body with its one en-media element replaced by media.
std::string BodyWith(const std::string& media) {
    return "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\"></head><body>"
           "<h1>Sourdough bread</h1><div>" + media + "</div><p>Bake 40 minutes.</p></body></html>";
}

std::string Repeat(const std::string& text, size_t times) {
    std::string out;
    out.reserve(text.size() * times);
    for (size_t i = 0; i < times; ++i) out += text;
    return out;
}

// SQL for the hash of a picture: the sub-query is closed after the picture's uid.
const char kHashOfPicture[] = "(SELECT lower(hex(md5)) FROM resource_attr WHERE uid=";

}  // namespace

std::vector<HostileCase> ContentCases(SuiteSize size, const std::string& sample) {
    std::vector<HostileCase> cases;
    const std::string note = kFirstNote, resource = kFirstResource, attachment = kAttachment, tag = kFirstTag;
    const std::string setBody = "UPDATE attrs SET data=?1 WHERE aid=13 AND uid=" + note;

    // Every name in the places where names become files, folders or tags.
    const std::vector<HostileName> names = Names();
    for (size_t i = 0; i < names.size(); ++i) {
        const HostileName& n = names[i];
        const std::string value = Literal(n.name);
        cases.push_back(SqlCase(std::string("picture named ") + n.label, sample,
                                "UPDATE resource_attr SET file_name=" + value + " WHERE uid=" + resource));
        // The other places see the same names through the same helpers: CI takes a share.
        if (size == SuiteSize::Local || i % 2 == 0)
            cases.push_back(SqlCase(std::string("attachment named ") + n.label, sample,
                                    "UPDATE resource_attr SET file_name=" + value + " WHERE uid=" + attachment));
        if (size == SuiteSize::Ci && i % 5 != 0) continue;
        cases.push_back(SqlCase(std::string("title ") + n.label, sample,
                                "UPDATE note_attr SET title=" + value + " WHERE uid=" + note));
        cases.push_back(SqlCase(std::string("notebook and stack ") + n.label, sample,
                                "UPDATE note_attr SET notebook=" + value + "; UPDATE attrs SET data=CAST(" + value +
                                    " AS BLOB) WHERE aid IN (0, 46) AND uid IN (SELECT notebook_uid FROM note_attr)"));
        cases.push_back(SqlCase(std::string("tag ") + n.label, sample,
                                "UPDATE attrs SET data=CAST(" + value + " AS BLOB) WHERE aid=0 AND afl=2 AND uid=" +
                                    tag + "; UPDATE note_attr SET tags=" + value + " || ', Bread'"));
    }
    cases.push_back(SqlCase("all files of a note under one name", sample,
                            "UPDATE resource_attr SET file_name='same.png'; UPDATE resource_attr SET note=" + note));

    // Tag trees that are no trees.
    const std::string dropParent = "DELETE FROM attrs WHERE aid IN (28, 30) AND uid=" + tag + ";";
    const auto parentCase = [&](const std::string& name, const std::string& sql) {
        cases.push_back(SqlCase(name, sample, sql));
    };
    // A parent id is stored as 4 bytes, little-endian.
    const auto idBlob = [](const std::string& uid) { return "le32(" + uid + ")"; };
    parentCase("tag that is its own parent",
               dropParent + "INSERT INTO attrs(uid, aid, afl, data) VALUES(" + tag + ", 28, 160, " + idBlob(tag) + ")");
    parentCase("three tags in a cycle",
               dropParent + "INSERT INTO attrs(uid, aid, afl, data) VALUES(" + tag + ", 28, 160, le32((SELECT uid "
               "FROM attrs WHERE aid=0 AND afl=2 AND CAST(data AS TEXT)='Bread')))");
    parentCase("every tag its own parent",
               "DELETE FROM attrs WHERE aid IN (28, 30); INSERT INTO attrs(uid, aid, afl, data) SELECT uid, 28, 160, " +
                   idBlob("uid") + " FROM items WHERE type=2");
    parentCase("parents pointing nowhere", "UPDATE attrs SET data=" + idBlob("99999") + " WHERE aid=28");
    parentCase("parents negative", "UPDATE attrs SET data=X'FFFFFFFF' WHERE aid=28");
    parentCase("parents of 0, 3 and 8 bytes",
               "UPDATE attrs SET data=CASE uid % 3 WHEN 0 THEN X'' WHEN 1 THEN X'010000' ELSE X'0100000000000000' END "
               "WHERE aid=28");
    parentCase("parents pointing at notes", "UPDATE attrs SET data=" + idBlob(note) + " WHERE aid=28");
    parentCase("second-choice parents in a cycle",
               "UPDATE attrs SET aid=30 WHERE aid=28; INSERT INTO attrs(uid, aid, afl, data) SELECT uid, 30, 160, " +
                   idBlob("uid") + " FROM items WHERE type=2 AND uid NOT IN (SELECT uid FROM attrs WHERE aid=30)");
    parentCase("tag chain 20000 deep",
               "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 20000) "
               "INSERT INTO items(uid, type) SELECT 100000 + i, 2 FROM c; "
               "INSERT INTO attrs(uid, aid, afl, data) SELECT uid, 0, 2, CAST('Deep ' || uid AS BLOB) FROM items "
               "WHERE uid > 100000; INSERT INTO attrs(uid, aid, afl, data) SELECT uid, 28, 160, " +
                   idBlob("uid - 1") + " FROM items WHERE uid > 100001");
    parentCase("5000 tags named alike",
               "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 5000) "
               "INSERT INTO items(uid, type) SELECT 100000 + i, 2 FROM c; "
               "INSERT INTO attrs(uid, aid, afl, data) SELECT uid, 0, 2, CAST(CASE uid % 2 WHEN 0 THEN 'Same' "
               "ELSE 'SAME' END AS BLOB) FROM items WHERE uid > 100000; INSERT INTO attrs(uid, aid, afl, data) "
               "SELECT uid, 28, 160, " + idBlob("uid - 1") + " FROM items WHERE uid > 100001");
    parentCase("tags text of 20000 commas", "UPDATE note_attr SET tags=printf('%.20000c', ',')");
    parentCase("tags text naming 3000 unknown tags",
               "UPDATE note_attr SET tags=(WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < "
               "3000) SELECT group_concat('unknown ' || i, ', ') FROM c) WHERE uid=" + note);

    // Bodies that are no proper pages.
    const auto body = [&](const std::string& name, const std::string& page) {
        cases.push_back(BlobCase(name, sample, setBody, page));
    };
    // En-media elements that should match take the picture's hash from its row.
    const auto bodySql = [&](const std::string& name, const std::string& pageSql) {
        cases.push_back(
            SqlCase(name, sample, "UPDATE attrs SET data=CAST(" + pageSql + " AS BLOB) WHERE aid=13 AND uid=" + note));
    };
    const std::string pictureHash = kHashOfPicture + resource + ")";
    const auto media = [&](const std::string& rest) {
        return "'<en-media type=\"image/png\" hash=\"' || " + pictureHash + " || '\"" + rest + "'";
    };
    body("body cut inside a tag", BodyWith("<p>Text <b"));
    body("body ending in an en-media name", BodyWith("") + "<en-media");
    body("body ending inside a hash", BodyWith("<en-media type=\"image/png\" hash=\"0011"));
    bodySql("en-media never closed", "'<html><body><p>x</p>' || " + media(""));
    body("comment never closed", BodyWith("<!-- <en-media hash=\"00\"/> never closed"));
    body("attribute quote never closed", BodyWith("<p class=\"never closed>text</p>"));
    body("ten thousand angle brackets", BodyWith(std::string(10000, '<')));
    bodySql("en-media nested three deep",
            "'<html><body>' || " + media(">") + " || " + media(">") + " || " + media("/>") +
                " || '</en-media></en-media></body></html>'");
    bodySql("en-media nested 5000 deep",
            "'<html><body>' || (WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 5000) "
            "SELECT group_concat(" + media(">") + ", '') FROM c) || '</body></html>'");
    bodySql("20000 en-media elements",
            "'<html><body>' || (WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 20000) "
            "SELECT group_concat(" + media("/>") + ", '') FROM c) || '</body></html>'");
    body("en-media without a hash", BodyWith("<en-media type=\"image/png\"/>"));
    body("en-media with an empty hash", BodyWith("<en-media type=\"image/png\" hash=\"\"/>"));
    body("en-media with a hash of letters", BodyWith("<en-media hash=\"zzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzz\"/>"));
    body("en-media with a hash of 100000 digits", BodyWith("<en-media hash=\"" + std::string(100000, 'a') + "\"/>"));
    body("en-media with quotes in the hash", BodyWith("<en-media hash='\"><script>x</script>'/>"));
    bodySql("en-media with the hash and an existing src",
            "'<html><body>' || " + media(" src=\"..\\..\\..\\escape.png\"/>") + " || '</body></html>'");
    bodySql("en-media with the hash twice", "'<html><body><en-media hash=\"00\" ' || substr(" + media("/>") +
                                                ", 11) || '</body></html>'");
    bodySql("en-media in capitals with the hash", "upper(" + media("/>") + ") || '<p>padding text</p>'");
    body("links to files outside the working folder",
         BodyWith("<img src=\"../secret.txt\"><img src=\"..\\secret.txt\"><img src=\"%2e%2e/secret.txt\">"
                  "<a href=\"file:///C:/windows/win.ini\">x</a><img src=\"C:\\windows\\win.ini\">"
                  "<img src=\"/etc/passwd\"><img src=\"\\\\server\\share\\x.png\"><img src=\"...\\secret.txt\">"));
    body("body of zero bytes inside the text", BodyWith(std::string("before\0after\0\0", 14)));
    body("body of invalid UTF-8", BodyWith("\xC0\xAF \xFF\xFE \xED\xA0\x80 \xF8\x88\x80\x80\x80"));
    body("body in UTF-16 with a byte-order mark",
         std::string("\xFF\xFE<\0h\0t\0m\0l\0>\0<\0b\0o\0d\0y\0>\0x\0y\0z\0<\0/\0b\0o\0d\0y\0>\0", 38));
    body("body of 16 bytes", "<p>sixteen b</p>");
    body("body of 17 bytes", "<p>seventeen b</p>");
    body("body of 50000 &apos;", BodyWith(Repeat("&apos;", 50000)));
    body("body naming the ink type", BodyWith("<en-media type=\"application/vnd.evernote.ink\" hash=\"00\"/>"));
    body("body of 8 MB", BodyWith(Repeat("<p>" + std::string(1000, 'w') + "</p>", 8000)));
    cases.push_back(SqlCase("no body in any attribute", sample,
                            "DELETE FROM attrs WHERE aid IN (13, 14, 15, 16, 17, 18, 19, 20, 24, 28, 29) AND uid IN "
                            "(SELECT uid FROM note_attr)"));
    cases.push_back(SqlCase("bodies in every attribute", sample,
                            "INSERT INTO attrs(uid, aid, afl, data) SELECT a.uid, b.aid, 0, a.data FROM attrs a, "
                            "(SELECT 14 AS aid UNION SELECT 20 UNION SELECT 29) b WHERE a.aid=13"));

    // A very large blob, and empty names.
    HostileCase big = SqlCase("picture of 100 MB", sample,
                              "UPDATE resources SET data=zeroblob(100 * 1024 * 1024) WHERE uid=" + resource);
    big.timeoutSeconds = 180;
    cases.push_back(big);
    cases.push_back(SqlCase("empty titles", sample, "UPDATE note_attr SET title=''"));
    cases.push_back(SqlCase("empty notebooks", sample,
                            "UPDATE note_attr SET notebook=''; UPDATE attrs SET data=X'' WHERE aid IN (0, 46) AND uid "
                            "IN (SELECT notebook_uid FROM note_attr)"));
    cases.push_back(SqlCase("notebooks without items", sample,
                            "DELETE FROM attrs WHERE uid IN (SELECT notebook_uid FROM note_attr); "
                            "UPDATE note_attr SET notebook=''"));
    cases.push_back(SqlCase("titles and notebooks blank", sample, "UPDATE note_attr SET title='   ', notebook=' '"));
    cases.push_back(SqlCase("empty file names", sample, "UPDATE resource_attr SET file_name=''"));
    cases.push_back(SqlCase("empty tag names", sample, "UPDATE attrs SET data=X'' WHERE aid=0 AND afl=2"));
    return cases;
}

}  // namespace hostile
