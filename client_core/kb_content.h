// Reading a page for a document: its text, the local files it links to, its plain text.
#pragma once

#include <string>
#include <vector>

namespace brelm_core {

// The text of a page's bytes: UTF-16 or UTF-8 by byte-order mark, else UTF-8 when the bytes are
// valid UTF-8, else the ANSI code page.
std::wstring DecodePageBytes(const std::string& bytes);

// The src and href values of the page's tags in page order, character references decoded.
std::vector<std::wstring> FindLinkValues(const std::wstring& html);

// The spellings under which a link value may name a local file: as written, without its query
// or fragment, and percent-decoded.
std::vector<std::wstring> LinkCandidates(const std::wstring& value);

// The path, relative to the page's folder and with '\' separators, that a link value names;
// empty unless it is a plain relative path below that folder (no URL, drive, absolute path, "..",
// or characters that Windows file names cannot hold).
std::wstring LocalLinkPath(const std::wstring& value);

// The page without markup, scripts and styles, white space collapsed: the text that is searched.
std::wstring PageToPlainText(const std::wstring& html);

}  // namespace brelm_core
