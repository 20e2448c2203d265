// The document host UI handler a site offers a browser control: the host flags, and the
// browser's own context menu, keys and drop handling. It lives inside its owner (the site) and
// answers QueryInterface and the reference count through it.
#pragma once

#include <windows.h>
#include <mshtmhst.h>

class CDocHostUIHandler : public IDocHostUIHandler
{
public:
    explicit CDocHostUIHandler(IUnknown* pOwner) : m_pOwner(pOwner) {}
    CDocHostUIHandler(const CDocHostUIHandler&) = delete;
    CDocHostUIHandler& operator=(const CDocHostUIHandler&) = delete;

    // DOCHOSTUIFLAG_* bits that GetHostInfo reports.
    void SetHostFlags(DWORD dwFlags) { m_dwHostFlags = dwFlags; }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override;
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* pInfo) override;
    STDMETHODIMP ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                        IOleInPlaceUIWindow*) override
    {
        return S_FALSE;
    }
    STDMETHODIMP HideUI() override { return S_OK; }
    STDMETHODIMP UpdateUI() override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
    STDMETHODIMP GetOptionKeyPath(LPOLESTR* pchKey, DWORD) override;
    STDMETHODIMP GetDropTarget(IDropTarget*, IDropTarget** ppDropTarget) override;
    STDMETHODIMP GetExternal(IDispatch** ppDispatch) override;
    STDMETHODIMP TranslateUrl(DWORD, LPWSTR, LPWSTR* ppchURLOut) override;
    STDMETHODIMP FilterDataObject(IDataObject*, IDataObject** ppDORet) override;

private:
    IUnknown* m_pOwner;
    DWORD m_dwHostFlags = 0;
};
