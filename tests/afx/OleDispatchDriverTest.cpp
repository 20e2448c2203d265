// COleDispatchDriver against a small IDispatch of the test's own: how the arguments reach
// Invoke, how results are converted, and what a failed call throws.
#include <gtest/gtest.h>

#include <cstdarg>
#include <vector>

#include "afx/OleDispatchDriver.h"
#include "afx/OleDispatchException.h"
#include "afx/OleException.h"
#include "afx/String.h"
#include "afx/Vts.h"

namespace {

const BYTE* Params(const char* vts)
{
    return reinterpret_cast<const BYTE*>(vts);
}

// A call through the driver with its arguments in a va_list, as the control site passes them on.
void Call(COleDispatchDriver driver, DISPID dispid, WORD flags, VARTYPE vtRet, void* pvRet,
          const BYTE* params, ...)
{
    va_list args;
    va_start(args, params);
    try
    {
        driver.InvokeHelperV(dispid, flags, vtRet, pvRet, params, args);
    }
    catch (...)
    {
        va_end(args);
        throw;
    }
    va_end(args);
}

// One Invoke as the object saw it: the arguments in declaration order, copied.
struct SeenCall
{
    DISPID dispid = 0;
    WORD flags = 0;
    bool wantedResult = false;
    std::vector<DISPID> named;
    std::vector<VARIANT> args;
};

// Records every Invoke and answers with the prepared result or failure. Lives on the stack: its
// reference count is only watched.
class RecordingDispatch : public IDispatch
{
public:
    ~RecordingDispatch()
    {
        for (SeenCall& call : calls)
            for (VARIANT& v : call.args)
                ::VariantClear(&v);
        ::VariantClear(&result);
    }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid != IID_IUnknown && riid != IID_IDispatch)
        {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--refs); }
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override
    {
        *pctinfo = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD wFlags, DISPPARAMS* pParams,
                        VARIANT* pResult, EXCEPINFO* pExcepInfo, UINT*) override
    {
        SeenCall call;
        call.dispid = dispid;
        call.flags = wFlags;
        call.wantedResult = pResult != nullptr;
        for (UINT i = 0; i < pParams->cNamedArgs; ++i)
            call.named.push_back(pParams->rgdispidNamedArgs[i]);
        for (UINT i = pParams->cArgs; i-- > 0;)
        {
            VARIANT copy;
            ::VariantInit(&copy);
            ::VariantCopy(&copy, &pParams->rgvarg[i]);
            call.args.push_back(copy);
        }
        calls.push_back(call);
        if (raise)
        {
            pExcepInfo->wCode = 0;
            pExcepInfo->scode = E_ABORT;
            pExcepInfo->bstrSource = ::SysAllocString(L"RecordingDispatch");
            pExcepInfo->bstrDescription = ::SysAllocString(L"refused by the object");
            return DISP_E_EXCEPTION;
        }
        if (FAILED(failure))
            return failure;
        if (pResult != nullptr)
            ::VariantCopy(pResult, &result);
        return S_OK;
    }

    LONG refs = 1;
    std::vector<SeenCall> calls;
    VARIANT result{};
    HRESULT failure = S_OK;
    bool raise = false;
};

TEST(OleDispatchDriver, ArgumentsReachInvokeInDeclarationOrderWithTheirTypes)
{
    RecordingDispatch object;
    COleDispatchDriver driver(&object);
    VARIANT byValue;
    ::VariantInit(&byValue);
    byValue.vt = VT_I4;
    byValue.lVal = 77;
    short shortOut = 0;
    Call(driver, 7, DISPATCH_METHOD, VT_EMPTY, nullptr,
         Params(VTS_BSTR VTS_I4 VTS_BOOL VTS_R8 VTS_UI1 VTS_VARIANT VTS_PI2), L"text", 123456L, 5,
         2.5, 200, &byValue, &shortOut);

    ASSERT_EQ(object.calls.size(), 1u);
    const SeenCall& call = object.calls[0];
    ASSERT_EQ(call.args.size(), 7u);
    EXPECT_TRUE(call.dispid == 7 && call.flags == DISPATCH_METHOD);
    EXPECT_TRUE(!call.wantedResult && call.named.empty());
    ASSERT_EQ(call.args[0].vt, VT_BSTR);
    EXPECT_STREQ(call.args[0].bstrVal, L"text");
    ASSERT_EQ(call.args[1].vt, VT_I4);
    EXPECT_EQ(call.args[1].lVal, 123456);
    ASSERT_EQ(call.args[2].vt, VT_BOOL);
    EXPECT_EQ(call.args[2].boolVal, VARIANT_TRUE);
    ASSERT_EQ(call.args[3].vt, VT_R8);
    EXPECT_DOUBLE_EQ(call.args[3].dblVal, 2.5);
    ASSERT_EQ(call.args[4].vt, VT_UI1);
    EXPECT_EQ(call.args[4].bVal, 200);
    // A by-value variant arrives as its value, a pointer as the caller's storage.
    ASSERT_EQ(call.args[5].vt, VT_I4);
    EXPECT_EQ(call.args[5].lVal, 77);
    ASSERT_EQ(call.args[6].vt, VT_I2 | VT_BYREF);
    EXPECT_EQ(call.args[6].piVal, &shortOut);
}

