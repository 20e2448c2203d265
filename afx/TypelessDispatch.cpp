#include "afx/TypelessDispatch.h"

#include "afx/NoObject.h"

STDMETHODIMP CTypelessDispatch::GetTypeInfoCount(UINT* pctinfo)
{
    if (pctinfo == nullptr)
        return E_POINTER;
    *pctinfo = 0;
    return S_OK;
}

STDMETHODIMP CTypelessDispatch::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo)
{
    return AfxNoObject(ppTInfo, E_NOTIMPL);
}

STDMETHODIMP CTypelessDispatch::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}
