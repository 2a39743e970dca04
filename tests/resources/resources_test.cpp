// The importer's resources as the program finds them at run time: dialogs, strings, icon, version, manifest.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "resource.h"

namespace {

const WORD kEnglishUS = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
const WORD kChineseSimplified = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);

struct Bytes {
    const BYTE* data = nullptr;
    DWORD size = 0;
};

Bytes FindBytes(LPCWSTR type, UINT id, WORD language) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceExW(module, type, MAKEINTRESOURCEW(id), language);
    if (!found) return {};
    return {static_cast<const BYTE*>(LockResource(LoadResource(module, found))),
            SizeofResource(module, found)};
}

// Reads a DLGTEMPLATEEX; every read is bounds-checked so a broken template fails the test, not the run.
class TemplateReader {
public:
    explicit TemplateReader(Bytes b) : m_b(b) {}
    bool ok() const { return m_ok; }
    template <class T> T Get() {
        T v{};
        if (m_pos + sizeof(T) > m_b.size) { m_ok = false; return v; }
        memcpy(&v, m_b.data + m_pos, sizeof(T));
        m_pos += sizeof(T);
        return v;
    }
    // A name or an ordinal; ordinals come back as "#n".
    std::wstring NameOrOrdinal() {
        WORD first = Get<WORD>();
        if (first == 0xFFFF) return L"#" + std::to_wstring(Get<WORD>());
        std::wstring s;
        for (WORD c = first; m_ok && c != 0; c = Get<WORD>()) s += static_cast<wchar_t>(c);
        return s;
    }
    void AlignDword() { m_pos = (m_pos + 3) & ~size_t(3); }
    void Skip(size_t n) { m_pos += n; }

private:
    Bytes m_b;
    size_t m_pos = 0;
    bool m_ok = true;
};

struct Control {
    int id;
    const wchar_t* cls;   // as the template stores it: "#128" button, "#129" edit, "#130" static
    const wchar_t* text;  // "#128": the icon
    DWORD style;
    short x, y, cx, cy;
};

struct Dialog {
    UINT id;
    DWORD style, exStyle;
    short cx, cy;
    const wchar_t* caption;
    std::vector<Control> controls;
};

const DWORD kChild = WS_CHILD | WS_VISIBLE;
const DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS;

const Dialog kDialogs[] = {
    {IDD_BRELMEVERNOTE_DIALOG, kDialogStyle | WS_VISIBLE, WS_EX_APPWINDOW, 320, 138, L"Import Evernote To Brelm",
     {{-1, L"#130", L"&Evernote Notebook File:", kChild | WS_GROUP | SS_LEFT, 7, 7, 192, 8},
      {IDC_EDIT_FILE, L"#129", L"", kChild | WS_BORDER | WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL, 7, 20, 306, 14},
      {IDC_BUTTON_BROWSE, L"#128", L"&Browse...", kChild | WS_TABSTOP | BS_PUSHBUTTON, 263, 39, 50, 14},
      {IDC_CHECK_CREATE_EVERNOTE_FOLDER, L"#128", L"Create [Evernote] folder",
       kChild | WS_TABSTOP | BS_AUTOCHECKBOX, 7, 61, 153, 10},
      {IDC_STATIC_STATUS, L"#130", L"", kChild | WS_GROUP | SS_LEFT, 7, 74, 306, 8},
      {IDC_PROGRESS_IMPORT, L"msctls_progress32", L"", kChild | WS_BORDER, 7, 89, 306, 14},
      {IDOK, L"#128", L"OK", kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, 209, 117, 50, 14},
      {IDCANCEL, L"#128", L"Cancel", kChild | WS_TABSTOP | BS_PUSHBUTTON, 263, 117, 50, 14}}},
    {IDD_ABOUTBOX, kDialogStyle, 0, 170, 62, L"About BrelmEvernote",
     {{-1, L"#130", L"#128", kChild | SS_ICON, 14, 14, 20, 20},
      {-1, L"#130", L"BrelmEvernote, Version 1.0", kChild | WS_GROUP | SS_NOPREFIX, 42, 14, 114, 8},
      {-1, L"#130", L"Evernote notebooks into Brelm", kChild | WS_GROUP, 42, 26, 114, 8},
      {IDOK, L"#128", L"OK", kChild | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, 113, 41, 50, 14}}},
};

