#include "afx/OleDispatchDriver.h"

#include <vector>

#include "afx/MemoryException.h"
#include "afx/OleDispatchException.h"
#include "afx/OleException.h"
#include "afx/String.h"
#include "afx/Vts.h"

namespace {

// The arguments of one dispatch call, stored last first as DISPPARAMS wants them; what the call
// made (BSTR copies, variant copies) is released with the array.
class ArgArray
{
public:
    explicit ArgArray(size_t n) : m_args(n), m_owned(n, false)
    {
        for (VARIANT& v : m_args)
            ::VariantInit(&v);
    }
    ~ArgArray()
    {
        for (size_t i = 0; i < m_args.size(); ++i)
        {
            if (!m_owned[i])
                continue;
            if (m_args[i].vt == VT_BSTR)
                ::SysFreeString(m_args[i].bstrVal);
            else
                ::VariantClear(&m_args[i]);
        }
    }
    ArgArray(const ArgArray&) = delete;
    ArgArray& operator=(const ArgArray&) = delete;

    // Argument i in declaration order.
    VARIANT& At(size_t i, bool owned = false)
    {
        size_t k = m_args.size() - 1 - i;
        m_owned[k] = owned;
        return m_args[k];
    }
    VARIANT* Data() { return m_args.empty() ? nullptr : m_args.data(); }
    UINT Count() const { return static_cast<UINT>(m_args.size()); }

private:
    std::vector<VARIANT> m_args;
    std::vector<bool> m_owned;
};

void ReadArgument(VARIANT& v, VARTYPE vt, va_list& args)
{
    v.vt = vt;
    switch (vt)
    {
    case VT_UI1:
        v.bVal = static_cast<BYTE>(va_arg(args, int));
        break;
    case VT_I2:
        v.iVal = static_cast<SHORT>(va_arg(args, int));
        break;
    case VT_I4:
        v.lVal = va_arg(args, long);
        break;
    case VT_ERROR:
        v.scode = va_arg(args, long);
        break;
    case VT_R4:
        v.fltVal = static_cast<float>(va_arg(args, double));
        break;
    case VT_R8:
        v.dblVal = va_arg(args, double);
        break;
    case VT_BOOL:
        v.boolVal = va_arg(args, BOOL) ? VARIANT_TRUE : VARIANT_FALSE;
        break;
    case VT_DISPATCH:
        v.pdispVal = va_arg(args, IDispatch*);
        break;
    case VT_UNKNOWN:
        v.punkVal = va_arg(args, IUnknown*);
        break;
    default:
        if (vt & VT_BYREF)
        {
            // The caller's storage, passed on unchanged (NULL included).
            v.byref = va_arg(args, void*);
            break;
        }
        v.vt = VT_EMPTY;
        AfxThrowOleException(DISP_E_BADVARTYPE);
    }
}

}  // namespace

