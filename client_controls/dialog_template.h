// A dialog template built in memory: a DLGTEMPLATE header, its font, and control items.
#pragma once

#include <windows.h>
#include <vector>

class CDialogTemplateBuilder {
public:
    // Predefined control classes, by their system atoms.
    enum ControlClass : WORD { Button = 0x0080, Edit = 0x0081, Static = 0x0082 };

    CDialogTemplateBuilder(DWORD style, short cx, short cy, const wchar_t* caption, WORD pointSize,
                           const wchar_t* fontName);

    void AddControl(ControlClass controlClass, WORD id, DWORD style, short x, short y, short cx,
                    short cy, const wchar_t* text);

    // Valid until the next AddControl.
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

private:
    void AlignToDword();
    void AppendText(const wchar_t* text);
    void AppendDword(DWORD value);

    // Kept in DWORDs' worth of WORDs so that the start of the block is DWORD-aligned.
    std::vector<WORD> m_words;
};
