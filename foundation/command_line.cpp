// Named command-line values written "/" name "=" value.
#include "command_line.h"

void BrelmSplitCommandLine(const wchar_t* commandLine, CBrelmStringArray& items) {
    CString text(L" ");
    text += commandLine;
    BrelmSplitByString(text, L" /", items, FALSE);
}

CString BrelmGetCommandLineValue(const wchar_t* commandLine, const wchar_t* name) {
    CBrelmStringArray items;
    BrelmSplitCommandLine(commandLine, items);
    return BrelmFindKeyValue(items, name ? name : L"");
}
