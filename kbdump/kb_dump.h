// Prints a knowledge base as stable text: folders, documents with their fields and files, tags.
#pragma once

#include <string>

namespace kbdump {

// The dump of the knowledge-base file at path as UTF-8 text; false with a reason in error.
bool DumpKnowledgeBase(const std::wstring& path, std::string* text, std::string* error);

// OLE automation date (days since 1899-12-30) as "YYYY-MM-DD HH:MM:SS", to the nearest second.
std::string FormatOleDate(double date);

// 32 lowercase hexadecimal digits.
std::string Md5Hex(const std::string& bytes);

}  // namespace kbdump
