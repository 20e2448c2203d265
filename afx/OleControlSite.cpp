#include "afx/OleControlSite.h"

#include <exdisp.h>
#include <olectl.h>

#include <exception>
#include <vector>

#include "afx/DebugReport.h"
#include "afx/EventSinkMap.h"
#include "afx/Exception.h"
#include "afx/OleControlContainer.h"
#include "afx/OleDispatchDriver.h"
#include "afx/String.h"
#include "afx/Wnd.h"

namespace {

template <class T>
void SafeRelease(T*& p)
{
    if (p != nullptr)
    {
        T* q = p;
        p = nullptr;
        q->Release();
    }
}

// Pixels to HIMETRIC (0.01 mm) at the screen's resolution.
SIZEL PixelsToHimetric(int cx, int cy)
{
    HDC hdc = ::GetDC(nullptr);
    int dpiX = hdc ? ::GetDeviceCaps(hdc, LOGPIXELSX) : 96;
    int dpiY = hdc ? ::GetDeviceCaps(hdc, LOGPIXELSY) : 96;
    if (hdc)
        ::ReleaseDC(nullptr, hdc);
    SIZEL size;
    size.cx = ::MulDiv(cx, 2540, dpiX > 0 ? dpiX : 96);
    size.cy = ::MulDiv(cy, 2540, dpiY > 0 ? dpiY : 96);
    return size;
}

}  // namespace

COleControlSite::COleControlSite(COleControlContainer* pCtrlCont) : m_pCtrlCont(pCtrlCont)
{
}

COleControlSite::~COleControlSite()
{
    DestroyControl();
}

void COleControlSite::EnableDocHostUI(DWORD dwFlags)
{
    m_bDocHostUI = true;
    m_dwDocHostFlags = dwFlags;
}

HWND COleControlSite::ParentWindow() const
{
    CWnd* pWnd = m_pCtrlCont != nullptr ? m_pCtrlCont->GetWindow() : nullptr;
    return pWnd != nullptr ? pWnd->m_hWnd : nullptr;
}

HRESULT COleControlSite::CreateControl(REFCLSID clsid, LPCWSTR lpszWindowName, DWORD dwStyle,
                                       const RECT& rect, UINT nID, IStream* pState,
                                       BSTR bstrLicKey)
{
    if (m_pObject != nullptr)
        return E_UNEXPECTED;
    HWND hWndParent = ParentWindow();
    if (hWndParent == nullptr)
        return E_UNEXPECTED;
    m_nID = nID;
    m_dwStyle = dwStyle;
    m_rect = rect;

    HRESULT hr;
    if (bstrLicKey != nullptr)
    {
        IClassFactory2* pFactory = nullptr;
        hr = ::CoGetClassObject(clsid, CLSCTX_SERVER, nullptr, IID_IClassFactory2,
                                reinterpret_cast<void**>(&pFactory));
        if (SUCCEEDED(hr))
        {
            hr = pFactory->CreateInstanceLic(nullptr, nullptr, IID_IOleObject, bstrLicKey,
                                             reinterpret_cast<void**>(&m_pObject));
            pFactory->Release();
        }
    }
    else
    {
        hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IOleObject,
                                reinterpret_cast<void**>(&m_pObject));
    }
    if (FAILED(hr) || m_pObject == nullptr)
    {
        m_pObject = nullptr;
        return FAILED(hr) ? hr : E_NOINTERFACE;
    }

    DWORD dwMiscStatus = 0;
    m_pObject->GetMiscStatus(DVASPECT_CONTENT, &dwMiscStatus);
    const bool bSiteFirst = (dwMiscStatus & OLEMISC_SETCLIENTSITEFIRST) != 0;
    if (bSiteFirst)
        m_pObject->SetClientSite(this);

    IPersistStreamInit* pPersist = nullptr;
    if (SUCCEEDED(m_pObject->QueryInterface(IID_IPersistStreamInit,
                                            reinterpret_cast<void**>(&pPersist))))
    {
        bool bLoaded = pState != nullptr && SUCCEEDED(pPersist->Load(pState));
        if (!bLoaded)
            pPersist->InitNew();
        pPersist->Release();
    }
    if (!bSiteFirst)
        m_pObject->SetClientSite(this);

    SIZEL extent = PixelsToHimetric(rect.right - rect.left, rect.bottom - rect.top);
    m_pObject->SetExtent(DVASPECT_CONTENT, &extent);

    m_pObject->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&m_pDispatch));
    m_pObject->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&m_pInPlaceObject));
    ConnectEvents();

    RECT rc = rect;
    hr = m_pObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, hWndParent, &rc);
    if (SUCCEEDED(hr))
    {
        IOleWindow* pWindow = nullptr;
        if (SUCCEEDED(m_pObject->QueryInterface(IID_IOleWindow,
                                                reinterpret_cast<void**>(&pWindow))))
        {
            HWND hWnd = nullptr;
            if (SUCCEEDED(pWindow->GetWindow(&hWnd)))
                m_hWnd = hWnd;
            pWindow->Release();
        }
        if (m_hWnd == nullptr)
            hr = E_FAIL;
    }
    if (FAILED(hr))
    {
        DestroyControl();
        return hr;
    }

    ::SetWindowLongPtrW(m_hWnd, GWLP_ID, static_cast<LONG_PTR>(nID));
    const DWORD dwKeep = WS_TABSTOP | WS_GROUP;
    DWORD dwOld = static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE));
    DWORD dwNew = (dwOld & ~dwKeep) | (dwStyle & dwKeep);
    if (dwNew != dwOld)
        ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(dwNew));
    if (lpszWindowName != nullptr && *lpszWindowName != L'\0')
        ::SetWindowTextW(m_hWnd, lpszWindowName);
    if (dwStyle & WS_DISABLED)
        ::EnableWindow(m_hWnd, FALSE);
    ::ShowWindow(m_hWnd, (dwStyle & WS_VISIBLE) ? SW_SHOWNA : SW_HIDE);
    return S_OK;
}

