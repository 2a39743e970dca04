// The process-wide settings and log object behind IBrelmGlobal.
#pragma once

#include "afx.h"

class IBrelmGlobal {
public:
    virtual void WriteLog(const wchar_t* text, int flags) = 0;
    virtual CString GetDefaultTempFolder() = 0;
    virtual CString GetTempFolder() = 0;
    virtual BOOL IsResourcePath(const wchar_t* text) = 0;
    virtual BOOL CheckValues(int a, int b, int c) = 0;
    virtual CString GetProductName() = 0;
    virtual void SetTempFolder(const wchar_t* folder, int param) = 0;
    virtual CString GetExtraText() = 0;
    virtual CString GetSettingsFileName() = 0;
    virtual void WriteDebugLog(const wchar_t* text) = 0;
    virtual ~IBrelmGlobal() {}
};

class CBrelmGlobalDefault : public IBrelmGlobal {
public:
    CBrelmGlobalDefault();
    void WriteLog(const wchar_t* text, int flags) override;
    CString GetDefaultTempFolder() override;
    CString GetTempFolder() override;
    BOOL IsResourcePath(const wchar_t* text) override;
    BOOL CheckValues(int a, int b, int c) override;
    CString GetProductName() override;
    void SetTempFolder(const wchar_t* folder, int param) override;
    CString GetExtraText() override;
    CString GetSettingsFileName() override;
    void WriteDebugLog(const wchar_t* text) override;

    CString m_strProductName;
    CString m_strInnerProductName;
    CString m_strStartTicks;
    CString m_strModuleTitle;
    CString m_strTempFolder;
    int m_nTempFolderParam;
};

class CBrelmKMGlobal : public CBrelmGlobalDefault {
public:
    void WriteLog(const wchar_t* text, int flags) override;
    CString GetSettingsFileName() override;
};

IBrelmGlobal* BrelmGetKMGlobal();