// Window class a template class stands for.
std::wstring WindowClass(const wchar_t* cls) {
    if (!wcscmp(cls, L"#128")) return L"Button";
    if (!wcscmp(cls, L"#129")) return L"Edit";
    if (!wcscmp(cls, L"#130")) return L"Static";
    return cls;
}

TEST(Resources, DialogTemplatesHoldTheLayout) {
    for (const Dialog& d : kDialogs) {
        SCOPED_TRACE(d.id);
        TemplateReader r(FindBytes(RT_DIALOG, d.id, kEnglishUS));
        EXPECT_EQ(1, r.Get<WORD>());
        EXPECT_EQ(0xFFFF, r.Get<WORD>());
        r.Get<DWORD>();  // help id
        EXPECT_EQ(d.exStyle, r.Get<DWORD>());
        EXPECT_EQ(d.style, r.Get<DWORD>());
        EXPECT_EQ(d.controls.size(), r.Get<WORD>());
        EXPECT_EQ(0, r.Get<short>());
        EXPECT_EQ(0, r.Get<short>());
        EXPECT_EQ(d.cx, r.Get<short>());
        EXPECT_EQ(d.cy, r.Get<short>());
        EXPECT_EQ(L"", r.NameOrOrdinal());  // menu
        EXPECT_EQ(L"", r.NameOrOrdinal());  // window class
        EXPECT_EQ(d.caption, r.NameOrOrdinal());
        EXPECT_EQ(8, r.Get<WORD>());
        EXPECT_EQ(0, r.Get<WORD>());  // weight
        EXPECT_EQ(0, r.Get<BYTE>());  // italic
        EXPECT_EQ(DEFAULT_CHARSET, r.Get<BYTE>());
        EXPECT_EQ(L"MS Shell Dlg", r.NameOrOrdinal());
        for (const Control& c : d.controls) {
            SCOPED_TRACE(c.id);
            r.AlignDword();
            r.Get<DWORD>();  // help id
            EXPECT_EQ(0u, r.Get<DWORD>());
            EXPECT_EQ(c.style, r.Get<DWORD>());
            short pos[4] = {r.Get<short>(), r.Get<short>(), r.Get<short>(), r.Get<short>()};
            EXPECT_EQ((std::vector<short>{c.x, c.y, c.cx, c.cy}), std::vector<short>(pos, pos + 4));
            EXPECT_EQ(c.id, r.Get<int>());
            // Class names compare as the system compares them: without regard to case.
            EXPECT_EQ(0, _wcsicmp(c.cls, r.NameOrOrdinal().c_str()));
            EXPECT_EQ(c.text, r.NameOrOrdinal());
            r.Skip(r.Get<WORD>());
        }
        EXPECT_TRUE(r.ok());
    }
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

TEST(Resources, DialogsCreateWithEveryControl) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_PROGRESS_CLASS};
    ASSERT_TRUE(InitCommonControlsEx(&icc));
    for (const Dialog& d : kDialogs) {
        SCOPED_TRACE(d.id);
        HWND dlg = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(d.id), nullptr,
                                      QuietDialogProc, 0);
        ASSERT_TRUE(dlg);
        wchar_t text[256];
        GetWindowTextW(dlg, text, 256);
        EXPECT_STREQ(d.caption, text);
        EXPECT_EQ((d.style & WS_VISIBLE) != 0, IsWindowVisible(dlg) != FALSE);
        // Z order is template order, which is also the tab order.
        HWND child = GetWindow(dlg, GW_CHILD);
        for (const Control& c : d.controls) {
            SCOPED_TRACE(c.id);
            ASSERT_TRUE(child);
            EXPECT_EQ(c.id, static_cast<int>(static_cast<short>(GetDlgCtrlID(child))));
            GetClassNameW(child, text, 256);
            EXPECT_EQ(0, _wcsicmp(WindowClass(c.cls).c_str(), text));
            if (c.text[0] == L'#') {
                EXPECT_TRUE(SendMessageW(child, STM_GETICON, 0, 0));
            } else {
                const bool isStatic = _wcsicmp(text, L"Static") == 0;
                GetWindowTextW(child, text, 256);
                EXPECT_STREQ(c.text, text);
                // A text line is cut where its control ends: it must fit in the dialog's font.
                if (isStatic) {
                    HDC dc = GetDC(child);
                    HGDIOBJ font = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(child, WM_GETFONT, 0, 0)));
                    RECT needed{}, client{};
                    const UINT prefix = (c.style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
                    DrawTextW(dc, text, -1, &needed, DT_CALCRECT | DT_SINGLELINE | prefix);
                    SelectObject(dc, font);
                    ReleaseDC(child, dc);
                    GetClientRect(child, &client);
                    EXPECT_LE(needed.right, client.right) << "\"" << text << "\" does not fit";
                }
            }
            const DWORD kept = WS_VISIBLE | WS_TABSTOP | WS_GROUP | 0xFFFF;
            EXPECT_EQ(c.style & kept, static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE)) & kept);
            child = GetWindow(child, GW_HWNDNEXT);
        }
        EXPECT_FALSE(child);
        if (d.id == IDD_BRELMEVERNOTE_DIALOG) {
            EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(dlg, IDC_CHECK_CREATE_EVERNOTE_FOLDER));
        }
        DestroyWindow(dlg);
    }
}

