// Messages by string-table id: translated, "%1" filled, shown modally with the information icon.
#include "message_boxes.h"

#include "message_texts.h"
#include "translations.h"

namespace {

int ShowInformation(const CString& text) {
    if (text.IsEmpty()) return IDCANCEL;
    return AfxMessageBox(text, MB_ICONINFORMATION);
}

}  // namespace

CString BrelmLoadTranslatedString(UINT id) { return g_translations.LoadTranslatedString(id); }

CString BrelmFormatStringByID1(UINT id, const wchar_t* a1) {
    return BrelmFormatString1(BrelmLoadTranslatedString(id), a1);
}

int BrelmMessageBoxByID(UINT id) { return ShowInformation(BrelmLoadTranslatedString(id)); }

int BrelmMessageBoxByID1(UINT id, const wchar_t* a1) { return ShowInformation(BrelmFormatStringByID1(id, a1)); }
