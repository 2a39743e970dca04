// The texts the program hands the library, and the library's line in the program's log.
#pragma once

#include <string>

namespace brelm_tools {

enum class ToolsSetting { SecuteText, LogFileName, SettingsFileName, TempPath, Count };

// Keeps a copy of text (null keeps an empty text). May throw std::bad_alloc.
void StoreSetting(ToolsSetting which, const wchar_t* text);
std::wstring ReadSetting(ToolsSetting which);

// Appends one line to the log file set by the program, in the program's own log
// format (UTF-16LE with a byte-order mark, CR LF). Without a log file name, or
// when the file holds something other than UTF-16LE text, the line is dropped.
void AppendLogLine(const std::wstring& text) noexcept;

}  // namespace brelm_tools
