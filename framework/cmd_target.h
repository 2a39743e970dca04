// CCmdTarget and message maps: per-class tables of handlers chained to the base class's table.
#pragma once

#include <windows.h>

// Marks message handlers in class declarations; it expands to nothing.
#define afx_msg

class CCmdTarget;

// Calls the handler of one entry on its object and gives the message's result.
typedef LRESULT (*AfxMsgThunk)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);

struct AfxMsgMapEntry {
    UINT message;       // window message; WM_COMMAND entries also match code and id
    UINT code;          // notification code of a WM_COMMAND entry
    UINT id;            // control or command id of a WM_COMMAND entry
    AfxMsgThunk thunk;  // null ends the table
};

struct AfxMsgMap {
    const AfxMsgMap* base;  // the base class's map; null for CCmdTarget
    const AfxMsgMapEntry* entries;
};

class CCmdTarget {
public:
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;
    virtual ~CCmdTarget() = default;

    virtual const AfxMsgMap* GetMessageMap() const;

    // The first entry of this object's map chain that takes the message, or null.
    const AfxMsgMapEntry* FindMessageEntry(UINT message, UINT code, UINT id) const;
    // Runs the handler of a WM_COMMAND with this id and notification code; FALSE when none takes it.
    BOOL OnCmdMsg(UINT id, UINT code);

protected:
    static const AfxMsgMap* GetThisMessageMap();
};

#define DECLARE_MESSAGE_MAP()                        \
protected:                                           \
    static const AfxMsgMap* GetThisMessageMap();     \
    const AfxMsgMap* GetMessageMap() const override;

// Each entry's handler is a captureless lambda written inside the class's own member
// function, so it may reach protected handlers; the typed member pointer inside keeps
// the handler to the signature that the message's users expect.
#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                        \
    const AfxMsgMap* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AfxMsgMap* theClass::GetThisMessageMap() {                                  \
        using ThisClass [[maybe_unused]] = theClass;                                  \
        using TheBaseClass = baseClass;                                               \
        static const AfxMsgMapEntry entries[] = {

#define END_MESSAGE_MAP()                                                            \
            { 0, 0, 0, nullptr } };                                                  \
        static const AfxMsgMap map = { TheBaseClass::GetThisMessageMap(), entries }; \
        return &map;                                                                 \
    }

#define ON_WM_SYSCOMMAND()                                                        \
    { WM_SYSCOMMAND, 0, 0, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT {     \
          void (ThisClass::*pfn)(UINT, LPARAM) = &ThisClass::OnSysCommand;        \
          (static_cast<ThisClass*>(t)->*pfn)(static_cast<UINT>(w), l);            \
          return 0; } },

#define ON_WM_PAINT()                                                             \
    { WM_PAINT, 0, 0, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT {              \
          void (ThisClass::*pfn)() = &ThisClass::OnPaint;                         \
          (static_cast<ThisClass*>(t)->*pfn)();                                   \
          return 0; } },

#define ON_WM_QUERYDRAGICON()                                                     \
    { WM_QUERYDRAGICON, 0, 0, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT {      \
          HCURSOR (ThisClass::*pfn)() = &ThisClass::OnQueryDragIcon;              \
          return reinterpret_cast<LRESULT>((static_cast<ThisClass*>(t)->*pfn)()); } },

// The handler is named as &Class::Handler.
#define AFX_COMMAND_ENTRY_(code, id, memberFxn)                                \
    { WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id),                 \
      [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT {                              \
          void (ThisClass::*pfn)() = memberFxn;                                   \
          (static_cast<ThisClass*>(t)->*pfn)();                                   \
          return 0; } },

#define ON_BN_CLICKED(id, memberFxn) AFX_COMMAND_ENTRY_(BN_CLICKED, id, memberFxn)
// Menu and accelerator commands both arrive with notification code 0 (see CWnd).
#define ON_COMMAND(id, memberFxn) AFX_COMMAND_ENTRY_(0, id, memberFxn)
