// Named command-line values written "/" name "=" value.
#pragma once

#include "string_helpers.h"

CString BrelmGetCommandLineValue(const wchar_t* commandLine, const wchar_t* name);
void BrelmSplitCommandLine(const wchar_t* commandLine, CBrelmStringArray& items);
