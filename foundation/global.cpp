// The process-wide settings and log object: product names, temporary folder, log lines.
#include "global.h"

#include <shlwapi.h>
#include "data_store.h"
#include "file_helpers.h"
#include "folders.h"
#include "log_file.h"
#include "settings.h"

namespace {

const wchar_t kResourcePathPrefix[] = L"%ResourceFilePath%/";

// Decided once per process, on the first debug line, from the whole command line.
bool IsDebugMode() {
    static bool decisionOpen = true;
    static bool debugMode = false;
    if (decisionOpen) {
        decisionOpen = false;
        const wchar_t* commandLine = ::GetCommandLineW();
        debugMode = commandLine && ::StrStrIW(commandLine, L"/Debug") != nullptr;
    }
    return debugMode;
}

}  // namespace

CBrelmGlobalDefault::CBrelmGlobalDefault()
    : m_strProductName(BrelmGetProductName()),
      m_strInnerProductName(BrelmGetInnerProductName()),
      m_strStartTicks(BrelmIntToStr(static_cast<int>(::GetTickCount()))),
      m_strModuleTitle(BrelmExtractFileTitle(BrelmGetModuleFileName())),
      m_nTempFolderParam(0) {}

void CBrelmGlobalDefault::WriteLog(const wchar_t*, int) {}

CString CBrelmGlobalDefault::GetDefaultTempFolder() {
    CString folder = BrelmGetSystemTempFolder() + m_strInnerProductName + L"\\";
    BrelmCreateDirectories(folder);
    return folder;
}

CString CBrelmGlobalDefault::GetTempFolder() {
    if (m_strTempFolder.IsEmpty()) m_strTempFolder = GetDefaultTempFolder();
    BrelmCreateDirectories(m_strTempFolder);
    return m_strTempFolder;
}

BOOL CBrelmGlobalDefault::IsResourcePath(const wchar_t* text) {
    return text && wcsncmp(text, kResourcePathPrefix, wcslen(kResourcePathPrefix)) == 0;
}

BOOL CBrelmGlobalDefault::CheckValues(int, int, int) { return TRUE; }

CString CBrelmGlobalDefault::GetProductName() { return m_strProductName; }

void CBrelmGlobalDefault::SetTempFolder(const wchar_t* folder, int param) {
    m_strTempFolder = folder ? folder : L"";
    m_nTempFolderParam = param;
}

CString CBrelmGlobalDefault::GetExtraText() { return CString(); }

CString CBrelmGlobalDefault::GetSettingsFileName() { return CString(); }

void CBrelmGlobalDefault::WriteDebugLog(const wchar_t* text) {
    if (IsDebugMode()) WriteLog(text, 0);
}

void CBrelmKMGlobal::WriteLog(const wchar_t* text, int) { BrelmAppendLogLine(BrelmGetLogFileName(), text); }

CString CBrelmKMGlobal::GetSettingsFileName() { return BrelmGetSettingsFileName(); }

IBrelmGlobal* BrelmGetKMGlobal() {
    static CBrelmKMGlobal global;
    return &global;
}
