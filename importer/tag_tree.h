// Rebuilding the Evernote tag hierarchy in the knowledge base.
#pragma once

#include "brelm_km_interfaces.h"
#include "exb_tags.h"

// Finds or makes, under parentTag, every tag of map whose parent id is parentId,
// each with its whole subtree, in key order. The top call passes no tag and "".
void CreateTagTree(IBrelmDatabase* database, IBrelmTag* parentTag, const CExbTagMap& map,
                   const wchar_t* parentId);
