// The class object of the fake WebBrowser control, for CoRegisterClassObject in a test process
// or DllGetClassObject in a stand-in DLL.
#pragma once

#include <windows.h>
#include <ole2.h>

#include "tests/support/FakeWebBrowser.h"

// The class object of the fake: makes FakeWebBrowser objects, or what make returns (a class
// derived from it).
class FakeBrowserFactory : public IClassFactory
{
public:
    using MakeFunction = FakeWebBrowser* (*)(const FakeBrowserOptions& options);
    explicit FakeBrowserFactory(const FakeBrowserOptions& options, MakeFunction make = nullptr);
    FakeBrowserFactory(const FakeBrowserFactory&) = delete;
    FakeBrowserFactory& operator=(const FakeBrowserFactory&) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
    // Creation requests that reached the class object.
    int Requests() const { return m_requests; }

private:
    virtual ~FakeBrowserFactory() = default;

    LONG m_refs = 1;
    FakeBrowserOptions m_options;
    MakeFunction m_make;
    int m_requests = 0;
};