TEST(OleDispatchDriver, PropertyPutNamesItsValue)
{
    RecordingDispatch object;
    Call(COleDispatchDriver(&object), 551, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr,
         Params(VTS_BOOL), FALSE);
    ASSERT_EQ(object.calls.size(), 1u);
    ASSERT_EQ(object.calls[0].named.size(), 1u);
    EXPECT_EQ(object.calls[0].named[0], DISPID_PROPERTYPUT);
    ASSERT_EQ(object.calls[0].args.size(), 1u);
    EXPECT_EQ(object.calls[0].args[0].boolVal, VARIANT_FALSE);
}

TEST(OleDispatchDriver, ResultsAreConvertedToTheWantedType)
{
    RecordingDispatch object;
    COleDispatchDriver driver(&object);
    object.result.vt = VT_I4;
    object.result.lVal = 1;

    CString text;
    Call(driver, 1, DISPATCH_PROPERTYGET, VT_BSTR, &text, nullptr);
    EXPECT_STREQ(text, L"1");
    double number = 0;
    Call(driver, 1, DISPATCH_PROPERTYGET, VT_R8, &number, nullptr);
    EXPECT_DOUBLE_EQ(number, 1.0);
    BOOL flag = FALSE;
    Call(driver, 1, DISPATCH_PROPERTYGET, VT_BOOL, &flag, nullptr);
    EXPECT_TRUE(flag);
    VARIANT any;
    ::VariantInit(&any);
    Call(driver, 1, DISPATCH_PROPERTYGET, VT_VARIANT, &any, nullptr);
    EXPECT_EQ(any.vt, VT_I4);
    EXPECT_EQ(any.lVal, 1);
    EXPECT_EQ(object.calls.size(), 4u);
    for (const SeenCall& call : object.calls)
        EXPECT_TRUE(call.wantedResult);
}

TEST(OleDispatchDriver, AnInterfaceResultIsAReferenceOfTheCallers)
{
    RecordingDispatch object;
    RecordingDispatch other;
    object.result.vt = VT_DISPATCH;
    object.result.pdispVal = &other;  // released by object's destructor
    other.AddRef();
    IDispatch* pResult = nullptr;
    Call(COleDispatchDriver(&object), 2, DISPATCH_PROPERTYGET, VT_DISPATCH, &pResult, nullptr);
    EXPECT_EQ(pResult, &other);
    EXPECT_EQ(other.refs, 3);  // the test's, the prepared result's, the caller's
    pResult->Release();
}

TEST(OleDispatchDriver, FailuresThrowWithWhatTheObjectSaid)
{
    RecordingDispatch object;
    COleDispatchDriver driver(&object);
    object.failure = E_ACCESSDENIED;
    try
    {
        Call(driver, 3, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr);
        ADD_FAILURE() << "no exception";
    }
    catch (COleException& e)
    {
        EXPECT_EQ(e.m_sc, E_ACCESSDENIED);
    }

    object.raise = true;
    try
    {
        Call(driver, 3, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr);
        ADD_FAILURE() << "no exception";
    }
    catch (COleDispatchException& e)
    {
        EXPECT_STREQ(e.m_strDescription, L"refused by the object");
        EXPECT_STREQ(e.m_strSource, L"RecordingDispatch");
        EXPECT_EQ(e.m_scError, E_ABORT);
    }
    EXPECT_EQ(object.calls.size(), 2u);
}

TEST(OleDispatchDriver, UnsupportedArgumentTypeThrowsBeforeAnyCall)
{
    RecordingDispatch object;
    try
    {
        Call(COleDispatchDriver(&object), 4, DISPATCH_METHOD, VT_EMPTY, nullptr, Params("\x07"),
             1.0);  // VT_DATE
        ADD_FAILURE() << "no exception";
    }
    catch (COleException& e)
    {
        EXPECT_EQ(e.m_sc, DISP_E_BADVARTYPE);
    }
    EXPECT_TRUE(object.calls.empty());
}

TEST(OleDispatchDriver, WithoutAnInterfaceNothingHappens)
{
    CString result(L"untouched");
    Call(COleDispatchDriver(nullptr), 5, DISPATCH_PROPERTYGET, VT_BSTR, &result, nullptr);
    EXPECT_STREQ(result, L"untouched");
}

}  // namespace
