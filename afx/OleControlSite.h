// The site of one hosted ActiveX control: the COM object the control talks to (client site,
// in-place site, frame and document window, control site, ambient properties, in
// OleControlSiteInterfaces.cpp, the fixed answers below; optionally the document host UI handler of a browser control),
// the control's window and id, its event connection (COleEventSink), typed dispatch calls into it
// (InvokeHelperV), and the active object it hands over when it is activated, which gets the first
// look at keys meant for the control (TranslateKey).
//
// A site is reference counted; its container holds one reference and releases it after
// DestroyControl. Events of the control reach the event sink map of the host window.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <ocidl.h>

#include <cstdarg>

#include "afx/DocHostUIHandler.h"
#include "afx/OleEventSink.h"
#include "afx/ScopedHandles.h"
#include "afx/TypelessDispatch.h"

class CWnd;
class COleControlContainer;

class COleControlSite : public IOleClientSite,
                        public IOleInPlaceSite,
                        public IOleInPlaceFrame,
                        public IOleControlSite,
                        public CTypelessDispatch
{
public:
    // A site of the container, whose window pWndHost hosts the control.
    COleControlSite(COleControlContainer* pCtrlCont, CWnd* pWndHost);
    COleControlSite(const COleControlSite&) = delete;
    COleControlSite& operator=(const COleControlSite&) = delete;

    // Offers IDocHostUIHandler with these host flags (call before CreateControl).
    void EnableDocHostUI(DWORD dwFlags);

    // Creates the control, loads its state (InitNew when there is none or loading fails),
    // connects its events and activates it in place into the container's window at rect (pixels
    // of the parent's client area). pState: persisted state for IPersistStreamInit::Load, or
    // NULL. On failure everything made so far is torn down.
    HRESULT CreateControl(REFCLSID clsid, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                          UINT nID, IStream* pState, BSTR bstrLicKey);
    // Deactivates, disconnects and closes the control and releases it; unbinds the wrapper. Safe
    // to call more than once.
    void DestroyControl();

    // Binds/unbinds the window object that wraps the control (its m_pCtrlSite is kept in step).
    void BindWrapper(CWnd* pWndCtrl);
    void UnbindWrapper();

    HWND GetControlWindow() const { return m_hWnd; }
    UINT GetID() const { return m_nID; }
    IUnknown* GetControlUnknown() const { return m_pObject; }
    COleControlContainer* GetContainer() const { return m_pCtrlCont; }
    // The container lets the site go: it has no container and no host window any more.
    void LeaveContainer();

    // Moves the control (pixels of the parent's client area) through the in-place object.
    void MoveControl(const RECT& rect);

    // A dispatch call into the control through COleDispatchDriver (arguments, result and
    // exceptions as it describes them); nothing happens while there is no control.
    void InvokeHelperV(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                       const BYTE* pbParamInfo, va_list argList);

    // An event of the control: the handler of the container window's event sink map runs.
    void FireEvent(DISPID dispid, DISPPARAMS* pParams);

    // Keyboard messages for the control's window or a window inside it go to the active object
    // the control handed over; TRUE when it took the message (S_OK). FALSE for any other message,
    // or while the control is not UI active or has no active object.
    BOOL TranslateKey(MSG* pMsg);

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** ppmk) override;
    STDMETHODIMP GetContainer(IOleContainer** ppContainer) override;
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (shared by the in-place site and the frame)
    STDMETHODIMP GetWindow(HWND* phwnd) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override;
    STDMETHODIMP OnInPlaceActivate() override;
    STDMETHODIMP OnUIActivate() override;
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                                  LPRECT lprcPosRect, LPRECT lprcClipRect,
                                  LPOLEINPLACEFRAMEINFO lpFrameInfo) override;
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override;
    STDMETHODIMP OnInPlaceDeactivate() override;
    STDMETHODIMP DiscardUndoState() override { return S_OK; }
    STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
    STDMETHODIMP OnPosRectChange(LPCRECT lprcPosRect) override;

    // IOleInPlaceUIWindow / IOleInPlaceFrame
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override;
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override;
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IOleControlSite
    STDMETHODIMP OnControlInfoChanged() override { return S_OK; }
    STDMETHODIMP LockInPlaceActive(BOOL) override { return S_OK; }
    STDMETHODIMP GetExtendedControl(IDispatch** ppDisp) override;
    STDMETHODIMP TransformCoords(POINTL* pPtlHimetric, POINTF* pPtfContainer,
                                 DWORD dwFlags) override;
    STDMETHODIMP TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
    STDMETHODIMP OnFocus(BOOL) override { return S_OK; }
    STDMETHODIMP ShowPropertyFrame() override { return E_NOTIMPL; }

    // IDispatch: ambient properties
    STDMETHODIMP Invoke(DISPID dispid, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pParams,
                        VARIANT* pResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

private:
    virtual ~COleControlSite();
    HRESULT ConnectEvents();
    void DisconnectEvents();
    HWND ParentWindow() const;
    // Pixels to HIMETRIC (0.01 mm) at the screen's resolution, and that resolution.
    static SIZEL PixelsToHimetric(int cx, int cy);
    static SIZE ScreenDpi();

    LONG m_cRef = 1;
    COleControlContainer* m_pCtrlCont;
    CWnd* m_pWndHost;
    CWnd* m_pWndCtrl = nullptr;
    HWND m_hWnd = nullptr;
    UINT m_nID = 0;
    DWORD m_dwStyle = 0;
    RECT m_rect{0, 0, 0, 0};
    CComPtr<IOleObject> m_pObject;
    CComPtr<IOleInPlaceObject> m_pInPlaceObject;
    CComPtr<IDispatch> m_pDispatch;
    CComPtr<IConnectionPoint> m_pEventPoint;
    DWORD m_dwEventCookie = 0;
    CComPtr<IOleInPlaceActiveObject> m_pActiveObject;  // while handed over
    bool m_bInPlaceActive = false;
    bool m_bUIActive = false;
    bool m_bDocHostUI = false;
    COleEventSink m_xEventSink{this};
    CDocHostUIHandler m_xDocHostUIHandler{static_cast<IOleClientSite*>(this)};
};
