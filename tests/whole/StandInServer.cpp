// The stand-in browser DLL's entry points: an in-process server of CLSID_WebBrowser.
#include <windows.h>
#include <exdisp.h>

#include "tests/support/FakeBrowserFactory.h"
#include "tests/whole/StandInBrowser.h"

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv)
{
    *ppv = nullptr;
    if (clsid != CLSID_WebBrowser)
        return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new FakeBrowserFactory(FakeBrowserOptions(), &StandInBrowser::Make);
    const HRESULT hr = factory->QueryInterface(riid, ppv);
    factory->Release();
    return hr;
}

// The browsers' windows run this DLL's window procedure until the process ends: never unload.
extern "C" HRESULT __stdcall DllCanUnloadNow()
{
    return S_FALSE;
}