HRESULT COleControlSite::ConnectEvents()
{
    IID iid = IID_NULL;
    IProvideClassInfo2* pInfo2 = nullptr;
    if (SUCCEEDED(m_pObject->QueryInterface(IID_IProvideClassInfo2,
                                            reinterpret_cast<void**>(&pInfo2))))
    {
        if (FAILED(pInfo2->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &iid)))
            iid = IID_NULL;
        pInfo2->Release();
    }
    if (iid == IID_NULL)
        iid = DIID_DWebBrowserEvents2;

    IConnectionPointContainer* pContainer = nullptr;
    HRESULT hr = m_pObject->QueryInterface(IID_IConnectionPointContainer,
                                           reinterpret_cast<void**>(&pContainer));
    if (FAILED(hr))
        return hr;
    hr = pContainer->FindConnectionPoint(iid, &m_pEventPoint);
    pContainer->Release();
    if (FAILED(hr))
    {
        m_pEventPoint = nullptr;
        return hr;
    }
    m_iidEvents = iid;
    hr = m_pEventPoint->Advise(&m_xEventSink, &m_dwEventCookie);
    if (FAILED(hr))
    {
        m_dwEventCookie = 0;
        SafeRelease(m_pEventPoint);
    }
    return hr;
}

void COleControlSite::DisconnectEvents()
{
    if (m_pEventPoint != nullptr && m_dwEventCookie != 0)
        m_pEventPoint->Unadvise(m_dwEventCookie);
    m_dwEventCookie = 0;
    SafeRelease(m_pEventPoint);
}

