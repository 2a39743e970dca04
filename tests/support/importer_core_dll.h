// The core library stand-in loaded from the test's own folder: SQLite objects and knowledge bases.
#pragma once

#include <windows.h>

#include <string>

#include "afx.h"
#include "brelm_km_interfaces.h"
#include "brelm_sqlite_interfaces.h"

class ImporterCoreDll {
public:
    ImporterCoreDll() : m_module(::LoadLibraryW((ExeFolder() + L"BrelmKMCore.dll").c_str())) {}
    ~ImporterCoreDll() {
        if (m_module) ::FreeLibrary(m_module);
    }

    bool Loaded() const { return m_module != nullptr; }

    // An open .exb file, or null.
    CComPtr<IBrelmSQLiteDatabase> OpenExb(const std::wstring& path) const {
        CComPtr<IBrelmSQLiteDatabase> database;
        auto create = m_module ? reinterpret_cast<PFN_BrelmKMCreateSQLiteDatabase>(
                                     ::GetProcAddress(m_module, "BrelmKMCreateSQLiteDatabase"))
                               : nullptr;
        if (!create || FAILED(create(&database)) || !database) return CComPtr<IBrelmSQLiteDatabase>();
        CComBSTR file(path.c_str());
        if (FAILED(database->Open(file))) return CComPtr<IBrelmSQLiteDatabase>();
        return database;
    }

    // A knowledge base opened (or made) at path, or null.
    CComPtr<IBrelmDatabase> OpenKnowledgeBase(const std::wstring& path) const {
        typedef HRESULT(STDAPICALLTYPE * PFN_GetClassObject)(REFCLSID, REFIID, void**);
        auto getClassObject =
            m_module ? reinterpret_cast<PFN_GetClassObject>(::GetProcAddress(m_module, "DllGetClassObject")) : nullptr;
        CComPtr<IClassFactory> factory;
        CComPtr<IBrelmDatabase> database;
        if (!getClassObject ||
            FAILED(getClassObject(CLSID_BrelmDatabase, IID_IClassFactory, reinterpret_cast<void**>(&factory))) ||
            FAILED(factory->CreateInstance(nullptr, IID_IBrelmDatabase, reinterpret_cast<void**>(&database))))
            return CComPtr<IBrelmDatabase>();
        CComBSTR file(path.c_str());
        CComBSTR error;
        if (FAILED(database->OpenEx(file, L"{3E8B1C47-92D0-4A6F-B5E3-7D14C9A0F286}", 0, &error)))
            return CComPtr<IBrelmDatabase>();
        return database;
    }

    static std::wstring ExeFolder() {
        wchar_t path[MAX_PATH] = {};
        ::GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring folder(path);
        return folder.substr(0, folder.find_last_of(L"\\/") + 1);
    }

private:
    ImporterCoreDll(const ImporterCoreDll&) = delete;
    ImporterCoreDll& operator=(const ImporterCoreDll&) = delete;
    HMODULE m_module;
};
