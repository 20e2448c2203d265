#include "tests/support/FakeBrowserFactory.h"

FakeBrowserFactory::FakeBrowserFactory(const FakeBrowserOptions& options, MakeFunction make)
    : m_options(options),
      m_make(make)
{
}

STDMETHODIMP FakeBrowserFactory::QueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IUnknown || riid == IID_IClassFactory)
    {
        *ppv = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) FakeBrowserFactory::AddRef()
{
    return ::InterlockedIncrement(&m_refs);
}

STDMETHODIMP_(ULONG) FakeBrowserFactory::Release()
{
    LONG n = ::InterlockedDecrement(&m_refs);
    if (n == 0)
        delete this;
    return n;
}

STDMETHODIMP FakeBrowserFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv)
{
    ++m_requests;
    *ppv = nullptr;
    if (outer != nullptr)
        return CLASS_E_NOAGGREGATION;
    if (m_options.refuseCreation)
        return E_FAIL;
    FakeWebBrowser* browser = m_make != nullptr ? m_make(m_options) : new FakeWebBrowser(m_options);
    HRESULT hr = browser->QueryInterface(riid, ppv);
    browser->Release();
    return hr;
}

FakeBrowserRegistration::FakeBrowserRegistration(const FakeBrowserOptions& options)
{
    m_factory = new FakeBrowserFactory(options);
    if (FAILED(::CoRegisterClassObject(CLSID_WebBrowser, m_factory, CLSCTX_INPROC_SERVER,
                                       REGCLS_MULTIPLEUSE, &m_cookie)))
        m_cookie = 0;
}

FakeBrowserRegistration::~FakeBrowserRegistration()
{
    if (m_cookie != 0)
        ::CoRevokeClassObject(m_cookie);
    m_factory->Release();
}

int FakeBrowserRegistration::Requests() const
{
    return m_factory->Requests();
}