void COleControlSite::DestroyControl()
{
    if (m_pObject == nullptr)
    {
        UnbindWrapper();
        return;
    }
    AddRef();  // the calls below may release the control's references to this site
    IOleObject* pObject = m_pObject;
    m_pObject = nullptr;
    if (m_pInPlaceObject != nullptr && m_bInPlaceActive)
        m_pInPlaceObject->InPlaceDeactivate();
    DisconnectEvents();
    pObject->SetClientSite(nullptr);
    pObject->Close(OLECLOSE_NOSAVE);
    SafeRelease(m_pInPlaceObject);
    SafeRelease(m_pDispatch);
    pObject->Release();

    // A window the control left behind goes with it, if the wrapper still holds it.
    if (m_pWndCtrl != nullptr && m_pWndCtrl->m_hWnd == m_hWnd && m_hWnd != nullptr &&
        ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
    m_bInPlaceActive = false;
    UnbindWrapper();
    Release();
}

void COleControlSite::BindWrapper(CWnd* pWndCtrl)
{
    if (m_pWndCtrl == pWndCtrl)
        return;
    UnbindWrapper();
    m_pWndCtrl = pWndCtrl;
    if (pWndCtrl != nullptr)
        pWndCtrl->m_pCtrlSite = this;
}

void COleControlSite::UnbindWrapper()
{
    if (m_pWndCtrl != nullptr && m_pWndCtrl->m_pCtrlSite == this)
        m_pWndCtrl->m_pCtrlSite = nullptr;
    m_pWndCtrl = nullptr;
}

void COleControlSite::MoveControl(const RECT& rect)
{
    m_rect = rect;
    if (m_pInPlaceObject != nullptr && m_bInPlaceActive)
    {
        RECT clip = rect;
        m_pInPlaceObject->SetObjectRects(&m_rect, &clip);
    }
    else if (m_hWnd != nullptr)
    {
        ::MoveWindow(m_hWnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     TRUE);
    }
    if (m_pObject != nullptr)
    {
        SIZEL extent = PixelsToHimetric(rect.right - rect.left, rect.bottom - rect.top);
        m_pObject->SetExtent(DVASPECT_CONTENT, &extent);
    }
}

void COleControlSite::InvokeHelperV(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                                    const BYTE* pbParamInfo, va_list argList)
{
    COleDispatchDriver(m_pDispatch).InvokeHelperV(dwDispID, wFlags, vtRet, pvRet, pbParamInfo,
                                                  argList);
}

void COleControlSite::FireEvent(DISPID dispid, DISPPARAMS* pParams)
{
    CWnd* pHost = m_pCtrlCont != nullptr ? m_pCtrlCont->GetWindow() : nullptr;
    if (pHost == nullptr)
        return;
    for (const AFX_EVENTSINKMAP* pMap = pHost->GetEventSinkMap(); pMap != nullptr;
         pMap = pMap->pfnGetBaseMap != nullptr ? pMap->pfnGetBaseMap() : nullptr)
    {
        for (const AFX_EVENTSINKMAP_ENTRY* pEntry = pMap->lpEntries;
             pEntry != nullptr && pEntry->pfnThunk != nullptr; ++pEntry)
        {
            if (pEntry->nCtlID != m_nID || pEntry->dispid != dispid)
                continue;
            AddRef();
            try
            {
                pEntry->pfnThunk(pHost, pParams);
            }
            catch (CException& e)
            {
                AfxReportException(L"an event handler", e);
            }
            catch (std::exception& e)
            {
                AfxReportException(L"an event handler", e);
            }
            Release();
            return;
        }
    }
}

// IUnknown

STDMETHODIMP COleControlSite::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == nullptr)
        return E_POINTER;
    *ppv = nullptr;
    if (riid == IID_IUnknown || riid == IID_IOleClientSite)
        *ppv = static_cast<IOleClientSite*>(this);
    else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite)
        *ppv = static_cast<IOleInPlaceSite*>(this);
    else if (riid == IID_IOleInPlaceUIWindow || riid == IID_IOleInPlaceFrame)
        *ppv = static_cast<IOleInPlaceFrame*>(this);
    else if (riid == IID_IOleControlSite)
        *ppv = static_cast<IOleControlSite*>(this);
    else if (riid == IID_IDispatch)
        *ppv = static_cast<IDispatch*>(this);
    else if (riid == IID_IDocHostUIHandler && m_bDocHostUI)
        *ppv = static_cast<IDocHostUIHandler*>(&m_xDocHostUIHandler);
    if (*ppv == nullptr)
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) COleControlSite::AddRef()
{
    return static_cast<ULONG>(::InterlockedIncrement(&m_cRef));
}

STDMETHODIMP_(ULONG) COleControlSite::Release()
{
    LONG n = ::InterlockedDecrement(&m_cRef);
    if (n == 0)
        delete this;
    return static_cast<ULONG>(n);
}

// IOleClientSite

STDMETHODIMP COleControlSite::SaveObject() { return E_NOTIMPL; }

