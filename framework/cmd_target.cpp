// CCmdTarget: the root of every message map and the loop that searches a map chain.
#include "cmd_target.h"

const AfxMsgMap* CCmdTarget::GetThisMessageMap() {
    static const AfxMsgMapEntry entries[] = { { 0, 0, 0, nullptr } };
    static const AfxMsgMap map = { nullptr, entries };
    return &map;
}

const AfxMsgMap* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AfxMsgMapEntry* CCmdTarget::FindMessageEntry(UINT message, UINT code, UINT id) const {
    for (const AfxMsgMap* map = GetMessageMap(); map; map = map->base) {
        for (const AfxMsgMapEntry* e = map->entries; e->thunk; ++e) {
            if (e->message != message) continue;
            if (message == WM_COMMAND && (e->code != code || e->id != id)) continue;
            return e;
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT id, UINT code) {
    const AfxMsgMapEntry* e = FindMessageEntry(WM_COMMAND, code, id);
    if (!e) return FALSE;
    e->thunk(this, MAKEWPARAM(id, code), 0);
    return TRUE;
}
