// The objects the knowledge base hands out: folders, documents, attachments and tags.
#pragma once

#include "brelm_km_interfaces.h"
#include "kb_store.h"

#include <memory>

namespace brelm_core {

using KbStorePtr = std::shared_ptr<KbStore>;

// Each gives a new object for the row id, with one reference, as IDispatch.
IDispatch* NewFolderObject(KbStorePtr store, long long id);
IDispatch* NewDocumentObject(KbStorePtr store, long long id);
IDispatch* NewAttachmentObject(KbStorePtr store, long long id);
IDispatch* NewTagObject(KbStorePtr store, long long id);

}  // namespace brelm_core
