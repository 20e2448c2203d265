// Typed calls through an IDispatch: the arguments as a VTS_ string describes them, the result
// converted to the C++ type of its VARTYPE. The driver borrows the interface; the caller keeps
// it alive for the call.
//
// Arguments (pbParamInfo, NULL: none): VTS_BSTR a LPCWSTR (copied into a BSTR for the call),
// VTS_VARIANT a const VARIANT* (copied), VTS_BOOL a BOOL, VTS_I2/VTS_UI1 an int, VTS_I4/VTS_SCODE
// a long, VTS_R4/VTS_R8 a double, VTS_DISPATCH/VTS_UNKNOWN the interface pointer, and every
// VTS_P* the caller's storage, passed on unchanged. A property put passes its value as the named
// argument DISPID_PROPERTYPUT.
//
// Result (vtRet, VT_EMPTY: none) into pvRet: VT_BSTR a CString, VT_UI1 a BYTE, VT_I2 a short,
// VT_I4 a long, VT_R4 a float, VT_R8 a double, VT_BOOL a BOOL, VT_DISPATCH/VT_UNKNOWN an owned
// interface pointer, VT_VARIANT a VARIANT the caller clears. A result of another type is changed
// to vtRet first.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <cstdarg>

class COleDispatchDriver
{
public:
    explicit COleDispatchDriver(IDispatch* pDispatch) : m_pDispatch(pDispatch) {}

    // Without an interface nothing is called and *pvRet is left as it is. Throws COleException
    // when the call fails or a type is not supported, COleDispatchException with what the
    // object raised (DISP_E_EXCEPTION), CMemoryException when a string cannot be copied.
    void InvokeHelperV(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                       const BYTE* pbParamInfo, va_list argList);

private:
    IDispatch* m_pDispatch;
};
