// What both hostile-input tests share: their folder, the crash-dialog setting, the size chosen.
#pragma once

#include <windows.h>

#include <string>

#include "hostile_cases.h"

namespace hostile {

// A folder of the suite's own under the temp folder, removed with everything in it unless
// BRELM_HOSTILE_KEEP is set (then its path is printed, to look at what a failing run left).
class SuiteFolder {
public:
    explicit SuiteFolder(const wchar_t* name);
    ~SuiteFolder();
    SuiteFolder(const SuiteFolder&) = delete;
    SuiteFolder& operator=(const SuiteFolder&) = delete;
    // With a trailing backslash.
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};

// While it lives, a program that crashes under Wine ends at once instead of waiting on a crash
// dialog that nobody answers; the setting is put back afterwards.
class NoCrashDialog {
public:
    NoCrashDialog();
    ~NoCrashDialog();
    NoCrashDialog(const NoCrashDialog&) = delete;
    NoCrashDialog& operator=(const NoCrashDialog&) = delete;

private:
    bool m_hadValue = false;
    DWORD m_oldValue = 0;
    bool m_createdKey = false;
};

// BRELM_HOSTILE_SIZE=ci or local chooses; otherwise CI (the CI variable set) runs the CI size.
SuiteSize ChosenSize();
// BRELM_HOSTILE_JOBS, else 6: imports run side by side, each driver minding its own program's windows.
int ChosenJobs();
std::wstring Environment(const wchar_t* name);

}  // namespace hostile
