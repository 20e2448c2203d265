// The object a hosted control fires its events at: every Invoke of the control's outgoing
// interface becomes its site's FireEvent. It lives inside the site and shares the site's
// reference count.
#pragma once

#include <windows.h>

#include "afx/TypelessDispatch.h"

class COleControlSite;

class COleEventSink : public CTypelessDispatch
{
public:
    explicit COleEventSink(COleControlSite* pSite) : m_pSite(pSite) {}
    COleEventSink(const COleEventSink&) = delete;
    COleEventSink& operator=(const COleEventSink&) = delete;

    // IUnknown: the site's count; IDispatch: the site's FireEvent.
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP Invoke(DISPID dispid, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pParams,
                        VARIANT* pResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

    // The control's event interface, answered besides IUnknown and IDispatch (IID_NULL: none).
    void SetEventsIID(REFIID iid) { m_iidEvents = iid; }

private:
    COleControlSite* m_pSite;
    IID m_iidEvents = IID_NULL;
};
