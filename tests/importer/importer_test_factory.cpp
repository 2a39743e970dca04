// A library for the COM-loading tests: a class factory whose behaviour each class id picks.
#include <windows.h>
#include <unknwn.h>

#include "importer_test_factory.h"

namespace {

LONG g_liveObjects = 0;

// IUnknown for the factory and its objects, counted so the tests see what is still alive.
template <typename Interface>
class CCounted : public Interface {
public:
    CCounted() { InterlockedIncrement(&g_liveObjects); }
    virtual ~CCounted() { InterlockedDecrement(&g_liveObjects); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&m_refs); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG refs = InterlockedDecrement(&m_refs);
        if (refs == 0) delete this;
        return refs;
    }

private:
    LONG m_refs = 1;
};

// Stands in for any object: the loading code only hands it on and releases it.
typedef CCounted<IUnknown> CTestObject;

class CTestFactory : public CCounted<IClassFactory> {
public:
    explicit CTestFactory(REFCLSID clsid) : m_clsid(clsid) {}

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, void** out) override {
        *out = nullptr;
        if (IsEqualCLSID(m_clsid, CLSID_ImporterTestCreatesNothing)) return S_OK;
        *out = static_cast<IUnknown*>(new CTestObject);
        // A failing factory that still hands out an object: the caller must release it.
        if (IsEqualCLSID(m_clsid, CLSID_ImporterTestCreateFails)) return E_ACCESSDENIED;
        return IsEqualCLSID(m_clsid, CLSID_ImporterTestCreateSFalse) ? S_FALSE : S_OK;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    CLSID m_clsid;
};

}  // namespace

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID, void** out) {
    *out = nullptr;
    if (IsEqualCLSID(clsid, CLSID_ImporterTestNoFactory)) return CLASS_E_CLASSNOTAVAILABLE;
    *out = static_cast<IClassFactory*>(new CTestFactory(clsid));
    return IsEqualCLSID(clsid, CLSID_ImporterTestFactoryFails) ? E_UNEXPECTED : S_OK;
}

extern "C" LONG WINAPI ImporterTestLiveObjects() { return g_liveObjects; }
