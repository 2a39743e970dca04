// Moving the whole content of an IStream to a file or into an 8-bit string.
#pragma once

#include <objidl.h>
#include "afx.h"

BOOL BrelmSaveStreamToFile(IStream* stream, const wchar_t* path);
BOOL BrelmReadStreamToStringA(IStream* stream, CStringA& text);
