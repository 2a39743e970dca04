// Creating COM objects from a library's DllGetClassObject, with the log lines of each failure.
#include "dll_objects.h"

#include "file_helpers.h"
#include "global.h"
#include "message_texts.h"

namespace {

CString GuidText(REFGUID id) {
    wchar_t text[64] = {};
    ::StringFromGUID2(id, text, 64);
    return CString(text);
}

void WriteLogLine(const CString& text) { BrelmGetKMGlobal()->WriteLog(text, 0); }

}  // namespace

HRESULT CreateDllObject(const wchar_t* libraryPath, CLSID clsid, IBrelmDatabase** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!libraryPath) libraryPath = L"";

    // The library's own dependencies are found beside it. A bare file name has no
    // folder part: the call fails and the current folder stays as it was.
    ::SetCurrentDirectoryW(BrelmExtractFilePath(libraryPath));

    // The module is never freed: the objects it makes live as long as the process.
    HMODULE module = ::LoadLibraryW(libraryPath);
    if (!module) {
        const CString error = BrelmGetLastErrorText();
        WriteLogLine(BrelmFormatString2(L"Failed to load dll: %1 (%2)", libraryPath, error));
        return E_FAIL;
    }

    auto getClassObject = reinterpret_cast<LPFNGETCLASSOBJECT>(
        reinterpret_cast<void*>(::GetProcAddress(module, "DllGetClassObject")));
    if (!getClassObject) {
        WriteLogLine(BrelmFormatString1(L"Couldnot find DllGetClassObject address: %1", libraryPath));
        return E_FAIL;
    }

    CComPtr<IClassFactory> factory;
    HRESULT hr = getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    // A library that claims success without a factory has failed all the same.
    if (FAILED(hr) || !factory) {
        WriteLogLine(BrelmFormatString1(L"Failed to create IClassFactory: %1", libraryPath));
        return FAILED(hr) ? hr : E_NOINTERFACE;
    }

    hr = factory->CreateInstance(nullptr, IID_IBrelmDatabase, reinterpret_cast<void**>(object));
    // So does a factory that claims success without an object.
    if (SUCCEEDED(hr) && !*object) hr = E_NOINTERFACE;
    if (FAILED(hr)) {
        WriteLogLine(BrelmFormatString2(L"Failed to create object: IID=%1, DllFileName=%2",
                                        GuidText(IID_IBrelmDatabase), libraryPath));
    }
    return hr;
}

IBrelmDatabase* CreateDllObjectByClsid(const wchar_t* libraryPath, CLSID clsid) {
    CComPtr<IBrelmDatabase> object;
    const HRESULT hr = CreateDllObject(libraryPath, clsid, &object);
    if (FAILED(hr)) {
        WriteLogLine(BrelmFormatString2(L"Failed to create object: %1, %2", GuidText(clsid),
                                        libraryPath ? libraryPath : L""));
        return nullptr;
    }
    return object.Detach();
}
