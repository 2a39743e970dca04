// Pull-style HTML tokenizer: each token is a type plus a pointer and length into the page.
#pragma once

#include <cstddef>

namespace brelm_tools {

enum class HtmlTokenType {
    Text,         // characters between markup, copied as they stand
    StartTag,     // <name ...>
    EndTag,       // </name ...>
    EmptyTag,     // <name .../>
    Comment,      // <!-- ... -->
    Declaration,  // <!DOCTYPE ...>, <!...>, <?...>
    CData,        // <![CDATA[ ... ]]>
    Error,        // an unclosed construct: the rest of the page, to be taken as text
};

struct HtmlToken {
    HtmlTokenType type;
    const wchar_t* text;
    size_t length;
};

// One attribute inside a tag's text. value is null for a bare name such as
// "disabled"; otherwise it spans the value without its quotes.
struct HtmlAttribute {
    const wchar_t* name;
    size_t nameLength;
    const wchar_t* value;
    size_t valueLength;
    const wchar_t* end;  // just past the attribute, closing quote included
};

// Reads the attribute at p (leading blanks skipped) and moves p past it. Returns
// false at the tag's end and leaves p there: on its '>', on the '/' of "/>", or
// at end when the tag is not closed.
bool NextHtmlAttribute(const wchar_t*& p, const wchar_t* end, HtmlAttribute& attribute);

// The element name of a tag's text ("<name" or "</name"); length 0 when the
// text is no tag.
const wchar_t* HtmlTagName(const wchar_t* tag, const wchar_t* end, size_t& length);

// Compares a name with a lower-case ASCII name, folding A-Z only.
bool HtmlNameIs(const wchar_t* name, size_t length, const wchar_t* lowerName);

class HtmlTokenizer {
public:
    HtmlTokenizer(const wchar_t* page, size_t length);

    // The next token, or false at the end of the page.
    bool Next(HtmlToken& token);
    // Characters of the page consumed so far.
    size_t Offset() const { return static_cast<size_t>(m_pos - m_begin); }

private:
    bool Emit(HtmlToken& token, HtmlTokenType type, const wchar_t* stop);
    bool EmitError(HtmlToken& token);
    const wchar_t* ScanTag(const wchar_t* p, bool& empty) const;
    const wchar_t* FindRawTextEnd() const;

    const wchar_t* m_begin;
    const wchar_t* m_pos;
    const wchar_t* m_end;
    // Set after <script> or <style>: their content is text up to their end tag.
    const wchar_t* m_rawName = nullptr;
    size_t m_rawNameLength = 0;
};

}  // namespace brelm_tools
