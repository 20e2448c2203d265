// CWnd's side of ActiveX control hosting: a window object may be bound to the site of a hosted
// control (m_pCtrlSite) and may own the container of the controls its window hosts
// (m_pCtrlCont). Both pointers are written here only.
#include "afx/Wnd.h"

#include <cstdarg>

#include "afx/OleControlContainer.h"
#include "afx/OleControlSite.h"

BOOL CWnd::CreateControl(REFCLSID clsid, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                         CWnd* pParentWnd, UINT nID, void* pPersist, BOOL bStorage, BSTR bstrLicKey)
{
    if (!AfxIsControlContainerEnabled() || m_hWnd || !pParentWnd || !pParentWnd->m_hWnd)
        return FALSE;
    IStream* pState = bStorage ? nullptr : static_cast<IStream*>(pPersist);
    COleControlContainer* pCont = pParentWnd->GetControlContainer();
    return pCont->CreateControl(this, clsid, lpszWindowName, dwStyle, rect, nID, pState,
                                bstrLicKey) != nullptr;
}

void CWnd::InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                        const BYTE* pbParamInfo, ...)
{
    if (!m_pCtrlSite)
        return;
    va_list argList;
    va_start(argList, pbParamInfo);
    try
    {
        m_pCtrlSite->InvokeHelperV(dwDispID, wFlags, vtRet, pvRet, pbParamInfo, argList);
    }
    catch (...)
    {
        va_end(argList);
        throw;
    }
    va_end(argList);
}

BOOL CWnd::BindControlSite(int nID, CWnd& rControl)
{
    return m_pCtrlCont ? m_pCtrlCont->BindControl(nID, rControl) : FALSE;
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint)
{
    if (m_pCtrlSite)
    {
        // A hosted control is moved through its in-place object.
        m_pCtrlSite->MoveControl(RECT{x, y, x + nWidth, y + nHeight});
        return;
    }
    ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}

COleControlContainer* CWnd::GetControlContainer()
{
    if (!m_pCtrlCont)
        m_pCtrlCont = new COleControlContainer(this);
    return m_pCtrlCont;
}

void CWnd::SetControlSite(COleControlSite* pSite)
{
    m_pCtrlSite = pSite;
}

void CWnd::ClearControlSite(const COleControlSite* pSite)
{
    if (m_pCtrlSite == pSite)
        m_pCtrlSite = nullptr;
}

BOOL CWnd::DestroyHostedControl()
{
    if (!m_pCtrlSite)
        return FALSE;
    // Its object is closed and its window goes with it.
    COleControlSite* pSite = m_pCtrlSite;
    if (COleControlContainer* pCont = pSite->GetContainer())
        pCont->DestroySite(pSite);
    else
        pSite->DestroyControl();
    return TRUE;
}

void CWnd::UnbindControlSite()
{
    if (m_pCtrlSite)
        m_pCtrlSite->UnbindWrapper();  // the host's event connection stays
    m_pCtrlSite = nullptr;
}

void CWnd::EndControlHosting()
{
    // The hosted controls go with the container (their windows are gone already or go now).
    if (m_pCtrlCont)
    {
        delete m_pCtrlCont;
        m_pCtrlCont = nullptr;
    }
    if (m_pCtrlSite)
        m_pCtrlSite->UnbindWrapper();
}
