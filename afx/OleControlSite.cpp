#include "afx/OleControlSite.h"

#include <exdisp.h>
#include <olectl.h>

#include "afx/DebugReport.h"
#include "afx/EventSinkMap.h"
#include "afx/OleDispatchDriver.h"
#include "afx/String.h"
#include "afx/Wnd.h"

COleControlSite::COleControlSite(COleControlContainer* pCtrlCont, CWnd* pWndHost)
    : m_pCtrlCont(pCtrlCont),
      m_pWndHost(pWndHost)
{
}

COleControlSite::~COleControlSite()
{
    DestroyControl();
}

void COleControlSite::EnableDocHostUI(DWORD dwFlags)
{
    m_bDocHostUI = true;
    m_xDocHostUIHandler.SetHostFlags(dwFlags);
}

void COleControlSite::LeaveContainer()
{
    m_pCtrlCont = nullptr;
    m_pWndHost = nullptr;
}

HWND COleControlSite::ParentWindow() const
{
    return m_pWndHost != nullptr ? m_pWndHost->m_hWnd : nullptr;
}

SIZE COleControlSite::ScreenDpi()
{
    const CScopedClientDC screen(nullptr);
    if (!screen)
        return SIZE{96, 96};
    return SIZE{::GetDeviceCaps(screen, LOGPIXELSX), ::GetDeviceCaps(screen, LOGPIXELSY)};
}

SIZEL COleControlSite::PixelsToHimetric(int cx, int cy)
{
    SIZE dpi = ScreenDpi();
    SIZEL size;
    size.cx = ::MulDiv(cx, 2540, dpi.cx > 0 ? dpi.cx : 96);
    size.cy = ::MulDiv(cy, 2540, dpi.cy > 0 ? dpi.cy : 96);
    return size;
}

HRESULT COleControlSite::CreateControl(REFCLSID clsid, LPCWSTR lpszWindowName, DWORD dwStyle,
                                       const RECT& rect, UINT nID, IStream* pState, BSTR bstrLicKey)
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
        CComPtr<IClassFactory2> pFactory;
        hr = ::CoGetClassObject(clsid, CLSCTX_SERVER, nullptr, IID_IClassFactory2,
                                reinterpret_cast<void**>(&pFactory));
        if (SUCCEEDED(hr))
            hr = pFactory->CreateInstanceLic(nullptr, nullptr, IID_IOleObject, bstrLicKey,
                                             reinterpret_cast<void**>(&m_pObject));
    }
    else
    {
        hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IOleObject,
                                reinterpret_cast<void**>(&m_pObject));
    }
    if (FAILED(hr) || m_pObject == nullptr)
    {
        m_pObject.Detach();
        return FAILED(hr) ? hr : E_NOINTERFACE;
    }

    DWORD dwMiscStatus = 0;
    m_pObject->GetMiscStatus(DVASPECT_CONTENT, &dwMiscStatus);
    const bool bSiteFirst = (dwMiscStatus & OLEMISC_SETCLIENTSITEFIRST) != 0;
    if (bSiteFirst)
        m_pObject->SetClientSite(this);

    CComPtr<IPersistStreamInit> pPersist;
    if (SUCCEEDED(
            m_pObject->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&pPersist))))
    {
        bool bLoaded = pState != nullptr && SUCCEEDED(pPersist->Load(pState));
        if (!bLoaded)
            pPersist->InitNew();
        pPersist.Release();
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
        CComPtr<IOleWindow> pWindow;
        if (SUCCEEDED(
                m_pObject->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&pWindow))))
        {
            HWND hWnd = nullptr;
            if (SUCCEEDED(pWindow->GetWindow(&hWnd)))
                m_hWnd = hWnd;
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
    CComPtr<IProvideClassInfo2> pInfo2;
    if (SUCCEEDED(
            m_pObject->QueryInterface(IID_IProvideClassInfo2, reinterpret_cast<void**>(&pInfo2))))
    {
        if (FAILED(pInfo2->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &iid)))
            iid = IID_NULL;
        pInfo2.Release();
    }
    if (iid == IID_NULL)
        iid = DIID_DWebBrowserEvents2;

    CComPtr<IConnectionPointContainer> pContainer;
    HRESULT hr = m_pObject->QueryInterface(IID_IConnectionPointContainer,
                                           reinterpret_cast<void**>(&pContainer));
    if (FAILED(hr))
        return hr;
    hr = pContainer->FindConnectionPoint(iid, &m_pEventPoint);
    pContainer.Release();
    if (FAILED(hr))
    {
        m_pEventPoint.Detach();
        return hr;
    }
    m_xEventSink.SetEventsIID(iid);
    hr = m_pEventPoint->Advise(&m_xEventSink, &m_dwEventCookie);
    if (FAILED(hr))
    {
        m_dwEventCookie = 0;
        m_pEventPoint.Release();
    }
    return hr;
}

void COleControlSite::DisconnectEvents()
{
    if (m_pEventPoint != nullptr && m_dwEventCookie != 0)
        m_pEventPoint->Unadvise(m_dwEventCookie);
    m_dwEventCookie = 0;
    m_pEventPoint.Release();
}

void COleControlSite::DestroyControl()
{
    if (m_pObject == nullptr)
    {
        UnbindWrapper();
        return;
    }
    AddRef();  // the calls below may release the control's references to this site
    CComPtr<IOleObject> pObject;
    pObject.Attach(m_pObject.Detach());
    if (m_pInPlaceObject != nullptr && m_bInPlaceActive)
        m_pInPlaceObject->InPlaceDeactivate();
    m_pActiveObject.Release();
    DisconnectEvents();
    pObject->SetClientSite(nullptr);
    pObject->Close(OLECLOSE_NOSAVE);
    m_pInPlaceObject.Release();
    m_pDispatch.Release();
    pObject.Release();

    // A window the control left behind goes with it, if the wrapper still holds it.
    if (m_pWndCtrl != nullptr && m_pWndCtrl->m_hWnd == m_hWnd && m_hWnd != nullptr &&
        ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
    m_bInPlaceActive = false;
    m_bUIActive = false;
    UnbindWrapper();
    Release();
}

BOOL COleControlSite::TranslateKey(MSG* pMsg)
{
    if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST || !m_bUIActive ||
        m_pActiveObject == nullptr || m_hWnd == nullptr ||
        (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd)))
        return FALSE;
    // The control may let its active object go while it handles the key.
    const CComPtr<IOleInPlaceActiveObject> pActiveObject = m_pActiveObject;
    return pActiveObject->TranslateAccelerator(pMsg) == S_OK;
}

void COleControlSite::BindWrapper(CWnd* pWndCtrl)
{
    if (m_pWndCtrl == pWndCtrl)
        return;
    UnbindWrapper();
    m_pWndCtrl = pWndCtrl;
    if (pWndCtrl != nullptr)
        pWndCtrl->SetControlSite(this);
}

void COleControlSite::UnbindWrapper()
{
    if (m_pWndCtrl != nullptr)
        m_pWndCtrl->ClearControlSite(this);
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
    COleDispatchDriver(m_pDispatch)
        .InvokeHelperV(dwDispID, wFlags, vtRet, pvRet, pbParamInfo, argList);
}

void COleControlSite::FireEvent(DISPID dispid, DISPPARAMS* pParams)
{
    CWnd* pHost = m_pWndHost;
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
            AfxCallGuarded<AfxCatch::LibraryAndStd>(
                L"an event handler", [&] { pEntry->pfnThunk(pHost, pParams); }, [] {});
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
