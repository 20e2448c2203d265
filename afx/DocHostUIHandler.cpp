#include "afx/DocHostUIHandler.h"

#include "afx/NoObject.h"

STDMETHODIMP CDocHostUIHandler::QueryInterface(REFIID riid, void** ppv)
{
    return m_pOwner->QueryInterface(riid, ppv);
}

STDMETHODIMP_(ULONG) CDocHostUIHandler::AddRef()
{
    return m_pOwner->AddRef();
}

STDMETHODIMP_(ULONG) CDocHostUIHandler::Release()
{
    return m_pOwner->Release();
}

STDMETHODIMP CDocHostUIHandler::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*)
{
    return S_FALSE;  // the browser shows its own menu
}

STDMETHODIMP CDocHostUIHandler::GetHostInfo(DOCHOSTUIINFO* pInfo)
{
    if (pInfo == nullptr)
        return E_POINTER;
    pInfo->dwFlags = m_dwHostFlags;
    pInfo->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    return S_OK;
}

STDMETHODIMP CDocHostUIHandler::GetOptionKeyPath(LPOLESTR* pchKey, DWORD)
{
    return AfxNoObject(pchKey, S_FALSE);
}

STDMETHODIMP CDocHostUIHandler::GetDropTarget(IDropTarget*, IDropTarget** ppDropTarget)
{
    return AfxNoObject(ppDropTarget, E_NOTIMPL);
}

STDMETHODIMP CDocHostUIHandler::GetExternal(IDispatch** ppDispatch)
{
    return AfxNoObject(ppDispatch, S_FALSE);
}

STDMETHODIMP CDocHostUIHandler::TranslateUrl(DWORD, LPWSTR, LPWSTR* ppchURLOut)
{
    return AfxNoObject(ppchURLOut, S_FALSE);
}

STDMETHODIMP CDocHostUIHandler::FilterDataObject(IDataObject*, IDataObject** ppDORet)
{
    return AfxNoObject(ppDORet, S_FALSE);
}
