// The core library as a COM server: exports, class factory, QueryInterface, reference counts.
#include <gtest/gtest.h>

#include "core_test_support.h"

using namespace core_test;

namespace {

const GUID kUnknownId = {0x0D2B8E4A, 0x1C7F, 0x4E11, {0x9A, 0x33, 0x50, 0x6B, 0x21, 0x7C, 0x88, 0x19}};

bool Unloadable() { return Core().canUnloadNow() == S_OK; }

TEST(CoreModule, ExportsTheThreeEntriesByPlainName) {
    ASSERT_NE(nullptr, Core().module) << "BrelmKMCore.dll did not load";
    EXPECT_NE(nullptr, Core().getClassObject);
    EXPECT_NE(nullptr, Core().canUnloadNow);
    EXPECT_NE(nullptr, Core().createSQLiteDatabase);
}

TEST(CoreModule, ClassObjectOnlyForTheDatabaseClass) {
    ASSERT_NE(nullptr, Core().getClassObject);
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, Core().getClassObject(kUnknownId, IID_IClassFactory, &object));
    EXPECT_EQ(nullptr, object);
    object = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, Core().getClassObject(CLSID_BrelmDatabase, kUnknownId, &object));
    EXPECT_EQ(nullptr, object);
    EXPECT_EQ(E_POINTER, Core().getClassObject(CLSID_BrelmDatabase, IID_IClassFactory, nullptr));
    Ref<IUnknown> unknown;
    EXPECT_EQ(S_OK, Core().getClassObject(CLSID_BrelmDatabase, IID_IUnknown, unknown.put_void()));
}

TEST(CoreModule, FactoryCreatesTheDatabaseAndRefusesAggregation) {
    Ref<IClassFactory> factory;
    ASSERT_EQ(S_OK, Core().getClassObject(CLSID_BrelmDatabase, IID_IClassFactory, factory.put_void()));
    Ref<IUnknown> outer;
    ASSERT_EQ(S_OK, Core().getClassObject(CLSID_BrelmDatabase, IID_IUnknown, outer.put_void()));
    Ref<IBrelmDatabase> database;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(outer.get(), IID_IBrelmDatabase, database.put_void()));
    EXPECT_FALSE(database);
    Ref<IBrelmFolder> folder;
    EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_IBrelmFolder, folder.put_void()));
    EXPECT_FALSE(folder);
    Ref<IDispatch> dispatch;
    EXPECT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IDispatch, dispatch.put_void()));
    EXPECT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IBrelmDatabase, database.put_void()));
    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    EXPECT_EQ(S_OK, factory->LockServer(FALSE));
}

TEST(CoreModule, QueryInterfaceKeepsIdentityAndAnswersOnlyItsInterfaces) {
    Ref<IBrelmDatabase> database;
    ASSERT_EQ(S_OK, NewDatabase(&database));
    Ref<IUnknown> first, second;
    ASSERT_EQ(S_OK, database.As(&first));
    ASSERT_EQ(S_OK, database.As(&second));
    EXPECT_EQ(first.get(), second.get());
    Ref<IDispatch> dispatch;
    ASSERT_EQ(S_OK, database.As(&dispatch));
    EXPECT_EQ(static_cast<IDispatch*>(database.get()), dispatch.get());
    Ref<IBrelmTag> tag;
    EXPECT_EQ(E_NOINTERFACE, database.As(&tag));
    EXPECT_FALSE(tag);
    EXPECT_EQ(E_POINTER, database->QueryInterface(IID_IUnknown, nullptr));

    Ref<ISupportErrorInfo> errors;
    ASSERT_EQ(S_OK, database->QueryInterface(IID_ISupportErrorInfo, errors.put_void()));
    EXPECT_EQ(S_OK, errors->InterfaceSupportsErrorInfo(IID_IBrelmDatabase));
    EXPECT_EQ(S_FALSE, errors->InterfaceSupportsErrorInfo(IID_IBrelmFolder));
}

// Every object answers the IDispatch slots with E_NOTIMPL: they are called through their vtables.
TEST(CoreModule, DispatchSlotsAreNotImplemented) {
    Ref<IBrelmDatabase> database;
    ASSERT_EQ(S_OK, NewDatabase(&database));
    Ref<IBrelmSQLiteDatabase> sqlite;
    ASSERT_EQ(S_OK, NewSQLiteDatabase(&sqlite));
    for (IDispatch* object : {static_cast<IDispatch*>(database.get()), static_cast<IDispatch*>(sqlite.get())}) {
        UINT count = 7;
        EXPECT_EQ(E_NOTIMPL, object->GetTypeInfoCount(&count));
        EXPECT_EQ(0u, count);
        ITypeInfo* info = reinterpret_cast<ITypeInfo*>(1);
        EXPECT_EQ(E_NOTIMPL, object->GetTypeInfo(0, 0, &info));
        EXPECT_EQ(nullptr, info);
        LPOLESTR name = const_cast<LPOLESTR>(L"Open");
        DISPID id = 0;
        EXPECT_EQ(E_NOTIMPL, object->GetIDsOfNames(IID_NULL, &name, 1, 0, &id));
        DISPPARAMS none = {};
        EXPECT_EQ(E_NOTIMPL, object->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
    }
}

TEST(CoreModule, ReferenceCountsGateUnloading) {
    ASSERT_TRUE(Unloadable()) << "an earlier test leaked an object";
    Ref<IClassFactory> factory;
    ASSERT_EQ(S_OK, Core().getClassObject(CLSID_BrelmDatabase, IID_IClassFactory, factory.put_void()));
    EXPECT_FALSE(Unloadable());
    factory->LockServer(TRUE);
    factory.Reset();
    EXPECT_FALSE(Unloadable());
    {
        Ref<IClassFactory> again;
        ASSERT_EQ(S_OK, Core().getClassObject(CLSID_BrelmDatabase, IID_IClassFactory, again.put_void()));
        again->LockServer(FALSE);
    }
    EXPECT_TRUE(Unloadable());

    Ref<IBrelmSQLiteDatabase> sqlite;
    ASSERT_EQ(S_OK, NewSQLiteDatabase(&sqlite));
    EXPECT_EQ(2u, sqlite->AddRef());
    EXPECT_EQ(1u, sqlite->Release());
    EXPECT_FALSE(Unloadable());
    sqlite.Reset();
    EXPECT_TRUE(Unloadable());
    EXPECT_EQ(E_POINTER, Core().createSQLiteDatabase(nullptr));
}

// Objects handed out hold the module, and the knowledge base under them, after their maker is gone.
TEST(CoreModule, HandedOutObjectsOutliveTheirMaker) {
    TempDir dir;
    Ref<IBrelmFolder> folder;
    {
        Ref<IBrelmDatabase> database;
        ASSERT_EQ(S_OK, NewDatabase(&database));
        Bstr error;
        ASSERT_EQ(S_OK, database->OpenEx(Bstr(dir / L"kb.db"), L"test", 0, error.put()));
        Ref<IDispatch> object;
        ASSERT_EQ(S_OK, database->GetFolderByLocation(Bstr(L"/A/"), VARIANT_TRUE, object.put()));
        ASSERT_EQ(S_OK, object.As(&folder));
    }
    EXPECT_FALSE(Unloadable());
    Ref<IDispatch> document;
    EXPECT_EQ(S_OK, folder->CreateDocument(Bstr(L"T"), Bstr(L""), document.put()));
    document.Reset();
    folder.Reset();
    EXPECT_TRUE(Unloadable());
}

}  // namespace
