// The sample's tables changed: missing tables and columns, values of other types, NULLs, ids that
// are not numbers, and views or unknown kinds of table in place of the tables.
#include "hostile_cases.h"

namespace hostile {

namespace {

struct TableColumns {
    const char* table;
    std::vector<const char*> columns;
};

const std::vector<TableColumns> kTables = {
    {"items", {"uid", "type"}},
    {"attrs", {"uid", "aid", "afl", "data"}},
    {"note_attr",
     {"uid", "title", "author", "notebook", "tags", "date_created", "date_updated", "source_url", "latitude",
      "longitude", "notebook_uid"}},
    {"resource_attr", {"uid", "note", "file_name", "source_url", "is_attachment", "mime", "width", "height", "md5"}},
    {"resources", {"uid", "data"}},
};

// The table made again from a select of its own rows: no key, no constraint, no index.
std::string Rebuild(const std::string& table, const std::string& select) {
    return "CREATE TABLE hostile_copy AS SELECT " + select + " FROM " + table + "; DROP TABLE " + table +
           "; ALTER TABLE hostile_copy RENAME TO " + table + ";";
}

std::string Unkey(const std::string& table) { return Rebuild(table, "*"); }

}  // namespace

std::vector<HostileCase> SchemaCases(SuiteSize size, const std::string& sample) {
    std::vector<HostileCase> cases;
    const std::string note = kFirstNote, resource = kFirstResource, tag = kFirstTag;

    for (const TableColumns& t : kTables) {
        const std::string table = t.table;
        cases.push_back(SqlCase("table " + table + " missing", sample, "DROP TABLE " + table));
        if (size == SuiteSize::Local)
            cases.push_back(SqlCase("table " + table + " empty", sample, "DELETE FROM " + table));
        for (const char* column : t.columns) {
            std::string kept;
            for (const char* other : t.columns) {
                if (other != column) kept += std::string(kept.empty() ? "" : ", ") + other;
            }
            cases.push_back(SqlCase("column " + table + "." + column + " missing", sample, Rebuild(table, kept)));
        }
    }

    // Values of types the readers do not expect.
    const std::vector<std::pair<const char*, std::string>> retyped = {
        {"dates as text", "UPDATE note_attr SET date_created='yesterday', date_updated='soon'"},
        {"dates as blobs", "UPDATE note_attr SET date_created=X'00112233', date_updated=X''"},
        {"dates huge", "UPDATE note_attr SET date_created=1e308, date_updated=-1e308"},
        {"dates infinite", "UPDATE note_attr SET date_created=9e999, date_updated=-9e999"},
        {"dates denormal", "UPDATE note_attr SET date_created=4e-320, date_updated=-4e-320"},
        {"dates before the year 1", "UPDATE note_attr SET date_created=-800000, date_updated=-1"},
        {"dates after the year 9999", "UPDATE note_attr SET date_created=4000000, date_updated=3e9"},
        {"map location as blobs", "UPDATE note_attr SET latitude=X'0102', longitude=X'FF'"},
        {"map location as words", "UPDATE note_attr SET latitude='north', longitude='east'"},
        {"map location 5000 characters", "UPDATE note_attr SET latitude=printf('%.5000c', '9'), longitude=1"},
        {"attachment flag as text", "UPDATE resource_attr SET is_attachment='yes'"},
        {"attachment flag huge", "UPDATE resource_attr SET is_attachment=9e99"},
        {"width and height as text and huge", "UPDATE resource_attr SET width='wide', height=1e30"},
        {"md5 as text", "UPDATE resource_attr SET md5='not a digest'"},
        {"md5 empty", "UPDATE resource_attr SET md5=X''"},
        {"md5 1000 bytes", "UPDATE resource_attr SET md5=zeroblob(1000)"},
        {"md5 as a number", "UPDATE resource_attr SET md5=12345"},
        {"resource data as text", "UPDATE resources SET data='text instead of bytes'"},
        {"resource data as numbers", "UPDATE resources SET data=CASE WHEN uid % 2 THEN 42 ELSE 4.25 END"},
        {"bodies as numbers", "UPDATE attrs SET data=123456789012345678 WHERE aid=13"},
        {"tag names as numbers", "UPDATE attrs SET data=7 WHERE aid=0 AND afl=2"},
        {"tag parents as text", "UPDATE attrs SET data='12' WHERE aid=28"},
        {"titles invalid UTF-8", "UPDATE note_attr SET title=X'C0AFFFFE80', notebook=X'EDA080'"},
        {"titles as numbers", "UPDATE note_attr SET title=42, notebook=4.5, tags=7"},
        {"item types as words", "UPDATE items SET type='two'"},
        {"attribute ids as words", Unkey("attrs") + "UPDATE attrs SET aid='thirteen' WHERE aid=13"},
    };
    for (size_t i = 0; i < retyped.size(); ++i) {
        if (size == SuiteSize::Local || i % 3 != 2)
            cases.push_back(SqlCase(retyped[i].first, sample, retyped[i].second));
    }

    // NULL in each column, then everywhere at once.
    std::string everywhere;
    for (const TableColumns& t : kTables) {
        std::string all;
        for (const char* column : t.columns) {
            const std::string table = t.table;
            all += std::string(all.empty() ? "" : ", ") + column + "=NULL";
            if (std::string(column) == "uid" && table != "attrs") continue;
            const std::string name = column;
            if (size == SuiteSize::Ci && table == "note_attr" && name != "title" && name != "date_created" &&
                name != "notebook_uid")
                continue;
            if (size == SuiteSize::Ci && table == "resource_attr" && name != "note" && name != "file_name" &&
                name != "md5" && name != "is_attachment")
                continue;
            cases.push_back(SqlCase(table + "." + column + " NULL", sample,
                                    Unkey(table) + "UPDATE " + table + " SET " + column + "=NULL"));
        }
        everywhere += Unkey(t.table) + "UPDATE " + t.table + " SET " + all + ";";
    }
    cases.push_back(SqlCase("NULL everywhere", sample, everywhere));

    // Ids that are not numbers go into the program's SQL texts unquoted.
    const std::vector<std::pair<const char*, const char*>> noteIds = {
        {"letters", "'abc'"},
        {"an always-true clause", "'14 or 1=1'"},
        {"a second statement", "'14; DROP TABLE attrs'"},
        {"empty", "''"},
        {"a leading blank", "' 14'"},
        {"a decimal point", "'14.0'"},
        {"hexadecimal", "'0x0E'"},
        {"twenty digits", "'99999999999999999999'"},
        {"a closing bracket", "'14)'"},
        {"quotes", "'''14'''"},
        {"negative", "-14"},
        {"a blob", "X'3134'"},
    };
    for (size_t i = 0; i < noteIds.size(); ++i) {
        const auto& id = noteIds[i];
        if (size == SuiteSize::Ci && i % 2 != 0 && i != 1) continue;
        cases.push_back(SqlCase(std::string("note id ") + id.first, sample,
                                Unkey("note_attr") + "UPDATE note_attr SET uid=" + id.second + " WHERE uid=" + note));
    }
    cases.push_back(SqlCase("notebook id letters", sample, "UPDATE note_attr SET notebook_uid='nb'"));
    cases.push_back(SqlCase("notebook id with a clause", sample, "UPDATE note_attr SET notebook_uid='10 or 1=1'"));
    cases.push_back(SqlCase("resource ids letters", sample,
                            Unkey("resource_attr") + Unkey("resources") +
                                "UPDATE resources SET uid='r'||uid; UPDATE resource_attr SET uid='r'||uid"));
    cases.push_back(SqlCase("resource note ids letters", sample, "UPDATE resource_attr SET note='n'||note"));
    cases.push_back(SqlCase("tag ids letters", sample,
                            Unkey("items") + "UPDATE attrs SET uid='t'||uid WHERE uid IN (SELECT uid FROM items "
                                             "WHERE type=2); UPDATE items SET uid='t'||uid WHERE type=2"));
    cases.push_back(SqlCase("attribute item ids letters", sample, "UPDATE attrs SET uid='a'||uid"));

    // Views and unknown kinds of table where the tables should be.
    const std::string endless = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) ";
    cases.push_back(SqlCase("notes as an endless view", sample,
                            "DROP TABLE note_attr; CREATE VIEW note_attr AS " + endless +
                                "SELECT i AS uid, 'Note ' || i AS title, '' AS author, 'Endless' AS notebook, '' AS "
                                "tags, 0 AS date_created, 0 AS date_updated, '' AS source_url, NULL AS latitude, "
                                "NULL AS longitude, NULL AS notebook_uid FROM n"));
    cases.push_back(SqlCase("attributes as a view of a vast cross join", sample,
                            "ALTER TABLE attrs RENAME TO attrs_rows; CREATE VIEW attrs AS SELECT a.uid, a.aid, a.afl, "
                            "a.data FROM attrs_rows a, attrs_rows b, attrs_rows c, attrs_rows d, attrs_rows e"));
    cases.push_back(SqlCase("resources as a view of 1 GB blobs", sample,
                            "ALTER TABLE resources RENAME TO resource_rows; CREATE VIEW resources AS SELECT uid, "
                            "zeroblob(1000000000) AS data FROM resource_rows"));
    cases.push_back(SqlCase("notes as a table of an unknown module", sample,
                            "DROP TABLE note_attr; INSERT INTO sqlite_master VALUES('table', 'note_attr', 'note_attr', "
                            "0, 'CREATE VIRTUAL TABLE note_attr USING nosuchmodule(uid)')"));
    cases.push_back(SqlCase("notes without rowid", sample,
                            "CREATE TABLE hostile_copy(uid, title PRIMARY KEY, author, notebook, tags, date_created, "
                            "date_updated, source_url, latitude, longitude, notebook_uid) WITHOUT ROWID; "
                            "INSERT INTO hostile_copy SELECT * FROM note_attr; DROP TABLE note_attr; "
                            "ALTER TABLE hostile_copy RENAME TO note_attr"));
    return cases;
}

}  // namespace hostile