STDMETHODIMP COleControlSite::GetMoniker(DWORD, DWORD, IMoniker** ppmk)
{
    if (ppmk != nullptr)
        *ppmk = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP COleControlSite::GetContainer(IOleContainer** ppContainer)
{
    if (ppContainer != nullptr)
        *ppContainer = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP COleControlSite::ShowObject() { return S_OK; }
STDMETHODIMP COleControlSite::OnShowWindow(BOOL) { return S_OK; }
STDMETHODIMP COleControlSite::RequestNewObjectLayout() { return E_NOTIMPL; }

// IOleWindow

STDMETHODIMP COleControlSite::GetWindow(HWND* phwnd)
{
    if (phwnd == nullptr)
        return E_POINTER;
    *phwnd = ParentWindow();
    return *phwnd != nullptr ? S_OK : E_FAIL;
}

STDMETHODIMP COleControlSite::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

// IOleInPlaceSite

STDMETHODIMP COleControlSite::CanInPlaceActivate()
{
    return ParentWindow() != nullptr ? S_OK : S_FALSE;
}

STDMETHODIMP COleControlSite::OnInPlaceActivate()
{
    m_bInPlaceActive = true;
    return S_OK;
}

STDMETHODIMP COleControlSite::OnUIActivate() { return S_OK; }

STDMETHODIMP COleControlSite::GetWindowContext(IOleInPlaceFrame** ppFrame,
                                               IOleInPlaceUIWindow** ppDoc, LPRECT lprcPosRect,
                                               LPRECT lprcClipRect,
                                               LPOLEINPLACEFRAMEINFO lpFrameInfo)
{
    if (ppFrame == nullptr || ppDoc == nullptr || lprcPosRect == nullptr ||
        lprcClipRect == nullptr)
        return E_POINTER;
    *ppFrame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *ppDoc = nullptr;
    *lprcPosRect = m_rect;
    HWND hWndParent = ParentWindow();
    if (hWndParent == nullptr || !::GetClientRect(hWndParent, lprcClipRect))
        *lprcClipRect = m_rect;
    if (lpFrameInfo != nullptr)
    {
        lpFrameInfo->fMDIApp = FALSE;
        lpFrameInfo->hwndFrame = hWndParent != nullptr ? ::GetAncestor(hWndParent, GA_ROOT)
                                                       : nullptr;
        lpFrameInfo->haccel = nullptr;
        lpFrameInfo->cAccelEntries = 0;
    }
    return S_OK;
}

STDMETHODIMP COleControlSite::Scroll(SIZE) { return E_NOTIMPL; }
STDMETHODIMP COleControlSite::OnUIDeactivate(BOOL) { return S_OK; }

STDMETHODIMP COleControlSite::OnInPlaceDeactivate()
{
    m_bInPlaceActive = false;
    return S_OK;
}

STDMETHODIMP COleControlSite::DiscardUndoState() { return S_OK; }
STDMETHODIMP COleControlSite::DeactivateAndUndo() { return S_OK; }

STDMETHODIMP COleControlSite::OnPosRectChange(LPCRECT lprcPosRect)
{
    if (lprcPosRect == nullptr)
        return E_POINTER;
    m_rect = *lprcPosRect;
    if (m_pInPlaceObject != nullptr)
    {
        RECT clip = m_rect;
        m_pInPlaceObject->SetObjectRects(&m_rect, &clip);
    }
    return S_OK;
}

// IOleInPlaceUIWindow / IOleInPlaceFrame

STDMETHODIMP COleControlSite::GetBorder(LPRECT) { return INPLACE_E_NOTOOLSPACE; }
STDMETHODIMP COleControlSite::RequestBorderSpace(LPCBORDERWIDTHS) { return INPLACE_E_NOTOOLSPACE; }
STDMETHODIMP COleControlSite::SetBorderSpace(LPCBORDERWIDTHS pBorder)
{
    return pBorder == nullptr ? S_OK : INPLACE_E_NOTOOLSPACE;
}
STDMETHODIMP COleControlSite::SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) { return S_OK; }
STDMETHODIMP COleControlSite::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) { return E_NOTIMPL; }
STDMETHODIMP COleControlSite::SetMenu(HMENU, HOLEMENU, HWND) { return S_OK; }
STDMETHODIMP COleControlSite::RemoveMenus(HMENU) { return S_OK; }
STDMETHODIMP COleControlSite::SetStatusText(LPCOLESTR) { return S_OK; }
STDMETHODIMP COleControlSite::EnableModeless(BOOL) { return S_OK; }
STDMETHODIMP COleControlSite::TranslateAccelerator(LPMSG, WORD) { return S_FALSE; }

