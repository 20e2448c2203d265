// The COM interfaces a control site answers: client site, in-place site, frame and document
// window, control site, and the ambient properties of a dialog host.
#include "afx/OleControlSite.h"

#include <olectl.h>

#include "afx/NoObject.h"

namespace {

HRESULT AmbientBool(VARIANT* pResult, bool bValue)
{
    pResult->vt = VT_BOOL;
    pResult->boolVal = bValue ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT AmbientLong(VARIANT* pResult, LONG nValue)
{
    pResult->vt = VT_I4;
    pResult->lVal = nValue;
    return S_OK;
}

}  // namespace

// IOleClientSite

STDMETHODIMP COleControlSite::GetMoniker(DWORD, DWORD, IMoniker** ppmk)
{
    return AfxNoObject(ppmk, E_NOTIMPL);
}

STDMETHODIMP COleControlSite::GetContainer(IOleContainer** ppContainer)
{
    return AfxNoObject(ppContainer, E_NOINTERFACE);
}

// IOleWindow

STDMETHODIMP COleControlSite::GetWindow(HWND* phwnd)
{
    if (phwnd == nullptr)
        return E_POINTER;
    *phwnd = ParentWindow();
    return *phwnd != nullptr ? S_OK : E_FAIL;
}

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

STDMETHODIMP COleControlSite::OnUIActivate()
{
    m_bUIActive = true;
    return S_OK;
}

STDMETHODIMP COleControlSite::GetWindowContext(IOleInPlaceFrame** ppFrame,
                                               IOleInPlaceUIWindow** ppDoc, LPRECT lprcPosRect,
                                               LPRECT lprcClipRect,
                                               LPOLEINPLACEFRAMEINFO lpFrameInfo)
{
    if (ppFrame == nullptr || ppDoc == nullptr || lprcPosRect == nullptr || lprcClipRect == nullptr)
        return E_POINTER;
    // The site is the control's frame and document window alike.
    *ppFrame = static_cast<IOleInPlaceFrame*>(this);
    *ppDoc = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    AddRef();
    *lprcPosRect = m_rect;
    HWND hWndParent = ParentWindow();
    if (hWndParent == nullptr || !::GetClientRect(hWndParent, lprcClipRect))
        *lprcClipRect = m_rect;
    if (lpFrameInfo != nullptr)
    {
        lpFrameInfo->fMDIApp = FALSE;
        lpFrameInfo->hwndFrame =
            hWndParent != nullptr ? ::GetAncestor(hWndParent, GA_ROOT) : nullptr;
        lpFrameInfo->haccel = nullptr;
        lpFrameInfo->cAccelEntries = 0;
    }
    return S_OK;
}

// A control that is no longer UI active takes no keys: its active object goes.
STDMETHODIMP COleControlSite::OnUIDeactivate(BOOL)
{
    m_bUIActive = false;
    m_pActiveObject.Release();
    return S_OK;
}

STDMETHODIMP COleControlSite::OnInPlaceDeactivate()
{
    m_bInPlaceActive = false;
    m_bUIActive = false;
    m_pActiveObject.Release();
    return S_OK;
}

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

STDMETHODIMP COleControlSite::SetBorderSpace(LPCBORDERWIDTHS pBorder)
{
    return pBorder == nullptr ? S_OK : INPLACE_E_NOTOOLSPACE;
}

// Frame and document window are this one object: both calls keep the same single reference.
STDMETHODIMP COleControlSite::SetActiveObject(IOleInPlaceActiveObject* pActiveObject, LPCOLESTR)
{
    m_pActiveObject = pActiveObject;
    return S_OK;
}

// IOleControlSite

STDMETHODIMP COleControlSite::GetExtendedControl(IDispatch** ppDisp)
{
    return AfxNoObject(ppDisp, E_NOTIMPL);
}

STDMETHODIMP COleControlSite::TransformCoords(POINTL* pPtlHimetric, POINTF* pPtfContainer,
                                              DWORD dwFlags)
{
    if (pPtlHimetric == nullptr || pPtfContainer == nullptr)
        return E_POINTER;
    const SIZE dpi = ScreenDpi();
    const int dpiX = dpi.cx, dpiY = dpi.cy;
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

// IDispatch: ambient properties of a dialog host

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
        return AmbientBool(pResult, true);
    case DISPID_AMBIENT_UIDEAD:
    case DISPID_AMBIENT_SHOWGRABHANDLES:
    case DISPID_AMBIENT_SHOWHATCHING:
    case DISPID_AMBIENT_MESSAGEREFLECT:
    case DISPID_AMBIENT_DISPLAYASDEFAULT:
        return AmbientBool(pResult, false);
    case DISPID_AMBIENT_LOCALEID:
        return AmbientLong(pResult, static_cast<LONG>(::GetUserDefaultLCID()));
    case DISPID_AMBIENT_BACKCOLOR:
        return AmbientLong(pResult, static_cast<LONG>(::GetSysColor(COLOR_BTNFACE)));
    case DISPID_AMBIENT_FORECOLOR:
        return AmbientLong(pResult, static_cast<LONG>(::GetSysColor(COLOR_BTNTEXT)));
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}
