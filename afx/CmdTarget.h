// Objects that receive messages and commands through a static message map.
//
// A map is a table of entries, each naming a message (or a WM_COMMAND id and notification code)
// and a thunk: a captureless function that casts the target to the class that declared the map
// and calls the typed handler. Maps chain to the base class's map; lookup calls the first matching
// entry of the most-derived map, so a derived entry hides the base's.
//
//   class CMyDlg : public CDialog { ... DECLARE_MESSAGE_MAP() };
//   BEGIN_MESSAGE_MAP(CMyDlg, CDialog)
//       ON_WM_SIZE()
//       ON_MESSAGE(WM_APP, OnApp)         // handler named without & and without class
//       ON_BN_CLICKED(IDC_GO, OnGo)
//   END_MESSAGE_MAP()
#pragma once

#include <windows.h>
#include <windowsx.h>

#include "afx/Object.h"

class CCmdTarget;
struct AFX_EVENTSINKMAP;

typedef LRESULT (*AFX_MSGTHUNK)(CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY
{
    UINT nMessage;          // window message, or WM_COMMAND for command entries
    UINT nCode;             // notification code of a command entry (0: menu/button command)
    UINT nID;               // first control/command id of a command entry
    UINT nLastID;           // last id of a command entry
    AFX_MSGTHUNK pfnThunk;  // NULL ends the table
};

struct AFX_MSGMAP
{
    const AFX_MSGMAP* (*pfnGetBaseMap)();  // NULL for the root map
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Notification code of plain commands (menus, accelerators, ON_COMMAND).
#ifndef CN_COMMAND
#define CN_COMMAND 0
#endif

#ifndef ID_HELP
#define ID_HELP 0xE146
#endif

class CCmdTarget : public CObject
{
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;
    ~CCmdTarget() override = default;

    // Runs the handler of command nID with notification code nCode from this object's map chain;
    // TRUE when one ran.
    virtual BOOL OnCmdMsg(UINT nID, int nCode);

    // Event sink map of ActiveX control events; none at this level.
    virtual const AFX_EVENTSINKMAP* GetEventSinkMap() const { return nullptr; }

    // First entry for the message (not WM_COMMAND) in the map chain starting at pMap, or NULL.
    static const AFX_MSGMAP_ENTRY* FindMessageEntry(const AFX_MSGMAP* pMap, UINT nMessage);
    // First WM_COMMAND entry for the id and code in the map chain starting at pMap, or NULL.
    static const AFX_MSGMAP_ENTRY* FindCommandEntry(const AFX_MSGMAP* pMap, UINT nID, UINT nCode);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

// clang-format off
#define DECLARE_MESSAGE_MAP()                                   \
protected:                                                      \
    static const AFX_MSGMAP* GetThisMessageMap();               \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                  \
    const AFX_MSGMAP* theClass::GetMessageMap() const                           \
    {                                                                           \
        return GetThisMessageMap();                                             \
    }                                                                           \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                             \
    {                                                                           \
        typedef theClass ThisClass;                                             \
        typedef baseClass TheBaseClass;                                         \
        (void)static_cast<ThisClass*>(nullptr);                                 \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                       \
            { 0, 0, 0, 0, nullptr }                                             \
        };                                                                      \
        static const AFX_MSGMAP messageMap = {                                  \
            &TheBaseClass::GetThisMessageMap, &_messageEntries[0] };            \
        return &messageMap;                                                     \
    }

// The target of a thunk, as the class that declared the map.
#define AFX_THIS(t) static_cast<ThisClass*>(t)

// Messages with their own handlers (the handlers are protected members of CWnd with these names).
#define ON_WM_CREATE() { WM_CREATE, 0, 0, 0,                                                    \
    [](CCmdTarget* t, WPARAM, LPARAM l) -> LRESULT {                                            \
        return static_cast<LRESULT>(AFX_THIS(t)->OnCreate(reinterpret_cast<LPCREATESTRUCT>(l))); } },

#define ON_WM_DESTROY() { WM_DESTROY, 0, 0, 0,                                                  \
    [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT { AFX_THIS(t)->OnDestroy(); return 0; } },

#define ON_WM_NCDESTROY() { WM_NCDESTROY, 0, 0, 0,                                              \
    [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT { AFX_THIS(t)->OnNcDestroy(); return 0; } },

#define ON_WM_CLOSE() { WM_CLOSE, 0, 0, 0,                                                      \
    [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT { AFX_THIS(t)->OnClose(); return 0; } },

// x and y are signed 16-bit (client area left of or above the primary display).
#define ON_WM_MOVE() { WM_MOVE, 0, 0, 0,                                                        \
    [](CCmdTarget* t, WPARAM, LPARAM l) -> LRESULT {                                            \
        AFX_THIS(t)->OnMove(GET_X_LPARAM(l), GET_Y_LPARAM(l)); return 0; } },

