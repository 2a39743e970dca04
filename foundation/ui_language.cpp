// The user-interface language code; 0 means nothing is translated.
#include "ui_language.h"

#include "file_helpers.h"
#include "registry.h"
#include "settings.h"
#include "string_helpers.h"

namespace {

// Hong Kong and Macao share Taiwan's translations, Singapore the mainland's.
const struct {
    DWORD from;
    DWORD to;
} kLanguageFolding[] = {
    {0x0C04, 0x0404}, {0x0404, 0x0404}, {0x1404, 0x0404}, {0x0804, 0x0804}, {0x1004, 0x0804},
};

}  // namespace

DWORD BrelmApplyUILanguageRules(DWORD lcid, const wchar_t* excludes) {
    CBrelmStringArray excluded;
    BrelmSplitString(CString(excludes), L',', excluded);
    const CString code = BrelmIntToStr(static_cast<int>(lcid));
    for (const CString& piece : excluded) {
        if (piece == code) {
            lcid = 0;
            break;
        }
    }
    for (const auto& entry : kLanguageFolding) {
        if (entry.from == lcid) return entry.to;
    }
    return lcid;
}

DWORD BrelmGetUILCID() {
    DWORD lcid = 0;
    if (!BrelmRegReadLCID(BrelmGetProductRegistryKey(), &lcid) || lcid == 0) lcid = ::GetUserDefaultLCID();
    return BrelmApplyUILanguageRules(lcid, BrelmGetGlobalSetting(L"UIExcludes", TRUE, FALSE));
}
