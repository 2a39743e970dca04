// The user-interface language code; 0 means nothing is translated.
#pragma once

#include "afx.h"

DWORD BrelmGetUILCID();
// The exclusion list (codes in decimal, comma-separated) and the Chinese folding
// applied to a language code; BrelmGetUILCID's last two steps.
DWORD BrelmApplyUILanguageRules(DWORD lcid, const wchar_t* excludes);
