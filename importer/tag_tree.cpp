// The tag tree of the knowledge base, made from the Evernote tag map.
#include "tag_tree.h"

#include <set>

namespace {

// Ids of the tags from the top down to parentId: a tag whose id is among them
// would start the same walk again (an empty id selects the top level), so the
// walk never descends from it.
typedef std::set<CString> CTagPath;

// Deeper chains of tags are not followed: each level costs stack, and a file could
// otherwise nest its tags until the program runs out of it.
const size_t kMaxTagDepth = 1000;

void CreateTagLevel(IBrelmDatabase* database, IBrelmTag* parentTag, const CExbTagMap& map,
                    const CString& parentId, CTagPath& path)
{
    for (const auto& entry : map) {
        const CExbTag& tag = entry.second;
        if (tag.m_strParentUid != parentId || tag.m_strName.IsEmpty())
            continue;

        CComBSTR name(tag.m_strName);
        CComBSTR noText(L"");
        CComPtr<IDispatch> found;
        database->GetTagByName(name, 0, noText, &found);
        if (!found) {
            if (!parentId.IsEmpty() && parentTag)
                parentTag->CreateChildTag(name, noText, &found);
            else
                database->CreateRootTag(name, noText, &found);
        }
        if (!found)
            continue;

        CComPtr<IBrelmTag> made;
        if (FAILED(found->QueryInterface(IID_IBrelmTag, reinterpret_cast<void**>(&made))) || !made)
            continue;
        if (path.size() < kMaxTagDepth && path.insert(tag.m_strUid).second) {
            CreateTagLevel(database, made, map, tag.m_strUid, path);
            path.erase(tag.m_strUid);
        }
    }
}

}  // namespace

void CreateTagTree(IBrelmDatabase* database, IBrelmTag* parentTag, const CExbTagMap& map,
                   const wchar_t* parentId)
{
    if (!database)
        return;
    CString id(parentId ? parentId : L"");
    CTagPath path;
    path.insert(CString());
    path.insert(id);
    CreateTagLevel(database, parentTag, map, id, path);
}
