#include "afx/OleEventSink.h"

#include "afx/NoObject.h"
#include "afx/OleControlSite.h"

STDMETHODIMP COleEventSink::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == nullptr)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || (riid == m_iidEvents && riid != IID_NULL))
    {
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    return AfxNoObject(ppv, E_NOINTERFACE);
}

STDMETHODIMP_(ULONG) COleEventSink::AddRef()
{
    return m_pSite->AddRef();
}

STDMETHODIMP_(ULONG) COleEventSink::Release()
{
    return m_pSite->Release();
}

STDMETHODIMP COleEventSink::Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* pParams, VARIANT*,
                                   EXCEPINFO*, UINT*)
{
    m_pSite->FireEvent(dispid, pParams);
    return S_OK;
}
