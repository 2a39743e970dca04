// e2e_driver: runs BrelmEverNote.exe as a user would and reports what it saw, one "key: value" per line.
//
//   e2e_driver [--file=PATH] [--check] [--about] [--screenshot=BMP] [--remove-before-ok]
//              [--close-during-import] [--timeout=SECONDS] -- PROGRAM [PROGRAM ARGUMENTS...]
//
// It starts the program, answers every message box (recording its text), opens the About box from
// the system menu when asked, picks PATH with Browse in the Open dialog, ticks the check box when
// asked, presses OK and watches the import (with what the dialog shows when each message box comes
// up; asked to, it closes the dialog from its system menu as soon as the import shows a note or a
// box); a dialog that stays open afterwards is closed with Cancel. Values are escaped (\n for a line end, \\ for a backslash). Every wait is bounded: when
// the time is up the program is killed. Exit code 0 when every step could be taken, 2 otherwise.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "e2e_handle.h"
#include "e2e_text.h"
#include "e2e_windows.h"

namespace {

using namespace e2e;

const int kIdEditFile = 1000;
const int kIdBrowse = 1001;
const int kIdProgress = 1002;
const int kIdStatus = 1003;
const int kIdCheckEvernoteFolder = 1006;
const int kIdAboutCommand = 0x10;
// The file-name field of the shell's Open dialog.
const int kIdOpenFileName = 1152;

const DWORD kPollMs = 10;
// With no message box for this long and the controls enabled again, the import has returned.
const DWORD kSettleMs = 700;
// The dialog needs a moment to paint a new status text before it is captured.
const DWORD kPaintMs = 40;
// A box moved off the dialog: time for the dialog to paint what the box covered.
const DWORD kUncoverMs = 300;

struct Options {
    std::wstring file;
    bool check = false;
    bool about = false;
    bool removeBeforeOk = false;
    bool closeDuringImport = false;
    std::wstring screenshot;
    DWORD timeoutMs = 60000;
    std::wstring program;
    std::wstring arguments;
};

void Say(const char* key, const std::wstring& value) {
    const std::string line = std::string(key) + ": " + EscapeLine(value) + "\n";
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

bool StartsWith(const std::wstring& text, const wchar_t* prefix) { return text.rfind(prefix, 0) == 0; }

// Arguments after "--" are handed on joined by single spaces and unquoted: the program reads
// "/Name=value" items split at " /", so a value may hold spaces but no quotation marks.
bool ParseOptions(int argc, wchar_t** argv, Options& options) {
    int i = 1;
    for (; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--") break;
        if (StartsWith(arg, L"--file=")) options.file = arg.substr(7);
        else if (arg == L"--check") options.check = true;
        else if (arg == L"--about") options.about = true;
        else if (arg == L"--remove-before-ok") options.removeBeforeOk = true;
        else if (arg == L"--close-during-import") options.closeDuringImport = true;
        else if (StartsWith(arg, L"--screenshot=")) options.screenshot = arg.substr(13);
        else if (StartsWith(arg, L"--timeout=")) options.timeoutMs = static_cast<DWORD>(_wtoi(arg.c_str() + 10)) * 1000;
        else return false;
    }
    if (++i >= argc) return false;
    options.program = argv[i];
    for (++i; i < argc; ++i) {
        if (!options.arguments.empty()) options.arguments += L' ';
        options.arguments += argv[i];
    }
    return options.timeoutMs > 0;
}

// Thrown when a step cannot be taken in time; Run reports it and kills the program.
struct StepFailed {
    std::wstring what;
};

class Driver {
public:
    explicit Driver(const Options& options) : m_options(options) {}

    int Run() {
        if (!Start()) return 2;
        try {
            Drive();
            WaitForExit();
            Say("driver", L"done");
            return 0;
        } catch (const StepFailed& failure) {
            Say("failed", failure.what);
            for (const std::wstring& line : DescribeWindows(m_processId)) Say("window", line);
            ::TerminateProcess(m_process.Get(), 99);
            ::WaitForSingleObject(m_process.Get(), 5000);
            Say("exit", L"killed");
            return 2;
        }
    }

private:
    bool Start() {
        std::wstring commandLine = L"\"" + m_options.program + L"\"";
        if (!m_options.arguments.empty()) commandLine += L" " + m_options.arguments;
        Say("command", commandLine);
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info = {};
        if (!::CreateProcessW(m_options.program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &info)) {
            Say("failed", L"the program did not start, error " + std::to_wstring(::GetLastError()));
            return false;
        }
        m_process.Reset(info.hProcess);
        ::CloseHandle(info.hThread);
        m_processId = info.dwProcessId;
        m_start = ::GetTickCount();
        return true;
    }

    DWORD Elapsed() const { return ::GetTickCount() - m_start; }
    bool Exited() const { return ::WaitForSingleObject(m_process.Get(), 0) == WAIT_OBJECT_0; }

    void Pause(const wchar_t* waitingFor) {
        if (Elapsed() > m_options.timeoutMs) throw StepFailed{std::wstring(L"timeout waiting for ") + waitingFor};
        ::Sleep(kPollMs);
    }

    bool IsMainDialog(HWND hwnd) const {
        return IsDialogWindow(hwnd) && FindControl(hwnd, kIdBrowse) && FindControl(hwnd, kIdEditFile);
    }

    // Visible dialogs of the program other than the main dialog and the ones passed.
    std::vector<HWND> OtherDialogs(HWND except1 = nullptr, HWND except2 = nullptr) const {
        std::vector<HWND> found;
        for (HWND hwnd : TopWindowsOf(m_processId))
            if (IsDialogWindow(hwnd) && hwnd != m_main && hwnd != except1 && hwnd != except2 && !IsMainDialog(hwnd))
                found.push_back(hwnd);
        return found;
    }

    void WaitGone(HWND hwnd, const wchar_t* what) {
        while (::IsWindow(hwnd) && ::IsWindowVisible(hwnd)) Pause(what);
    }

    // Records the box's text and presses its OK button.
    void AnswerMessageBox(HWND box) {
        Say("message", StaticTexts(box));
        Say("message-caption", TextOf(box));
        ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        WaitGone(box, L"a message box to close");
    }

    HWND Control(int id) const { return FindControl(m_main, id); }
    bool MainAlive() const { return ::IsWindow(m_main) && ::IsWindowVisible(m_main); }

    std::wstring Progress() const {
        DWORD_PTR position = 0, high = 0;
        SendBounded(Control(kIdProgress), PBM_GETPOS, 0, 0, &position);
        SendBounded(Control(kIdProgress), PBM_GETRANGE, FALSE, 0, &high);
        return std::to_wstring(position) + L"/" + std::to_wstring(high);
    }

    void SayState(const char* prefix) {
        const auto enabled = [this](int id) { return ::IsWindowEnabled(Control(id)) ? L"enabled" : L"disabled"; };
        const std::string p(prefix);
        Say((p + "-controls").c_str(), std::wstring(L"browse=") + enabled(kIdBrowse) + L" ok=" + enabled(IDOK) +
                                           L" cancel=" + enabled(IDCANCEL) + L" check=" + enabled(kIdCheckEvernoteFolder));
        Say((p + "-check").c_str(), IsChecked(Control(kIdCheckEvernoteFolder)) ? L"ticked" : L"unticked");
        Say((p + "-file").c_str(), TextOf(Control(kIdEditFile)));
        Say((p + "-status").c_str(), TextOf(Control(kIdStatus)));
        Say((p + "-progress").c_str(), Progress());
    }

    void Drive() {
        // Start-up: message boxes until the dialog shows, or the program ends.
        while (!m_main) {
            if (Exited()) return;
            for (HWND hwnd : TopWindowsOf(m_processId)) {
                if (IsMainDialog(hwnd)) m_main = hwnd;
                else if (IsDialogWindow(hwnd)) AnswerMessageBox(hwnd);
            }
            if (!m_main) Pause(L"the dialog");
        }
        Say("dialog", TextOf(m_main));
        SayState("initial");

        if (m_options.about) OpenAbout();
        if (m_options.file.empty()) {
            Cancel();
            return;
        }
        PickFile();
        if (m_options.removeBeforeOk) {
            Say("removed", m_options.file);
            ::DeleteFileW(m_options.file.c_str());
        }
        if (m_options.check) {
            ::PostMessageW(Control(kIdCheckEvernoteFolder), BM_CLICK, 0, 0);
            while (!IsChecked(Control(kIdCheckEvernoteFolder))) Pause(L"the check box to be ticked");
            Say("check", L"ticked");
        }
        if (!::IsWindowEnabled(Control(IDOK))) throw StepFailed{L"OK is disabled after the file was picked"};
        Say("pressed", L"OK at " + std::to_wstring(Elapsed()) + L" ms");
        ::PostMessageW(Control(IDOK), BM_CLICK, 0, 0);
        WatchImport();
    }

    void OpenAbout() {
        ::PostMessageW(m_main, WM_SYSCOMMAND, kIdAboutCommand, 0);
        HWND about = nullptr;
        while (!about) {
            for (HWND hwnd : OtherDialogs()) about = hwnd;
            if (!about) Pause(L"the About box");
        }
        Say("about-caption", TextOf(about));
        Say("about", StaticTexts(about));
        ::PostMessageW(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        WaitGone(about, L"the About box to close");
        Say("about-closed", L"yes");
    }

    // The file-name field: its usual id, else the field that has the focus, else the first edit.
    HWND FileNameField(HWND open) const {
        if (HWND field = FindControl(open, kIdOpenFileName, L"Edit")) return field;
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        const DWORD thread = ::GetWindowThreadProcessId(open, nullptr);
        if (::GetGUIThreadInfo(thread, &info) && info.hwndFocus && ClassOf(info.hwndFocus) == L"Edit" &&
            ::IsChild(open, info.hwndFocus))
            return info.hwndFocus;
        for (HWND hwnd : Descendants(open))
            if (ClassOf(hwnd) == L"Edit" && ::IsWindowVisible(hwnd)) return hwnd;
        return nullptr;
    }

    void PickFile() {
        ::PostMessageW(Control(kIdBrowse), BM_CLICK, 0, 0);
        HWND open = nullptr;
        while (!open) {
            for (HWND hwnd : OtherDialogs()) open = hwnd;
            if (!open) Pause(L"the Open dialog");
        }
        Say("open-dialog", TextOf(open));
        HWND field = nullptr;
        while (!(field = FileNameField(open))) Pause(L"the file-name field of the Open dialog");
        SendBounded(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(m_options.file.c_str()));
        HWND accept = FindControl(open, IDOK, L"Button");
        if (accept) ::PostMessageW(accept, BM_CLICK, 0, 0);
        else ::PostMessageW(open, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        // The Open dialog may refuse the name with a box of its own; then it is cancelled.
        while (::IsWindow(open) && ::IsWindowVisible(open)) {
            for (HWND hwnd : OtherDialogs(open)) {
                AnswerMessageBox(hwnd);
                ::PostMessageW(open, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            }
            Pause(L"the Open dialog to close");
        }
        const DWORD until = Elapsed() + 3000;
        while (TextOf(Control(kIdEditFile)).empty() && Elapsed() < until) Pause(L"the file field");
        const std::wstring picked = TextOf(Control(kIdEditFile));
        Say("file", picked);
        Say("ok-button", ::IsWindowEnabled(Control(IDOK)) ? L"enabled" : L"disabled");
        if (picked.empty()) throw StepFailed{L"the Open dialog gave no file"};
    }

    void Capture() {
        if (CaptureWindowToBmp(m_main, m_options.screenshot)) Say("screenshot", m_options.screenshot);
        else Say("screenshot-failed", m_options.screenshot);
        m_captured = true;
    }

    // After OK: status texts, message boxes, and how the dialog ends.
    void WatchImport() {
        HWND status = Control(kIdStatus), browse = Control(kIdBrowse);
        std::wstring lastStatus;
        bool busySeen = false;
        DWORD titleAt = 0, lastEvent = Elapsed();
        const DWORD pressedAt = lastEvent;
        m_captured = m_options.screenshot.empty();
        bool closeSent = !m_options.closeDuringImport;
        for (;;) {
            if (!MainAlive()) {
                Say("after-ok", L"dialog ended");
                return;
            }
            const bool browseEnabled = ::IsWindowEnabled(browse) != FALSE;
            if (!browseEnabled) busySeen = true;
            const std::wstring text = TextOf(status);
            if (!text.empty() && text != lastStatus) {
                Say("status", text);
                lastStatus = text;
                if (!titleAt) titleAt = Elapsed();
            }
            if (!m_captured && titleAt && Elapsed() - titleAt >= kPaintMs) Capture();
            const std::vector<HWND> boxes = OtherDialogs();
            if (!closeSent && (!text.empty() || !boxes.empty())) {
                // As Alt+F4 or the title bar's close button would. Posted before any box is
                // answered, so the program takes it while the import still runs.
                ::PostMessageW(m_main, WM_SYSCOMMAND, SC_CLOSE, 0);
                Say("close-sent", text);
                closeSent = true;
            }
            for (HWND box : boxes) {
                if (!m_captured && !titleAt && !TextOf(status).empty()) titleAt = Elapsed();
                if (!m_captured && titleAt) {
                    // The import waits for this box: move it aside so the dialog shows whole.
                    RECT rect = {};
                    ::GetWindowRect(box, &rect);
                    ::SetWindowPos(box, nullptr, ::GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left),
                                   ::GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top), 0, 0,
                                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                    ::Sleep(kUncoverMs);
                    Capture();
                }
                // The import waits for the box: the dialog shows the note it stopped at.
                Say("message-state", L"status=" + TextOf(status) + L" progress=" + Progress() +
                                         L" dialog=" + (MainAlive() ? L"visible" : L"hidden"));
                AnswerMessageBox(box);
                busySeen = true;
                lastEvent = Elapsed();
            }
            const DWORD quiet = Elapsed() - lastEvent;
            if (boxes.empty() && browseEnabled && quiet >= kSettleMs && (busySeen || Elapsed() - pressedAt > 3000)) {
                Say("after-ok", L"dialog stayed open");
                SayState("after");
                Cancel();
                return;
            }
            Pause(L"the import to end");
        }
    }

    void Cancel() {
        Say("pressed", L"Cancel");
        ::PostMessageW(m_main, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        WaitGone(m_main, L"the dialog to close");
    }

    void WaitForExit() {
        while (!Exited()) {
            // A box shown after the dialog closed still belongs to the run.
            for (HWND hwnd : TopWindowsOf(m_processId))
                if (IsDialogWindow(hwnd)) AnswerMessageBox(hwnd);
            Pause(L"the program to end");
        }
        DWORD code = 0;
        ::GetExitCodeProcess(m_process.Get(), &code);
        Say("exit", std::to_wstring(code));
        Say("elapsed-ms", std::to_wstring(Elapsed()));
    }

    const Options& m_options;
    Handle m_process;
    DWORD m_processId = 0;
    DWORD m_start = 0;
    HWND m_main = nullptr;
    bool m_captured = true;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: e2e_driver [--file=PATH] [--check] [--about] [--screenshot=BMP] [--remove-before-ok]"
                     " [--close-during-import] [--timeout=SECONDS] -- PROGRAM [ARGUMENTS...]\n");
        return 1;
    }
    return Driver(options).Run();
}
