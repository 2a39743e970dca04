// Folder and tag objects of the knowledge base.
#include "com_object.h"
#include "kb_faults.h"
#include "kb_objects.h"

namespace brelm_core {

namespace {

class KbFolder final : public DispatchObject<IBrelmFolder> {
public:
    KbFolder(KbStorePtr store, long long id) : store_(std::move(store)), id_(id) {}

    HRESULT STDMETHODCALLTYPE CreateDocument(BSTR title, BSTR url, IDispatch** document) override {
        return Guard([&] {
            if (ClearOut(document) != S_OK) return E_POINTER;
            FailOnRequest(L"CreateDocument", [&] { return FromBstr(title); });
            Statement insert(store_->db(), "INSERT INTO documents(folder_id, title, url) VALUES(?1, ?2, ?3)");
            insert.Bind(1, id_).Bind(2, FromBstr(title)).Bind(3, FromBstr(url)).Run();
            *document = NewDocumentObject(store_, sqlite3_last_insert_rowid(store_->db()));
            return S_OK;
        });
    }

private:
    KbStorePtr store_;
    long long id_;
};

class KbTag final : public DispatchObject<IBrelmTag> {
public:
    KbTag(KbStorePtr store, long long id) : store_(std::move(store)), id_(id) {}

    // S_FALSE hands out the child of that name that already stands under this tag.
    HRESULT STDMETHODCALLTYPE CreateChildTag(BSTR name, BSTR description, IDispatch** tag) override {
        return Guard([&] {
            if (ClearOut(tag) != S_OK) return E_POINTER;
            const std::wstring text = FromBstr(name);
            if (text.empty()) ThrowComError(E_INVALIDARG, L"A tag needs a name");
            Transaction transaction(store_->db());
            bool created = false;
            const long long child = store_->GetOrCreateTag(id_, text, FromBstr(description), &created);
            transaction.Commit();
            *tag = NewTagObject(store_, child);
            return created ? S_OK : S_FALSE;
        });
    }

private:
    KbStorePtr store_;
    long long id_;
};

}  // namespace

IDispatch* NewFolderObject(KbStorePtr store, long long id) {
    return (new KbFolder(std::move(store), id))->DetachAsDispatch();
}

IDispatch* NewTagObject(KbStorePtr store, long long id) {
    return (new KbTag(std::move(store), id))->DetachAsDispatch();
}

}  // namespace brelm_core