// cx and cy are unsigned 16-bit.
#define ON_WM_SIZE() { WM_SIZE, 0, 0, 0,                                                        \
    [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT {                                          \
        AFX_THIS(t)->OnSize(static_cast<UINT>(w), static_cast<int>(LOWORD(l)),                  \
                            static_cast<int>(HIWORD(l)));                                       \
        return 0; } },

#define AFX_MOUSE_ENTRY(msg, fn) { msg, 0, 0, 0,                                                \
    [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT {                                          \
        AFX_THIS(t)->fn(static_cast<UINT>(w), CPoint(GET_X_LPARAM(l), GET_Y_LPARAM(l)));        \
        return 0; } },

#define ON_WM_LBUTTONDOWN() AFX_MOUSE_ENTRY(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_RBUTTONDOWN() AFX_MOUSE_ENTRY(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() AFX_MOUSE_ENTRY(WM_RBUTTONUP, OnRButtonUp)

#define ON_WM_ERASEBKGND() { WM_ERASEBKGND, 0, 0, 0,                                            \
    [](CCmdTarget* t, WPARAM w, LPARAM) -> LRESULT {                                            \
        return static_cast<LRESULT>(AFX_THIS(t)->OnEraseBkgnd(                                  \
            CDC::FromHandle(reinterpret_cast<HDC>(w)))); } },

// WM_CTLCOLORMSGBOX .. WM_CTLCOLORSTATIC, the kind being CTLCOLOR_MSGBOX (0) .. CTLCOLOR_STATIC (6).
#define AFX_CTLCOLOR_ENTRY(kind) { WM_CTLCOLORMSGBOX + (kind), 0, 0, 0,                         \
    [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT {                                          \
        return reinterpret_cast<LRESULT>(AFX_THIS(t)->OnCtlColor(                               \
            CDC::FromHandle(reinterpret_cast<HDC>(w)), CWnd::FromHandle(reinterpret_cast<HWND>(l)), \
            (kind))); } },

#define ON_WM_CTLCOLOR()                                                                        \
    AFX_CTLCOLOR_ENTRY(0) AFX_CTLCOLOR_ENTRY(1) AFX_CTLCOLOR_ENTRY(2) AFX_CTLCOLOR_ENTRY(3)     \
    AFX_CTLCOLOR_ENTRY(4) AFX_CTLCOLOR_ENTRY(5) AFX_CTLCOLOR_ENTRY(6)

#define ON_WM_ACTIVATE() { WM_ACTIVATE, 0, 0, 0,                                                \
    [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT {                                          \
        AFX_THIS(t)->OnActivate(static_cast<UINT>(LOWORD(w)),                                   \
                                CWnd::FromHandle(reinterpret_cast<HWND>(l)),                    \
                                static_cast<BOOL>(HIWORD(w)));                                  \
        return 0; } },

// Any message: LRESULT memberFxn(WPARAM, LPARAM); its result is the message's result.
#define ON_MESSAGE(message, memberFxn) { static_cast<UINT>(message), 0, 0, 0,                   \
    [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT { return AFX_THIS(t)->memberFxn(w, l); } },

// A message numbered by RegisterWindowMessage, held in a UINT variable that must be set before the
// map is first used (as a namespace-scope variable initialised at start-up is).
#define ON_REGISTERED_MESSAGE(nMessageVariable, memberFxn) ON_MESSAGE(nMessageVariable, memberFxn)

// WM_COMMAND with notification code `code` from control or command `id`: void memberFxn().
#define ON_CONTROL(code, id, memberFxn)                                                         \
    { WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(id),        \
      [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT { AFX_THIS(t)->memberFxn(); return 0; } },

#define ON_COMMAND(id, memberFxn) ON_CONTROL(CN_COMMAND, id, memberFxn)
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
// clang-format on
