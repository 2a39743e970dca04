// The library's exports: the class factory of the knowledge-base database, unload test, SQLite factory.
#include "com_object.h"
#include "kb_database.h"
#include "kb_faults.h"
#include "sqlite_component.h"

namespace brelm_core {

namespace {

LONG g_moduleCount = 0;

class DatabaseFactory final : public IClassFactory {
public:
    DatabaseFactory() { ModuleAddRef(); }
    DatabaseFactory(const DatabaseFactory&) = delete;
    DatabaseFactory& operator=(const DatabaseFactory&) = delete;
    ~DatabaseFactory() { ModuleRelease(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (riid != IID_IUnknown && riid != IID_IClassFactory) return E_NOINTERFACE;
        *ppv = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        ComPtr<IBrelmDatabase> database;
        const HRESULT hr = CreateKnowledgeBaseDatabase(database.Put());
        if (FAILED(hr)) return hr;
        return database->QueryInterface(riid, ppv);
    }

    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            ModuleAddRef();
        else
            ModuleRelease();
        return S_OK;
    }

private:
    LONG refs_ = 1;
};

}  // namespace

void ModuleAddRef() { InterlockedIncrement(&g_moduleCount); }
void ModuleRelease() { InterlockedDecrement(&g_moduleCount); }
long ModuleCount() { return InterlockedCompareExchange(&g_moduleCount, 0, 0); }

HRESULT SetComErrorInfo(HRESULT hr, const std::wstring& text, REFIID source) {
    ComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(CreateErrorInfo(create.Put()))) {
        create->SetGUID(source);
        create->SetSource(const_cast<LPOLESTR>(L"BrelmKMCore"));
        create->SetDescription(const_cast<LPOLESTR>(text.c_str()));
        ComPtr<IErrorInfo> info;
        if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(info.Put()))))
            SetErrorInfo(0, info.Get());
    }
    return hr;
}

}  // namespace brelm_core

using namespace brelm_core;

extern "C" {

HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (clsid != CLSID_BrelmDatabase) return CLASS_E_CLASSNOTAVAILABLE;
    DatabaseFactory* factory = new (std::nothrow) DatabaseFactory();
    if (!factory) return E_OUTOFMEMORY;
    const HRESULT hr = factory->QueryInterface(riid, ppv);
    factory->Release();
    return hr;
}

HRESULT WINAPI DllCanUnloadNow() { return ModuleCount() == 0 ? S_OK : S_FALSE; }

HRESULT WINAPI BrelmKMCreateSQLiteDatabase(IBrelmSQLiteDatabase** database) {
    if (FailureRequested(L"CreateSQLiteDatabase")) {
        if (database) *database = nullptr;
        return E_FAIL;
    }
    return CreateSQLiteDatabase(database);
}

}  // extern "C"
