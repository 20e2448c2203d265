// A window object: wraps an HWND and routes its messages through the object's message map.
//
// Windows the library creates are attached at creation (a CBT hook attaches the object before
// WM_NCCREATE and replaces the window procedure with AfxWndProc), so WM_CREATE already reaches
// the map. Messages a handler does not take go to the window's previous procedure (m_pfnSuper).
// Handlers that want the default processing call Default().
#pragma once

#include <windows.h>

#include "afx/CmdTarget.h"
#include "afx/DC.h"
#include "afx/Point.h"
#include "afx/String.h"

// <windowsx.h> (included above) defines a function-like macro of this name.
#ifdef SubclassWindow
#undef SubclassWindow
#endif

class CDataExchange;
class COleControlSite;
class COleControlContainer;

// Window procedure of every window attached to an object.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);

// Flags of CWnd::RunModalLoop.
#define MLF_SHOWONIDLE 0x0001

class CWnd : public CCmdTarget
{
    DECLARE_DYNAMIC(CWnd)
public:
    CWnd() = default;
    // Destroys the window the object still holds.
    ~CWnd() override;

    HWND m_hWnd = nullptr;

    // Hosting of ActiveX controls: the site of a control window (not owned), the container of a
    // window that hosts controls (owned). Read them; the hosting keeps them.
    COleControlSite* m_pCtrlSite = nullptr;
    COleControlContainer* m_pCtrlCont = nullptr;

    // The object attached to hWnd, else a temporary object (kept until the outermost message loop
    // is idle); NULL for NULL.
    static CWnd* FromHandle(HWND hWnd);
    // The object attached to hWnd, or NULL.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // Unmaps the window and forgets it (and the control site). The window keeps AfxWndProc, which
    // gives windows without an object the system's default processing (DefWindowProcW).
    HWND Detach();
    // Attaches and routes the window's messages through this object (previous procedure kept).
    BOOL SubclassWindow(HWND hWnd);

    // Creation. Create is a CreateEx of a child or pop-up window with the given rectangle, parent
    // and id (or menu for a pop-up).
    virtual BOOL Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                        const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    BOOL CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                  int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                  LPVOID lpParam = nullptr);
    BOOL CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                  const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    virtual BOOL DestroyWindow();

    // Message processing.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Runs the map's handler for the message; FALSE when the map has none.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // The window's previous procedure (or DefWindowProcW when it had none).
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Default processing of the message being processed.
    LRESULT Default();
    // FALSE: the message is dispatched as usual.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Calls PreTranslateMessage of each attached window from pMsg->hwnd up through GetParent
    // (owners for pop-ups), stopping after hWndStop; TRUE when one of them took the message.
    static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);
    // WM_COMMAND: OnCmdMsg(id, code).
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // Called after the window's last message (WM_NCDESTROY), when the object holds no window any
    // more.
    virtual void PostNcDestroy();
    // Called when a window is attached and subclassed (creation, SubclassWindow).
    virtual void PreSubclassWindow();

    // Dialog data exchange: binds controls to members (DDX_Control) and moves data.
    virtual void DoDataExchange(CDataExchange* pDX);
    // DoDataExchange with the given direction; FALSE when it failed.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    // Extension point of ActiveX hosting: binds rControl to the hosted control nID of this window
    // (its control site). TRUE when it did; DDX_Control then leaves the control as it is.
    virtual BOOL BindControlSite(int nID, CWnd& rControl);
    // Sends the dialog-init records (resource type 240) of the resource to the controls;
    // persisted ActiveX state is left to the control hosting. FALSE when a record is malformed.
    BOOL ExecuteDlgInit(LPCWSTR lpszResourceName);

    // ActiveX hosting (needs AfxEnableControlContainer()). Creates control clsid as a child of
    // pParentWnd with the id, rectangle and style, bound to this object (its site and window).
    // pPersist: an IStream* with the control's persisted state, or NULL; with bStorage TRUE the
    // state is not read (the control starts new). FALSE when the control cannot be created.
    BOOL CreateControl(REFCLSID clsid, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, UINT nID, void* pPersist = nullptr, BOOL bStorage = FALSE,
                       BSTR bstrLicKey = nullptr);
    // A dispatch call into the control this object is bound to: arguments as the VTS_ string
    // pbParamInfo describes (NULL: none), result of type vtRet into pvRet (VT_EMPTY: none).
    // Without a control site nothing is called and *pvRet is left as it is. A failed call throws
    // COleException or COleDispatchException.
    void InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                      const BYTE* pbParamInfo, ...);

    // Modal loop that pumps messages until EndModalLoop (or WM_QUIT, which is posted again).
    int RunModalLoop(DWORD dwFlags = 0);
    virtual void EndModalLoop(int nResult);

    // Thin wrappers.
    BOOL ShowWindow(int nCmdShow);
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    // Rewrites the style word only when it changes; SetWindowPos with nFlags added to
    // NOSIZE|NOMOVE|NOZORDER|NOACTIVATE only when nFlags is not 0. TRUE when the style changed.
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    DWORD GetStyle() const;
    // Message box owned by this window; caption NULL: the application's name.
    int MessageBox(LPCWSTR lpszText, LPCWSTR lpszCaption = nullptr, UINT nType = MB_OK);
    void BringWindowToTop();
    void UpdateWindow();

protected:
    // Default handlers: each runs the default processing of its message.
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnDestroy();
    void OnNcDestroy();
    void OnMove(int x, int y);
    void OnSize(UINT nType, int cx, int cy);
    void OnLButtonDown(UINT nFlags, CPoint point);
    // The default brush for that WM_CTLCOLOR* request (the dialog manager's answer for dialogs).
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);

    // Procedure the window had before AfxWndProc took over.
    WNDPROC m_pfnSuper = nullptr;

    DECLARE_MESSAGE_MAP()

private:
    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK AfxCbtFilterHook(int, WPARAM, LPARAM);
    friend class CDialog;

    // Attach + PreSubclassWindow + window procedure replacement.
    void AttachAndSubclass(HWND hWnd);
    // Bookkeeping after the window's WM_NCDESTROY.
    void FinishNcDestroy(HWND hWnd);

    // ActiveX hosting (WndControlHosting.cpp), the only writer of m_pCtrlSite and m_pCtrlCont.
    friend class COleControlSite;
    friend class COleControlContainer;
    // The container of this window, made on first use.
    COleControlContainer* GetControlContainer();
    void SetControlSite(COleControlSite* pSite);
    // Forgets the site when it is pSite.
    void ClearControlSite(const COleControlSite* pSite);
    // Hooks of the window's life. DestroyWindow: closes the hosted control this object is bound
    // to, TRUE when there was one. Detach: lets the site go. The object's or its window's end:
    // the container and its controls go, the site is let go.
    BOOL DestroyHostedControl();
    void UnbindControlSite();
    void EndControlHosting();

    bool m_bContinueModal = false;
    bool m_bInModalLoop = false;
    int m_nModalResult = -1;
};

// Creation hook: the next window created on this thread is attached to pWnd.
void AfxHookWindowCreate(CWnd* pWnd);
// Ends the hook; TRUE when the pending object was attached to a window.
BOOL AfxUnhookWindowCreate();
