// The in-memory dialog template builder.
#include "dialog_template.h"

namespace {

// Offset of DLGTEMPLATE::cdit, in WORDs, within the header.
const size_t kItemCountIndex = 4;

}  // namespace

CDialogTemplateBuilder::CDialogTemplateBuilder(DWORD style, short cx, short cy, const wchar_t* caption,
                                               WORD pointSize, const wchar_t* fontName) {
    m_words.reserve(512);
    AppendDword(style | DS_SETFONT);
    AppendDword(0);  // extended style
    m_words.push_back(0);  // item count, raised by AddControl
    m_words.push_back(0);  // x
    m_words.push_back(0);  // y
    m_words.push_back(static_cast<WORD>(cx));
    m_words.push_back(static_cast<WORD>(cy));
    m_words.push_back(0);  // no menu
    m_words.push_back(0);  // the system's dialog class
    AppendText(caption);
    m_words.push_back(pointSize);
    AppendText(fontName);
}

void CDialogTemplateBuilder::AddControl(ControlClass controlClass, WORD id, DWORD style, short x, short y,
                                        short cx, short cy, const wchar_t* text) {
    AlignToDword();
    AppendDword(style | WS_CHILD | WS_VISIBLE);
    AppendDword(0);  // extended style
    m_words.push_back(static_cast<WORD>(x));
    m_words.push_back(static_cast<WORD>(y));
    m_words.push_back(static_cast<WORD>(cx));
    m_words.push_back(static_cast<WORD>(cy));
    m_words.push_back(id);
    m_words.push_back(0xFFFF);
    m_words.push_back(controlClass);
    AppendText(text);
    m_words.push_back(0);  // no creation data
    ++m_words[kItemCountIndex];
}

void CDialogTemplateBuilder::AlignToDword() {
    if (m_words.size() % 2 != 0) m_words.push_back(0);
}

void CDialogTemplateBuilder::AppendText(const wchar_t* text) {
    for (const wchar_t* p = text ? text : L""; *p; ++p) m_words.push_back(static_cast<WORD>(*p));
    m_words.push_back(0);
}

void CDialogTemplateBuilder::AppendDword(DWORD value) {
    m_words.push_back(LOWORD(value));
    m_words.push_back(HIWORD(value));
}
