// Document and attachment objects of the knowledge base: fields, content, tags, attachments.
#include "com_object.h"
#include "kb_content.h"
#include "kb_faults.h"
#include "kb_objects.h"
#include "win_util.h"

#include <cmath>
#include <set>

namespace brelm_core {

namespace {

struct StoredFile {
    std::wstring name;  // relative to the page, '/' between levels
    std::string bytes;
};

std::wstring Trim(const std::wstring& text) {
    const size_t begin = text.find_first_not_of(L" \t\r\n");
    if (begin == std::wstring::npos) return std::wstring();
    return text.substr(begin, text.find_last_not_of(L" \t\r\n") - begin + 1);
}

// The local files that the page's src and href values name inside its own folder, each once.
std::vector<StoredFile> ReadLinkedFiles(const std::wstring& html, const std::wstring& folder) {
    std::vector<StoredFile> files;
    std::set<std::wstring> seen;
    // Junctions and symbolic links inside the folder must not lead a page to files elsewhere.
    const std::wstring finalFolder = FinalFolderPath(folder);
    for (const std::wstring& value : FindLinkValues(html)) {
        for (const std::wstring& candidate : LinkCandidates(value)) {
            const std::wstring relative = LocalLinkPath(candidate);
            if (relative.empty()) continue;
            const std::wstring path = FullPath(folder + relative);
            if (!IsInside(folder, path)) continue;
            const std::wstring key = TagKey(relative);
            if (seen.count(key)) break;
            // Links to files that are not there are common (clipped pages hold them); a folder is no file.
            if (!IsFile(path)) continue;
            StoredFile file;
            DWORD error = ERROR_CANT_RESOLVE_FILENAME;
            if (finalFolder.empty() || !ReadWholeFile(path, &file.bytes, &error, &finalFolder)) {
                // A device, or a link that leads out of the folder, is no file of the page's own. Any
                // other file that cannot be read fails the update rather than go missing unnoticed.
                if (error == ERROR_BAD_FILE_TYPE || error == kErrorOutsideFolder) continue;
                ThrowComError(HRESULT_FROM_WIN32(error), L"Cannot read \"" + path + L"\": " + WinErrorText(error));
            }
            seen.insert(key);
            file.name = relative;
            for (wchar_t& c : file.name) {
                if (c == L'\\') c = L'/';
            }
            files.push_back(std::move(file));
            break;
        }
    }
    return files;
}

class KbAttachment final : public DispatchObject<IBrelmDocumentAttachment> {
public:
    KbAttachment(KbStorePtr store, long long id) : store_(std::move(store)), id_(id) {}

    HRESULT STDMETHODCALLTYPE put_URL(BSTR url) override {
        return Guard([&] {
            Statement update(store_->db(), "UPDATE attachments SET url=?1 WHERE id=?2");
            update.Bind(1, FromBstr(url)).Bind(2, id_).Run();
            return S_OK;
        });
    }

private:
    KbStorePtr store_;
    long long id_;
};

class KbDocument final : public DispatchObject<IBrelmDocument> {
public:
    KbDocument(KbStorePtr store, long long id) : store_(std::move(store)), id_(id) {}

    HRESULT STDMETHODCALLTYPE put_DateCreated(DATE date) override {
        return SetDate("UPDATE documents SET date_created=?1 WHERE id=?2", date);
    }
    HRESULT STDMETHODCALLTYPE put_DateModified(DATE date) override {
        return SetDate("UPDATE documents SET date_modified=?1 WHERE id=?2", date);
    }
    HRESULT STDMETHODCALLTYPE put_DataDateModified(DATE date) override {
        return SetDate("UPDATE documents SET data_date_modified=?1 WHERE id=?2", date);
    }

