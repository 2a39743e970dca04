// The knowledge-base database object: opens the store and hands out folders and tags.
#pragma once

#include "brelm_km_interfaces.h"

namespace brelm_core {

// A new, unopened knowledge-base database object with one reference.
HRESULT CreateKnowledgeBaseDatabase(IBrelmDatabase** database);

}  // namespace brelm_core
