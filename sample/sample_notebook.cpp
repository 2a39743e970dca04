// The sample notebook's content: notebooks in stacks and one without, a tag tree, notes with
// pictures, attachments, a map location and names that need cleaning.
#include "sample_notebook.h"

#include "exb_fixture.h"
#include "png_image.h"

namespace sample {

namespace {

// The .exb day count of 1970-01-01.
const double kExbUnixEpoch = 719163.0;

long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

// Evernote keeps the body as an HTML page in UTF-8.
std::string Page(const std::string& body) {
    return "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\"></head>"
           "<body>" + body + "</body></html>";
}

std::string Media(const std::string& hash) {
    return "<en-media type=\"image/png\" hash=\"" + hash + "\"/>";
}

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

exb::Resource Picture(long long note, const std::wstring& fileName, const std::string& png, int size) {
    exb::Resource resource;
    resource.note = note;
    resource.fileName = fileName;
    resource.data = png;
    resource.width = resource.height = size;
    return resource;
}

}  // namespace

double ExbDate(int year, int month, int day, int hour, int minute) {
    return kExbUnixEpoch + static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month),
                                                             static_cast<unsigned>(day))) +
           (hour * 60 + minute) / 1440.0;
}

std::string BreadPicture() {
    return MakePng(24, 24, [](int x, int y) -> uint32_t {
        const int dx = x - 12, dy = y - 13;
        if (dx * dx + 2 * dy * dy < 110) return (y < 9 && x % 5 == 2) ? 0xE8C28Au : 0xB5742Eu;
        return 0xFFF6E0u;
    });
}

std::string DessertPicture() {
    return MakePng(20, 20, [](int x, int y) -> uint32_t {
        if (y < 6) return 0xFFFFFFu;
        if (y < 9) return 0x9C5A1Eu;  // the burnt sugar
        return (x + y) % 7 == 0 ? 0xF3D98Bu : 0xF7E7A6u;
    });
}

std::string ColosseumPicture() {
    return MakePng(32, 20, [](int x, int y) -> uint32_t {
        if (y < 6) return 0x7EC8F2u;
        if (y >= 17) return 0x8E8E7Cu;
        return (x % 4 == 1 && y % 4 != 0) ? 0x5B3A22u : 0xD9A066u;  // arches in the wall
    });
}

std::string ChartPicture() {
    return MakePng(24, 16, [](int x, int y) -> uint32_t {
        static const int heights[] = {5, 9, 7, 13};
        const int bar = x / 6, inBar = x % 6;
        if (inBar >= 1 && inBar <= 4 && 16 - y <= heights[bar]) return bar % 2 ? 0x2E7D32u : 0x1565C0u;
        return 0xFFFFFFu;
    });
}

std::string ItineraryPdf() {
    return "%PDF-1.4\n"
           "1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj\n"
           "2 0 obj << /Type /Pages /Kids [3 0 R] /Count 1 >> endobj\n"
           "3 0 obj << /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] >> endobj\n"
           "trailer << /Root 1 0 R >>\n"
           "%%EOF\n";
}

std::string ShoppingListText() { return "milk\r\neggs\r\nflour (1 kg)\r\nlemons\r\n"; }