TEST(Resources, StringTableTextsAreExact) {
    const std::pair<UINT, const wchar_t*> strings[] = {
        {IDS_ABOUTBOX, L"&About BrelmEvernote..."},
        {IDS_EXB_FILE_FILTER, L"Evernote Notebook File (*.exb)|*.exb|"},
        {IDS_FAILED_TO_CREATE_DATABASE_OBJECT, L"Failed to create database object"},
        {IDS_FILE_DOES_NOT_EXIST, L"File does not exists:\n\n%1"},
        {IDS_CANNOT_OPEN_DATABASE, L"Can't open database:\n\n%1"},
        {IDS_CANNOT_QUERY_DATABASE, L"Can't query database:\n\n%1"},
        {IDS_CANNOT_GET_FIELD_VALUE, L"Can't get field value."},
        {IDS_CANNOT_GET_FIELD_DATA, L"Can't get field data."},
        {IDS_FAILED_TO_CREATE_FOLDER, L"Failed to create folder:\n\n%1"},
        {IDS_FAILED_TO_CREATE_DOCUMENT, L"Failed to create document:\n\n%1"},
        {IDS_FAILED_TO_SAVE_DOCUMENT, L"Failed to save document:\n\n%1"},
        {IDS_IMPORT_COMPLETED, L"Import completed"},
    };
    for (const auto& [id, expected] : strings) {
        const wchar_t* p = nullptr;
        int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&p), 0);
        EXPECT_EQ(expected, std::wstring(p ? p : L"", std::max(length, 0))) << id;
    }
}

TEST(Resources, IconGroupHasThirteenImagesThatLoad) {
    Bytes group = FindBytes(RT_GROUP_ICON, IDR_MAINFRAME, kChineseSimplified);
    ASSERT_GE(group.size, 6u);
    WORD header[3];
    memcpy(header, group.data, sizeof(header));
    EXPECT_EQ(0, header[0]);
    EXPECT_EQ(1, header[1]);
    ASSERT_EQ(13, header[2]);
    ASSERT_EQ(6u + 13 * 14, group.size);
    std::multiset<std::pair<int, int>> images;
    for (int n = 0; n < 13; ++n) {
        const BYTE* e = group.data + 6 + 14 * n;  // width, height, colours, reserved, planes, bits, size, id
        int size = e[0] ? e[0] : 256;
        WORD bits, id;
        DWORD bytes;
        memcpy(&bits, e + 6, 2);
        memcpy(&bytes, e + 8, 4);
        memcpy(&id, e + 12, 2);
        SCOPED_TRACE(id);
        EXPECT_EQ(e[0], e[1]);
        EXPECT_EQ(bits == 4 ? 16 : 0, e[2]);
        images.insert({size, bits});
        Bytes image = FindBytes(RT_ICON, id, kChineseSimplified);
        ASSERT_EQ(bytes, image.size);
        if (size == 256 && memcmp(image.data, "\x89PNG", 4) == 0) {
            const BYTE* w = image.data + 16;  // IHDR width, big-endian
            EXPECT_EQ(256, w[0] << 24 | w[1] << 16 | w[2] << 8 | w[3]);
        } else {
            BITMAPINFOHEADER bih;
            memcpy(&bih, image.data, sizeof(bih));
            EXPECT_EQ(size, bih.biWidth);
            EXPECT_EQ(2 * size, bih.biHeight);
            EXPECT_EQ(bits, bih.biBitCount);
        }
        HICON icon = CreateIconFromResourceEx(const_cast<BYTE*>(image.data), image.size, TRUE, 0x00030000,
                                              size, size, LR_DEFAULTCOLOR);
        EXPECT_TRUE(icon);
        if (icon) DestroyIcon(icon);
    }
    std::multiset<std::pair<int, int>> expected = {{256, 32}};
    for (int size : {48, 32, 24, 16})
        for (int bits : {4, 8, 32}) expected.insert({size, bits});
    EXPECT_EQ(expected, images);
    EXPECT_TRUE(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME)));
}

