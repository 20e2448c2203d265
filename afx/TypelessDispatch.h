// An IDispatch that offers no type information and no names: its members are known by DISPID
// only. A derived class answers IUnknown and Invoke.
#pragma once

#include <windows.h>
#include <oleauto.h>

class CTypelessDispatch : public IDispatch
{
public:
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;

protected:
    CTypelessDispatch() = default;
    ~CTypelessDispatch() = default;
};