void COleDispatchDriver::InvokeHelperV(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                                       const BYTE* pbParamInfo, va_list argList)
{
    if (m_pDispatch == nullptr)
        return;

    size_t nArgs = 0;
    if (pbParamInfo != nullptr)
        while (pbParamInfo[nArgs] != 0)
            ++nArgs;

    ArgArray args(nArgs);
    va_list argCopy;
    va_copy(argCopy, argList);
    try
    {
        for (size_t i = 0; i < nArgs; ++i)
        {
            BYTE b = pbParamInfo[i];
            VARTYPE vt = static_cast<VARTYPE>(b & ~VTS_BYREF_FLAG);
            if (b & VTS_BYREF_FLAG)
                vt |= VT_BYREF;
            if (vt == VT_BSTR)
            {
                LPCWSTR psz = va_arg(argCopy, LPCWSTR);
                VARIANT& v = args.At(i, true);
                v.vt = VT_BSTR;
                v.bstrVal = nullptr;
                if (psz != nullptr)
                {
                    v.bstrVal = ::SysAllocString(psz);
                    if (v.bstrVal == nullptr)
                        AfxThrowMemoryException();
                }
            }
            else if (vt == VT_VARIANT)
            {
                // By value: a copy of the caller's variant.
                const VARIANT* pSrc = va_arg(argCopy, const VARIANT*);
                VARIANT& v = args.At(i, true);
                if (pSrc != nullptr)
                {
                    HRESULT hr = ::VariantCopy(&v, const_cast<VARIANT*>(pSrc));
                    if (FAILED(hr))
                        AfxThrowOleException(hr);
                }
            }
            else
            {
                ReadArgument(args.At(i), vt, argCopy);
            }
        }
    }
    catch (...)
    {
        va_end(argCopy);
        throw;
    }
    va_end(argCopy);

    DISPID dispidNamed = DISPID_PROPERTYPUT;
    DISPPARAMS params{args.Data(), nullptr, args.Count(), 0};
    if (wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF))
    {
        params.rgdispidNamedArgs = &dispidNamed;
        params.cNamedArgs = 1;
    }

    VARIANT result;
    ::VariantInit(&result);
    EXCEPINFO excepInfo{};
    UINT nArgErr = 0;
    HRESULT hr = m_pDispatch->Invoke(dwDispID, IID_NULL, 0, wFlags, &params,
                                     vtRet != VT_EMPTY ? &result : nullptr, &excepInfo, &nArgErr);
    if (FAILED(hr))
    {
        ::VariantClear(&result);
        if (hr != DISP_E_EXCEPTION)
            AfxThrowOleException(hr);
        if (excepInfo.pfnDeferredFillIn != nullptr)
            excepInfo.pfnDeferredFillIn(&excepInfo);
        COleDispatchException e(excepInfo.bstrDescription, excepInfo.dwHelpContext,
                                excepInfo.wCode);
        e.m_scError = excepInfo.scode;
        e.m_strSource = excepInfo.bstrSource;
        e.m_strHelpFile = excepInfo.bstrHelpFile;
        ::SysFreeString(excepInfo.bstrSource);
        ::SysFreeString(excepInfo.bstrDescription);
        ::SysFreeString(excepInfo.bstrHelpFile);
        throw e;
    }

    if (vtRet == VT_EMPTY)
        return;
    if (vtRet != VT_VARIANT && result.vt != vtRet)
    {
        hr = ::VariantChangeType(&result, &result, 0, vtRet);
        if (FAILED(hr))
        {
            ::VariantClear(&result);
            AfxThrowOleException(hr);
        }
    }
    switch (vtRet)
    {
    case VT_BSTR:
    {
        BSTR bstr = result.bstrVal;
        result.vt = VT_EMPTY;
        struct Free
        {
            BSTR b;
            ~Free() { ::SysFreeString(b); }
        } guard{bstr};
        *static_cast<CString*>(pvRet) = CString::FromBSTR(bstr);
        break;
    }
    case VT_UI1:
        *static_cast<BYTE*>(pvRet) = result.bVal;
        break;
    case VT_I2:
        *static_cast<short*>(pvRet) = result.iVal;
        break;
    case VT_I4:
        *static_cast<long*>(pvRet) = result.lVal;
        break;
    case VT_R4:
        *static_cast<float*>(pvRet) = result.fltVal;
        break;
    case VT_R8:
        *static_cast<double*>(pvRet) = result.dblVal;
        break;
    case VT_BOOL:
        *static_cast<BOOL*>(pvRet) = result.boolVal != VARIANT_FALSE;
        break;
    case VT_DISPATCH:
    case VT_UNKNOWN:
        // The reference goes to the caller.
        *static_cast<IUnknown**>(pvRet) = result.punkVal;
        result.vt = VT_EMPTY;
        break;
    case VT_VARIANT:
        // The caller's VARIANT takes the result over.
        *static_cast<VARIANT*>(pvRet) = result;
        result.vt = VT_EMPTY;
        break;
    default:
        ::VariantClear(&result);
        AfxThrowOleException(DISP_E_BADVARTYPE);
    }
    ::VariantClear(&result);
}