bool WriteSampleNotebook(const std::wstring& path, std::string* error) {
    exb::ExbFixture file(path);

    // Tags, three levels deep; "todo" is there twice in different letter cases.
    const long long food = file.AddTag(L"Food");
    const long long baking = file.AddTag(L"Baking", food);
    file.AddTag(L"Bread", baking);
    const long long places = file.AddTag(L"Places");
    const long long europe = file.AddTag(L"Europe", places);
    file.AddTag(L"Italy", europe);
    file.AddTag(L"todo");
    const long long work = file.AddTag(L"Work");
    file.AddTag(L"Todo", work);

    // Notebooks: two in the stack Home, one in the stack Work, one without a stack.
    const long long recipes = file.AddNotebook(L"Recipes", L"Home");
    const long long travel = file.AddNotebook(L"Travel", L"Home");
    const long long reading = file.AddNotebook(L"Reading/Articles: 2024", L"Work");
    const long long inbox = file.AddNotebook(L"Inbox");

    exb::Note note;
    note.author = L"Ann Example";

    note.title = L"Sourdough bread";
    note.notebook = L"Recipes";
    note.notebookUid = recipes;
    note.tags = L"Bread, Baking";
    note.dateCreated = ExbDate(2023, 3, 4, 9, 15);
    note.dateUpdated = ExbDate(2023, 3, 5, 18, 40);
    note.sourceUrl = L"https://example.com/recipes/sourdough";
    note.body = Page("<h1>Sourdough bread</h1><p>Feed the starter the night before; it&apos;s ready when it "
                     "bubbles.</p><div>" + Media(exb::Md5Hex(BreadPicture())) + "</div><p>Bake 40 minutes at 230 "
                     "&deg;C.</p>");
    const long long sourdough = file.AddNote(note);
    file.AddResource(Picture(sourdough, L"bread.png", BreadPicture(), 24));

    note.title = L"Cr\u00E8me br\u00FBl\u00E9e";
    note.tags = L"Food";
    note.dateCreated = ExbDate(2023, 6, 18, 20, 5);
    note.dateUpdated = ExbDate(2023, 6, 18, 20, 5);
    note.sourceUrl = L"";
    // The hash written in capitals, as some clients do.
    note.body = Page("<p>Cr\xC3\xA8me br\xC3\xBBl\xC3\xA9\x65: cream, vanilla, egg yolks, sugar.</p>" +
                     Media(Upper(exb::Md5Hex(DessertPicture()))));
    const long long dessert = file.AddNote(note);
    file.AddResource(Picture(dessert, L"creme-brulee.png", DessertPicture(), 20));

    note.title = L"Rome, day one";
    note.notebook = L"Travel";
    note.notebookUid = travel;
    note.tags = L"Italy,Europe";
    note.dateCreated = ExbDate(2024, 4, 21, 7, 30);
    note.dateUpdated = ExbDate(2024, 4, 22, 21, 0);
    note.sourceUrl = L"https://example.com/travel/rome";
    note.latitude = 41.8902;
    note.longitude = 12.4922;
    note.body = Page("<p>Morning at the Colosseum, lunch in Monti.</p>" + Media(exb::Md5Hex(ColosseumPicture())) +
                     "<p>Tickets and hotel: see the itinerary.</p>");
    const long long rome = file.AddNote(note);
    file.AddResource(Picture(rome, L"colosseum.png", ColosseumPicture(), 32));
    file.AddAttachment(rome, L"itinerary.pdf", ItineraryPdf(), L"https://example.com/files/rome-itinerary.pdf");
    note.latitude.reset();
    note.longitude.reset();

    // A notebook name with a slash and a picture whose file name is not a valid file name.
    note.title = L"Reading list";
    note.notebook = L"Reading/Articles: 2024";
    note.notebookUid = reading;
    note.tags = L"todo";
    note.dateCreated = ExbDate(2024, 1, 9, 12, 0);
    note.dateUpdated = ExbDate(2024, 2, 1, 8, 45);
    note.sourceUrl = L"https://example.com/reading";
    note.body = Page("<ul><li>How SQLite works</li><li>Designing data-intensive applications</li></ul>"
                     "<p>Sales per quarter:</p>" + Media(exb::Md5Hex(ChartPicture())));
    const long long list = file.AddNote(note);
    file.AddResource(Picture(list, L"Q1/Q2 chart: sales?.png", ChartPicture(), 24));

    // No stack, no tags, never updated; a text file that counts as an attachment by its type.
    note.title = L"Groceries";
    note.notebook = L"Inbox";
    note.notebookUid = inbox;
    note.tags = L"";
    note.dateCreated = ExbDate(2024, 5, 2, 16, 20);
    note.dateUpdated = 0;
    note.sourceUrl = L"";
    note.body = Page("<p>For the weekend, see the list.</p>");
    const long long groceries = file.AddNote(note);
    exb::Resource text;
    text.note = groceries;
    text.fileName = L"shopping list.txt";
    text.mime = L"text/plain";
    text.data = ShoppingListText();
    text.sourceUrl = L"https://example.com/lists/weekend";
    file.AddResource(text);

    file.Close();
    if (!file.ok()) {
        if (error) *error = file.error();
        return false;
    }
    return true;
}

}  // namespace sample
