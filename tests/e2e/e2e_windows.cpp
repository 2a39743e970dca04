// Windows of another process: finding, reading and capturing them from the outside.
#include "e2e_windows.h"

#include <cstdio>
#include <memory>

namespace e2e {

namespace {

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
    return TRUE;
}

struct DcReleaser {
    void operator()(HDC dc) const { ::ReleaseDC(nullptr, dc); }
};
struct DcDeleter {
    void operator()(HDC dc) const { ::DeleteDC(dc); }
};
struct ObjectDeleter {
    void operator()(HGDIOBJ object) const { ::DeleteObject(object); }
};
struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

// Restores the memory DC's first bitmap before the DC and the capture bitmap go.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(::SelectObject(dc, object)) {}
    ~SelectedObject() { ::SelectObject(m_dc, m_old); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

void DescribeTree(HWND hwnd, int depth, std::vector<std::wstring>& lines) {
    wchar_t head[160];
    RECT rect = {};
    ::GetWindowRect(hwnd, &rect);
    std::swprintf(head, 160, L"%*sid=%d class=%ls %ls%ls rect=%ld,%ld,%ld,%ld text=", depth * 2, L"",
                  ::GetDlgCtrlID(hwnd), ClassOf(hwnd).c_str(), ::IsWindowVisible(hwnd) ? L"visible" : L"hidden",
                  ::IsWindowEnabled(hwnd) ? L"" : L" disabled", rect.left, rect.top, rect.right, rect.bottom);
    lines.push_back(head + TextOf(hwnd));
    for (HWND child = ::GetWindow(hwnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        DescribeTree(child, depth + 1, lines);
}

}  // namespace

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[256] = {};
    ::GetClassNameW(hwnd, name, 256);
    return name;
}

bool SendBounded(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result) {
    DWORD_PTR value = 0;
    const LRESULT sent = ::SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                                               kSendTimeoutMs, &value);
    if (result) *result = value;
    return sent != 0;
}

std::wstring TextOf(HWND hwnd) {
    // The text may change between the two calls: a buffer that came back full is read again.
    for (size_t size = 256;; size *= 4) {
        DWORD_PTR length = 0;
        if (!SendBounded(hwnd, WM_GETTEXTLENGTH, 0, 0, &length)) return std::wstring();
        if (size <= length) size = static_cast<size_t>(length) + 1;
        std::wstring text(size, L'\0');
        DWORD_PTR got = 0;
        if (!SendBounded(hwnd, WM_GETTEXT, size, reinterpret_cast<LPARAM>(&text[0]), &got)) return std::wstring();
        if (got + 1 < size) {
            text.resize(static_cast<size_t>(got));
            return text;
        }
    }
}

bool IsDialogWindow(HWND hwnd) { return ClassOf(hwnd) == L"#32770"; }

bool IsChecked(HWND button) {
    DWORD_PTR state = 0;
    return SendBounded(button, BM_GETCHECK, 0, 0, &state) && state == BST_CHECKED;
}

std::vector<HWND> TopWindowsOf(DWORD processId) {
    std::vector<HWND> all, found;
    ::EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&all));
    for (HWND hwnd : all) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(hwnd, &owner);
        if (owner == processId && ::IsWindowVisible(hwnd)) found.push_back(hwnd);
    }
    return found;
}

std::vector<HWND> Descendants(HWND parent) {
    std::vector<HWND> found;
    ::EnumChildWindows(parent, &CollectWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND FindControl(HWND parent, int id, const wchar_t* className) {
    for (HWND hwnd : Descendants(parent))
        if (::GetDlgCtrlID(hwnd) == id && (!className || _wcsicmp(ClassOf(hwnd).c_str(), className) == 0))
            return hwnd;
    return nullptr;
}

std::wstring StaticTexts(HWND dialog) {
    std::wstring all;
    for (HWND hwnd : Descendants(dialog)) {
        if (_wcsicmp(ClassOf(hwnd).c_str(), L"Static") != 0) continue;
        const LONG_PTR kind = ::GetWindowLongPtrW(hwnd, GWL_STYLE) & SS_TYPEMASK;
        if (kind == SS_ICON || kind == SS_BITMAP) continue;
        const std::wstring text = TextOf(hwnd);
        if (text.empty()) continue;
        if (!all.empty()) all += L'\n';
        all += text;
    }
    return all;
}

std::vector<std::wstring> DescribeWindows(DWORD processId) {
    std::vector<std::wstring> lines;
    for (HWND hwnd : TopWindowsOf(processId)) DescribeTree(hwnd, 0, lines);
    return lines;
}

bool CaptureWindowToBmp(HWND hwnd, const std::wstring& path) {
    RECT rect = {};
    if (!::GetWindowRect(hwnd, &rect)) return false;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;

    std::unique_ptr<HDC__, DcReleaser> screen(::GetDC(nullptr));
    if (!screen) return false;
    std::unique_ptr<HDC__, DcDeleter> memory(::CreateCompatibleDC(screen.get()));
    std::unique_ptr<void, ObjectDeleter> bitmap(::CreateCompatibleBitmap(screen.get(), width, height));
    if (!memory || !bitmap) return false;
    {
        SelectedObject selected(memory.get(), bitmap.get());
        if (!::BitBlt(memory.get(), 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY | CAPTUREBLT))
            return false;
    }

    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;  // bottom-up, as BMP files store rows
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    std::vector<unsigned char> pixels(static_cast<size_t>(stride) * height);
    if (!::GetDIBits(memory.get(), static_cast<HBITMAP>(bitmap.get()), 0, height, pixels.data(),
                     reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS))
        return false;

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::unique_ptr<FILE, FileCloser> out(_wfopen(path.c_str(), L"wb"));
    if (!out) return false;
    return std::fwrite(&file, sizeof(file), 1, out.get()) == 1 && std::fwrite(&info, sizeof(info), 1, out.get()) == 1 &&
           std::fwrite(pixels.data(), 1, pixels.size(), out.get()) == pixels.size();
}

}  // namespace e2e