    HRESULT STDMETHODCALLTYPE SetParamValue(BSTR name, BSTR value) override {
        return Guard([&] {
            const std::wstring key = FromBstr(name);
            if (key.empty()) ThrowComError(E_INVALIDARG, L"A document parameter needs a name");
            Statement upsert(store_->db(),
                             "INSERT INTO document_params(document_id, name, value) VALUES(?1, ?2, ?3)"
                             " ON CONFLICT(document_id, name) DO UPDATE SET value=excluded.value");
            upsert.Bind(1, id_).Bind(2, key).Bind(3, FromBstr(value)).Run();
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE AddAttachment(BSTR filePath, IDispatch** attachment) override {
        return Guard([&] {
            if (ClearOut(attachment) != S_OK) return E_POINTER;
            const std::wstring path = FromBstr(filePath);
            if (path.empty()) ThrowComError(E_INVALIDARG, L"No attachment file was given");
            std::string bytes;
            DWORD error = 0;
            if (!ReadWholeFile(FullPath(path), &bytes, &error))
                ThrowComError(HRESULT_FROM_WIN32(error), L"Cannot read \"" + path + L"\": " + WinErrorText(error));
            Statement insert(store_->db(),
                             "INSERT INTO attachments(document_id, name, url, data) VALUES(?1, ?2, '', ?3)");
            insert.Bind(1, id_).Bind(2, FileNameOf(path)).BindBlob(3, bytes).Run();
            *attachment = NewAttachmentObject(store_, sqlite3_last_insert_rowid(store_->db()));
            return S_OK;
        });
    }

    // Every caller names the page twice (page and index file); the page's own folder is where its
    // local files are looked for.
    HRESULT STDMETHODCALLTYPE UpdateDocument(BSTR htmlFile, BSTR /*indexFile*/, long flags) override {
        return Guard([&] {
            FailOnRequest(L"UpdateDocument", [&] {
                Statement find(store_->db(), "SELECT title FROM documents WHERE id=?1");
                find.Bind(1, id_);
                return find.Step() ? find.Text(0) : std::wstring();
            });
            const std::wstring given = FromBstr(htmlFile);
            if (given.empty()) ThrowComError(E_INVALIDARG, L"No page file was given");
            const std::wstring path = FullPath(given);
            std::string bytes;
            DWORD error = 0;
            if (!ReadWholeFile(path, &bytes, &error))
                ThrowComError(HRESULT_FROM_WIN32(error), L"Cannot read \"" + given + L"\": " + WinErrorText(error));
            const std::wstring html = DecodePageBytes(bytes);
            std::vector<StoredFile> files;
            if (flags & BRELM_UPDATE_DOCUMENT_LOCAL_FILES) files = ReadLinkedFiles(html, FolderOf(path));

            Transaction transaction(store_->db());
            Statement update(store_->db(), "UPDATE documents SET html_name=?1, html=?2, plain_text=?3 WHERE id=?4");
            update.Bind(1, FileNameOf(path)).Bind(2, html);
            if (flags & BRELM_UPDATE_DOCUMENT_SAVE_TEXT)
                update.Bind(3, PageToPlainText(html));
            else
                update.BindNull(3);
            update.Bind(4, id_).Run();
            Statement clear(store_->db(), "DELETE FROM document_files WHERE document_id=?1");
            clear.Bind(1, id_).Run();
            Statement insert(store_->db(), "INSERT INTO document_files(document_id, name, data) VALUES(?1, ?2, ?3)");
            for (const StoredFile& file : files) {
                insert.Bind(1, id_).Bind(2, file.name).BindBlob(3, file.bytes).Run();
                insert.Reset();
            }
            transaction.Commit();
            return S_OK;
        });
    }

    // Replaces the document's tags by those named; a name the knowledge base lacks becomes a
    // child of the top-level tag rootTagName (made when missing), or a top-level tag when that is empty.
    HRESULT STDMETHODCALLTYPE SetTagsText(BSTR tagNames, BSTR rootTagName) override {
        return Guard([&] {
            std::vector<std::wstring> names;
            std::set<std::wstring> keys;
            const std::wstring text = FromBstr(tagNames);
            size_t start = 0;
            while (start <= text.size()) {
                const size_t end = text.find(L';', start);
                const std::wstring name =
                    Trim(text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
                if (!name.empty() && keys.insert(TagKey(name)).second) names.push_back(name);
                if (end == std::wstring::npos) break;
                start = end + 1;
            }
            const std::wstring rootName = Trim(FromBstr(rootTagName));

            Transaction transaction(store_->db());
            long long root = -1;  // not looked up yet
            std::vector<long long> ids;
            for (const std::wstring& name : names) {
                long long id = store_->FindTagByName(name);
                if (!id) {
                    if (root < 0) root = rootName.empty() ? 0 : store_->GetOrCreateTag(0, rootName, L"", nullptr);
                    id = store_->GetOrCreateTag(root, name, L"", nullptr);
                }
                ids.push_back(id);
            }
            Statement clear(store_->db(), "DELETE FROM document_tags WHERE document_id=?1");
            clear.Bind(1, id_).Run();
            Statement link(store_->db(), "INSERT OR IGNORE INTO document_tags(document_id, tag_id) VALUES(?1, ?2)");
            for (const long long id : ids) {
                link.Bind(1, id_).Bind(2, id).Run();
                link.Reset();
            }
            transaction.Commit();
            return S_OK;
        });
    }

private:
    HRESULT SetDate(const char* sql, DATE date) {
        return Guard([&] {
            if (!std::isfinite(date)) ThrowComError(E_INVALIDARG, L"The date is not a number");
            Statement update(store_->db(), sql);
            update.Bind(1, static_cast<double>(date)).Bind(2, id_).Run();
            return S_OK;
        });
    }

    KbStorePtr store_;
    long long id_;
};

}  // namespace

IDispatch* NewDocumentObject(KbStorePtr store, long long id) {
    return (new KbDocument(std::move(store), id))->DetachAsDispatch();
}

IDispatch* NewAttachmentObject(KbStorePtr store, long long id) {
    return (new KbAttachment(std::move(store), id))->DetachAsDispatch();
}

}  // namespace brelm_core
