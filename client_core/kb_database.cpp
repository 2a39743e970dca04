// The knowledge-base database object: opening the store, folders by location, tags by name.
#include "kb_database.h"

#include "com_object.h"
#include "kb_faults.h"
#include "data_store.h"
#include "kb_objects.h"

namespace brelm_core {

namespace {

class KbDatabase final : public DispatchObject<IBrelmDatabase> {
public:
    HRESULT STDMETHODCALLTYPE Open(BSTR path) override {
        return Guard([&] {
            std::wstring file = FromBstr(path);
            if (file.empty()) {
                file = DefaultKnowledgeBasePath();
                if (file.empty())
                    ThrowComError(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND),
                                  L"Cannot open the knowledge base: the data-store folder cannot be found");
            }
            store_.reset();
            store_ = KbStore::Open(file);
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE OpenEx(BSTR path, LPCWSTR /*key*/, long /*flags*/, BSTR* errorText) override {
        if (errorText) *errorText = nullptr;
        std::wstring failure;
        const HRESULT hr = Guard([&] {
            store_.reset();
            try {
                store_ = KbStore::Open(FromBstr(path));
            } catch (const ComError& e) {
                failure = e.text;
                throw;
            }
            return S_OK;
        });
        if (FAILED(hr) && errorText) {
            if (failure.empty()) failure = L"Cannot open the knowledge base \"" + FromBstr(path) + L"\"";
            *errorText = SysAllocStringLen(failure.data(), static_cast<UINT>(failure.size()));
        }
        return hr;
    }

    // S_FALSE hands out the top-level tag of that name that already exists.
    HRESULT STDMETHODCALLTYPE CreateRootTag(BSTR name, BSTR description, IDispatch** tag) override {
        return Guard([&] {
            if (ClearOut(tag) != S_OK) return E_POINTER;
            RequireOpen();
            const std::wstring text = FromBstr(name);
            if (text.empty()) ThrowComError(E_INVALIDARG, L"A tag needs a name");
            Transaction transaction(store_->db());
            bool created = false;
            const long long id = store_->GetOrCreateTag(0, text, FromBstr(description), &created);
            transaction.Commit();
            *tag = NewTagObject(store_, id);
            return created ? S_OK : S_FALSE;
        });
    }

    HRESULT STDMETHODCALLTYPE GetFolderByLocation(BSTR location, VARIANT_BOOL create, IDispatch** folder) override {
        return Guard([&] {
            if (ClearOut(folder) != S_OK) return E_POINTER;
            RequireOpen();
            const std::wstring text = FromBstr(location);
            FailOnRequest(L"GetFolderByLocation", [&] { return text; });
            std::vector<std::wstring> levels;
            if (!ParseFolderLocation(text, &levels))
                ThrowComError(E_INVALIDARG, L"\"" + text + L"\" is not a folder location such as /Notes/Work/");
            const long long id = store_->GetFolder(levels, create != VARIANT_FALSE);
            if (!id) ThrowComError(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND), L"There is no folder " + text);
            *folder = NewFolderObject(store_, id);
            return S_OK;
        });
    }

    // S_FALSE with no object when no tag has that name.
    HRESULT STDMETHODCALLTYPE GetTagByName(BSTR name, long /*flags*/, BSTR /*parentName*/, IDispatch** tag) override {
        return Guard([&] {
            if (ClearOut(tag) != S_OK) return E_POINTER;
            RequireOpen();
            const std::wstring text = FromBstr(name);
            const long long id = text.empty() ? 0 : store_->FindTagByName(text);
            if (!id) return S_FALSE;
            *tag = NewTagObject(store_, id);
            return S_OK;
        });
    }

private:
    void RequireOpen() const {
        if (!store_) ThrowComError(E_UNEXPECTED, L"The knowledge base is not open");
    }

    KbStorePtr store_;
};

}  // namespace

HRESULT CreateKnowledgeBaseDatabase(IBrelmDatabase** database) {
    if (ClearOut(database) != S_OK) return E_POINTER;
    return ComGuard(IID_IBrelmDatabase, [&] {
        *database = new KbDatabase();
        return S_OK;
    });
}

}  // namespace brelm_core
