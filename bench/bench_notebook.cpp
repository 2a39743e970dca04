// Benchmark notebooks: pseudo-random but reproducible notes, pictures, attachments and tags.
#include "bench_notebook.h"

#include <cstdint>
#include <vector>

#include "exb_fixture.h"

namespace bench {

namespace {

// .exb day count of 2014-01-01: the notes are dated from there on.
const double kFirstDay = 735235.0;
const int kNotesPerTransaction = 250;

// splitmix64: fast, and good enough that the pictures do not compress.
class Random {
public:
    explicit Random(uint64_t seed) : m_state(seed) {}
    uint64_t Next() {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint64_t>(n)); }
    // size, 10% either way
    int About(int size) { return size - size / 10 + Below(size / 5 + 1); }
    std::string Bytes(size_t n) {
        std::string out(n, '\0');
        for (size_t i = 0; i < n; i += 8) {
            const uint64_t r = Next();
            for (size_t k = 0; k < 8 && i + k < n; ++k) out[i + k] = static_cast<char>(r >> (8 * k));
        }
        return out;
    }

private:
    uint64_t m_state;
};

const char* const kWords[] = {"the",     "import",  "of",      "notes",   "a",      "garden",   "meeting", "with",
                              "budget",  "travel",  "plan",    "for",     "spring", "reading",  "list",    "and",
                              "recipe",  "bread",   "project", "review",  "ideas",  "weekend",  "summary", "call",
                              "invoice", "draft",   "morning", "quarter", "sales",  "library",  "river",   "light",
                              "kitchen", "station", "market",  "letter",  "family", "building", "window",  "chapter"};

std::string Text(Random& random, size_t bytes) {
    std::string out;
    while (out.size() < bytes) {
        if (!out.empty()) out += ' ';
        out += kWords[random.Below(static_cast<int>(sizeof kWords / sizeof kWords[0]))];
    }
    return out;
}

// A PNG signature and header chunk before the noise, as a picture file starts.
std::string Picture(Random& random, int size) {
    std::string png("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
    return png + random.Bytes(static_cast<size_t>(size) - png.size());
}

std::string Pdf(Random& random, int size) {
    const std::string head = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    return head + random.Bytes(static_cast<size_t>(size) - head.size());
}

std::string Media(const char* type, const std::string& hash) {
    return "<div><en-media type=\"" + std::string(type) + "\" hash=\"" + hash + "\"/></div>";
}

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// Eight top-level tags, four below each, five below each of those: 8 + 32 + 160 = 200.
std::vector<std::string> AddTagTree(exb::ExbFixture& file, int wanted) {
    std::vector<std::string> tags;
    for (int a = 1; a <= 8 && static_cast<int>(tags.size()) < wanted; ++a) {
        const std::string area = "Area " + std::to_string(a);
        const long long areaUid = file.AddTag(Wide(area));
        tags.push_back(area);
        for (int t = 1; t <= 4 && static_cast<int>(tags.size()) < wanted; ++t) {
            const std::string topic = "Topic " + std::to_string(a) + "." + std::to_string(t);
            const long long topicUid = file.AddTag(Wide(topic), areaUid);
            tags.push_back(topic);
            for (int i = 1; i <= 5 && static_cast<int>(tags.size()) < wanted; ++i) {
                const std::string item =
                    "Item " + std::to_string(a) + "." + std::to_string(t) + "." + std::to_string(i);
                file.AddTag(Wide(item), topicUid);
                tags.push_back(item);
            }
        }
    }
    return tags;
}

}  // namespace

bool WriteBenchNotebook(const std::wstring& path, const NotebookShape& shape, unsigned seed, NotebookTotals* totals,
                        std::string* error) {
    NotebookTotals counted;
    Random random(seed * 0x100000001B3ull + 1);
    exb::ExbFixture file(path);
    // A file made once for measuring: no journal to keep it safe while it is written.
    file.Exec("PRAGMA journal_mode=OFF");
    file.Exec("PRAGMA synchronous=OFF");
    file.Exec("BEGIN");

    const std::vector<std::string> tags = AddTagTree(file, shape.tags);
    counted.tags = static_cast<long long>(tags.size());

    static const wchar_t* const kStacks[] = {L"Personal", L"Work", L"Projects"};
    struct Notebook {
        std::wstring name;
        long long uid;
    };
    std::vector<Notebook> notebooks;
    for (int i = 0; i < shape.notebooks; ++i) {
        const std::wstring name = L"Notebook " + std::to_wstring(i + 1);
        notebooks.push_back({name, file.AddNotebook(name, kStacks[i % 3])});
    }

    for (int n = 0; n < shape.notes; ++n) {
        if (n > 0 && n % kNotesPerTransaction == 0) {
            file.Exec("COMMIT");
            file.Exec("BEGIN");
        }
        const Notebook& notebook = notebooks[static_cast<size_t>(n) % notebooks.size()];
        std::vector<std::string> pictures;
        for (int i = 0; i < shape.imagesPerNote; ++i)
            pictures.push_back(Picture(random, random.About(shape.imageBytes)));
        const bool attached = shape.attachmentEvery > 0 && n % shape.attachmentEvery == shape.attachmentEvery - 1;
        const std::string pdf = attached ? Pdf(random, random.About(shape.attachmentBytes)) : std::string();

        std::string page = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
                           "</head><body><h1>Note " + std::to_string(n + 1) + "</h1>";
        const size_t paragraph = static_cast<size_t>(shape.bodyBytes) / 4;
        for (size_t i = 0; i < 4; ++i) {
            page += "<p>" + Text(random, paragraph - 7) + "</p>";
            if (i < pictures.size()) page += Media("image/png", exb::Md5Hex(pictures[i]));
        }
        if (attached) page += Media("application/pdf", exb::Md5Hex(pdf));
        page += "</body></html>";

        exb::Note note;
        note.title = L"Note " + std::to_wstring(n + 1) + L": " + Wide(Text(random, 24));
        note.author = L"Bench Writer";
        note.notebook = notebook.name;
        note.notebookUid = notebook.uid;
        for (int t = 0; t < shape.tagsPerNote && !tags.empty(); ++t) {
            if (t) note.tags += L", ";
            note.tags += Wide(tags[static_cast<size_t>(random.Below(static_cast<int>(tags.size())))]);
        }
        note.dateCreated = kFirstDay + n * 0.25 + 0.375;
        note.dateUpdated = note.dateCreated + 1.5;
        if (n % 3 == 0) note.sourceUrl = L"https://example.com/articles/" + std::to_wstring(n + 1);
        if (n % 5 == 0) {
            note.latitude = 40.0 + random.Below(1000) / 100.0;
            note.longitude = 10.0 + random.Below(1000) / 100.0;
        }
        note.body = page;
        const long long uid = file.AddNote(note);
        counted.bodyBytes += static_cast<long long>(page.size());

        for (size_t i = 0; i < pictures.size(); ++i) {
            exb::Resource picture;
            picture.note = uid;
            picture.fileName = L"photo " + std::to_wstring(n + 1) + L"-" + std::to_wstring(i + 1) + L".png";
            picture.width = 640;
            picture.height = 480;
            picture.data = pictures[i];
            file.AddResource(picture);
            counted.blobBytes += static_cast<long long>(picture.data.size());
            ++counted.images;
        }
        if (attached) {
            file.AddAttachment(uid, L"report " + std::to_wstring(n + 1) + L".pdf", pdf,
                               L"https://example.com/files/" + std::to_wstring(n + 1) + L".pdf");
            counted.blobBytes += static_cast<long long>(pdf.size());
            ++counted.attachments;
        }
        ++counted.notes;
        if (!file.ok()) break;
    }
    file.Exec("COMMIT");
    file.Close();
    if (!file.ok()) {
        if (error) *error = file.error();
        return false;
    }
    if (totals) *totals = counted;
    return true;
}

}  // namespace bench
