// Reading and rewriting one named attribute in the text of a start tag.
#pragma once

#include <windows.h>

#include <string>

namespace brelm_tools {

// S_OK with the attribute's value ("&quot;" and "&amp;" decoded, nothing else;
// empty for a bare name), S_FALSE when the tag has no such attribute,
// E_INVALIDARG for a name no attribute can have. Names match in any letter case.
HRESULT GetTagAttribute(const wchar_t* tag, const wchar_t* name, std::wstring& value);

// Replaces the first attribute of that name or appends it before the tag's
// closing '>' or "/>", written as name="value" with '&' and '"' escaped. Fails
// with the buffer untouched when the text is no closed start tag or the result
// with its terminator would not fit in bufferSize characters.
HRESULT SetTagAttribute(wchar_t* buffer, size_t bufferSize, const wchar_t* name, const wchar_t* value);

}  // namespace brelm_tools