// IOleControlSite

STDMETHODIMP COleControlSite::OnControlInfoChanged() { return S_OK; }
STDMETHODIMP COleControlSite::LockInPlaceActive(BOOL) { return S_OK; }

STDMETHODIMP COleControlSite::GetExtendedControl(IDispatch** ppDisp)
{
    if (ppDisp != nullptr)
        *ppDisp = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP COleControlSite::TransformCoords(POINTL* pPtlHimetric, POINTF* pPtfContainer,
                                              DWORD dwFlags)
{
    if (pPtlHimetric == nullptr || pPtfContainer == nullptr)
        return E_POINTER;
    HDC hdc = ::GetDC(nullptr);
    int dpiX = hdc ? ::GetDeviceCaps(hdc, LOGPIXELSX) : 96;
    int dpiY = hdc ? ::GetDeviceCaps(hdc, LOGPIXELSY) : 96;
    if (hdc)
        ::ReleaseDC(nullptr, hdc);
    if (dwFlags & XFORMCOORDS_HIMETRICTOCONTAINER)
    {
        pPtfContainer->x = static_cast<float>(pPtlHimetric->x) * dpiX / 2540.0f;
        pPtfContainer->y = static_cast<float>(pPtlHimetric->y) * dpiY / 2540.0f;
    }
    else if (dwFlags & XFORMCOORDS_CONTAINERTOHIMETRIC)
    {
        pPtlHimetric->x = static_cast<LONG>(pPtfContainer->x * 2540.0f / dpiX + 0.5f);
        pPtlHimetric->y = static_cast<LONG>(pPtfContainer->y * 2540.0f / dpiY + 0.5f);
    }
    else
    {
        return E_INVALIDARG;
    }
    return S_OK;
}

STDMETHODIMP COleControlSite::TranslateAccelerator(MSG*, DWORD) { return S_FALSE; }
STDMETHODIMP COleControlSite::OnFocus(BOOL) { return S_OK; }
STDMETHODIMP COleControlSite::ShowPropertyFrame() { return E_NOTIMPL; }

// IDispatch: ambient properties of a dialog host

STDMETHODIMP COleControlSite::GetTypeInfoCount(UINT* pctinfo)
{
    if (pctinfo == nullptr)
        return E_POINTER;
    *pctinfo = 0;
    return S_OK;
}

STDMETHODIMP COleControlSite::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo)
{
    if (ppTInfo != nullptr)
        *ppTInfo = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP COleControlSite::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

STDMETHODIMP COleControlSite::Invoke(DISPID dispid, REFIID, LCID, WORD wFlags, DISPPARAMS*,
                                     VARIANT* pResult, EXCEPINFO*, UINT*)
{
    if (!(wFlags & DISPATCH_PROPERTYGET))
        return DISP_E_MEMBERNOTFOUND;
    if (pResult == nullptr)
        return E_POINTER;
    ::VariantInit(pResult);
    switch (dispid)
    {
    case DISPID_AMBIENT_USERMODE:
    case DISPID_AMBIENT_AUTOCLIP:
    case DISPID_AMBIENT_SUPPORTSMNEMONICS:
        pResult->vt = VT_BOOL;
        pResult->boolVal = VARIANT_TRUE;
        return S_OK;
    case DISPID_AMBIENT_UIDEAD:
    case DISPID_AMBIENT_SHOWGRABHANDLES:
    case DISPID_AMBIENT_SHOWHATCHING:
    case DISPID_AMBIENT_MESSAGEREFLECT:
    case DISPID_AMBIENT_DISPLAYASDEFAULT:
        pResult->vt = VT_BOOL;
        pResult->boolVal = VARIANT_FALSE;
        return S_OK;
    case DISPID_AMBIENT_LOCALEID:
        pResult->vt = VT_I4;
        pResult->lVal = static_cast<LONG>(::GetUserDefaultLCID());
        return S_OK;
    case DISPID_AMBIENT_BACKCOLOR:
        pResult->vt = VT_I4;
        pResult->lVal = static_cast<LONG>(::GetSysColor(COLOR_BTNFACE));
        return S_OK;
    case DISPID_AMBIENT_FORECOLOR:
        pResult->vt = VT_I4;
        pResult->lVal = static_cast<LONG>(::GetSysColor(COLOR_BTNTEXT));
        return S_OK;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

// Event sink

STDMETHODIMP COleControlSite::EventSink::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == nullptr)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch ||
        (riid == m_pSite->m_iidEvents && riid != IID_NULL))
    {
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP COleControlSite::EventSink::GetTypeInfoCount(UINT* pctinfo)
{
    if (pctinfo == nullptr)
        return E_POINTER;
    *pctinfo = 0;
    return S_OK;
}

STDMETHODIMP COleControlSite::EventSink::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo)
{
    if (ppTInfo != nullptr)
        *ppTInfo = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP COleControlSite::EventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

STDMETHODIMP COleControlSite::EventSink::Invoke(DISPID dispid, REFIID, LCID, WORD,
                                                DISPPARAMS* pParams, VARIANT*, EXCEPINFO*,
                                                UINT*)
{
    m_pSite->FireEvent(dispid, pParams);
    return S_OK;
}

// Document host UI handler

STDMETHODIMP COleControlSite::DocHostUIHandler::QueryInterface(REFIID riid, void** ppv)
{
    return m_pSite->QueryInterface(riid, ppv);
}

STDMETHODIMP COleControlSite::DocHostUIHandler::ShowContextMenu(DWORD, POINT*, IUnknown*,
                                                                IDispatch*)
{
    return S_FALSE;  // the browser shows its own menu
}

STDMETHODIMP COleControlSite::DocHostUIHandler::GetHostInfo(DOCHOSTUIINFO* pInfo)
{
    if (pInfo == nullptr)
        return E_POINTER;
    pInfo->dwFlags = m_pSite->m_dwDocHostFlags;
    pInfo->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    return S_OK;
}

STDMETHODIMP COleControlSite::DocHostUIHandler::ShowUI(DWORD, IOleInPlaceActiveObject*,
                                                       IOleCommandTarget*, IOleInPlaceFrame*,
                                                       IOleInPlaceUIWindow*)
{
    return S_FALSE;
}

STDMETHODIMP COleControlSite::DocHostUIHandler::HideUI() { return S_OK; }
STDMETHODIMP COleControlSite::DocHostUIHandler::UpdateUI() { return S_OK; }
STDMETHODIMP COleControlSite::DocHostUIHandler::EnableModeless(BOOL) { return S_OK; }
STDMETHODIMP COleControlSite::DocHostUIHandler::OnDocWindowActivate(BOOL) { return S_OK; }
STDMETHODIMP COleControlSite::DocHostUIHandler::OnFrameWindowActivate(BOOL) { return S_OK; }

STDMETHODIMP COleControlSite::DocHostUIHandler::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*,
                                                             BOOL)
{
    return S_OK;
}

STDMETHODIMP COleControlSite::DocHostUIHandler::TranslateAccelerator(LPMSG, const GUID*, DWORD)
{
    return S_FALSE;
}

STDMETHODIMP COleControlSite::DocHostUIHandler::GetOptionKeyPath(LPOLESTR* pchKey, DWORD)
{
    if (pchKey != nullptr)
        *pchKey = nullptr;
    return S_FALSE;
}

STDMETHODIMP COleControlSite::DocHostUIHandler::GetDropTarget(IDropTarget*,
                                                              IDropTarget** ppDropTarget)
{
    if (ppDropTarget != nullptr)
        *ppDropTarget = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP COleControlSite::DocHostUIHandler::GetExternal(IDispatch** ppDispatch)
{
    if (ppDispatch != nullptr)
        *ppDispatch = nullptr;
    return S_FALSE;
}

STDMETHODIMP COleControlSite::DocHostUIHandler::TranslateUrl(DWORD, LPWSTR, LPWSTR* ppchURLOut)
{
    if (ppchURLOut != nullptr)
        *ppchURLOut = nullptr;
    return S_FALSE;
}

STDMETHODIMP COleControlSite::DocHostUIHandler::FilterDataObject(IDataObject*,
                                                                 IDataObject** ppDORet)
{
    if (ppDORet != nullptr)
        *ppDORet = nullptr;
    return S_FALSE;
}
