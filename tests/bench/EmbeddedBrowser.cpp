#include "tests/bench/EmbeddedBrowser.h"

// The control's site and frame in one object, owned by the EmbeddedBrowser, which closes the
// control before the site goes: the counts of its references need not be kept.
class EmbeddedBrowser::Site : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame
{
public:
    Site(HWND hHost, const RECT& rc) : m_hWnd(hHost), m_rc(rc) {}

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IOleClientSite)
            *ppv = static_cast<IOleClientSite*>(this);
        else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite)
            *ppv = static_cast<IOleInPlaceSite*>(this);
        else if (riid == IID_IOleInPlaceUIWindow || riid == IID_IOleInPlaceFrame)
            *ppv = static_cast<IOleInPlaceFrame*>(this);
        else
        {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP GetContainer(IOleContainer** pp) override
    {
        *pp = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (shared by the site and the frame)
    STDMETHODIMP GetWindow(HWND* phwnd) override
    {
        *phwnd = m_hWnd;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                                  LPRECT pos, LPRECT clip, LPOLEINPLACEFRAMEINFO info) override
    {
        *ppFrame = this;
        *ppDoc = nullptr;
        *pos = m_rc;
        *clip = m_rc;
        info->fMDIApp = FALSE;
        info->hwndFrame = m_hWnd;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow / IOleInPlaceFrame
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

private:
    HWND m_hWnd;
    RECT m_rc;
};

EmbeddedBrowser::EmbeddedBrowser(HWND hHost, const RECT& rc, const wchar_t* url)
    : m_pSite(std::make_unique<Site>(hHost, rc))
{
    // The control makes its window on the way, at the top of the host's children.
    const HWND hBefore = ::GetWindow(hHost, GW_CHILD);
    if (FAILED(::CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                  reinterpret_cast<void**>(&m_pObject))))
    {
        m_pObject = nullptr;
        return;
    }
    m_pObject->SetClientSite(m_pSite.get());
    IPersistStreamInit* pInit = nullptr;
    if (SUCCEEDED(
            m_pObject->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&pInit))))
    {
        pInit->InitNew();
        pInit->Release();
    }
    RECT pos = rc;
    const bool inPlace = SUCCEEDED(m_pObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr,
                                                     m_pSite.get(), 0, hHost, &pos)) &&
                         ::GetWindow(hHost, GW_CHILD) != nullptr &&
                         ::GetWindow(hHost, GW_CHILD) != hBefore;
    if (FAILED(m_pObject->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&m_pBrowser))))
    {
        m_pBrowser = nullptr;
        return;
    }
    BSTR bstrUrl = ::SysAllocString(url);
    const HRESULT hr = m_pBrowser->Navigate(bstrUrl, nullptr, nullptr, nullptr, nullptr);
    ::SysFreeString(bstrUrl);
    m_pBrowser->put_Silent(VARIANT_TRUE);
    m_bReady = inPlace && SUCCEEDED(hr);
}

EmbeddedBrowser::~EmbeddedBrowser()
{
    if (m_pBrowser)
        m_pBrowser->Release();
    if (m_pObject)
    {
        m_pObject->Close(OLECLOSE_NOSAVE);
        m_pObject->SetClientSite(nullptr);
        m_pObject->Release();
    }
}
