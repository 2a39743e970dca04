// Messages from the string table: translated, "%1" filled, shown with the information icon.
#pragma once

#include "afx.h"

CString BrelmLoadTranslatedString(UINT id);
CString BrelmFormatStringByID1(UINT id, const wchar_t* a1);
int BrelmMessageBoxByID(UINT id);
int BrelmMessageBoxByID1(UINT id, const wchar_t* a1);