TEST(Resources, LanguagesAreEnglishExceptTheIcon) {
    const std::pair<LPCWSTR, UINT> english[] = {
        {RT_DIALOG, IDD_ABOUTBOX}, {RT_DIALOG, IDD_BRELMEVERNOTE_DIALOG}, {RT_STRING, IDS_ABOUTBOX / 16 + 1},
        {RT_STRING, IDS_IMPORT_COMPLETED / 16 + 1}, {RT_VERSION, 1}, {RT_MANIFEST, 1}};
    for (const auto& [type, id] : english) EXPECT_TRUE(FindBytes(type, id, kEnglishUS).data) << id;
    EXPECT_FALSE(FindBytes(RT_GROUP_ICON, IDR_MAINFRAME, kEnglishUS).data);
    for (UINT id = 1; id <= 13; ++id) EXPECT_TRUE(FindBytes(RT_ICON, id, kChineseSimplified).data) << id;
}

std::wstring VersionText(const std::vector<BYTE>& block, const wchar_t* name) {
    void* p = nullptr;
    UINT length = 0;
    std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(block.data(), path.c_str(), &p, &length) || !p) return L"(missing)";
    return static_cast<const wchar_t*>(p);
}

TEST(Resources, VersionBlockNamesTheProduct) {
    wchar_t path[MAX_PATH];
    ASSERT_TRUE(GetModuleFileNameW(nullptr, path, MAX_PATH));
    DWORD size = GetFileVersionInfoSizeW(path, nullptr);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, block.data()));
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &length));
    EXPECT_EQ(0x00010000u, info->dwFileVersionMS);
    EXPECT_EQ(0x00000001u, info->dwFileVersionLS);
    EXPECT_EQ(0x00010000u, info->dwProductVersionMS);
    EXPECT_EQ(0x00000001u, info->dwProductVersionLS);
    EXPECT_EQ(L"Kelvane", VersionText(block, L"CompanyName"));
    EXPECT_EQ(L"Brelm", VersionText(block, L"ProductName"));
    EXPECT_EQ(L"1.0.0.1", VersionText(block, L"FileVersion"));
    EXPECT_EQ(L"1.0.0.1", VersionText(block, L"ProductVersion"));
    EXPECT_EQ(L"BrelmEverNote.exe", VersionText(block, L"OriginalFilename"));
}

TEST(Resources, ManifestBringsCommonControlsSix) {
    Bytes manifest = FindBytes(RT_MANIFEST, 1, kEnglishUS);
    ASSERT_TRUE(manifest.data);
    std::string xml(reinterpret_cast<const char*>(manifest.data), manifest.size);
    for (const char* part : {"name=\"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\"",
                             "processorArchitecture=\"*\"", "publicKeyToken=\"6595b64144ccf1df\"",
                             "level=\"asInvoker\"", "uiAccess=\"false\"", ">true</dpiAware>"})
        EXPECT_NE(std::string::npos, xml.find(part)) << part;
    // The loader read the manifest: the common controls came from the side-by-side store, in version 6.
    HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
    ASSERT_TRUE(comctl);
    wchar_t path[MAX_PATH];
    ASSERT_TRUE(GetModuleFileNameW(comctl, path, MAX_PATH));
    EXPECT_TRUE(StrStrIW(path, L"microsoft.windows.common-controls_6595b64144ccf1df_6.")) << path;
}

}  // namespace
