// A stand-in for the WebBrowser control, registered for its class identifier inside the test
// process. It supports what control hosting needs (embedding, in-place activation with a real
// child window, persisted state, the DWebBrowserEvents2 connection point, IDispatch and
// IWebBrowser2), records every dispatch call with its arguments, can be told to fail calls, and
// fires events on demand.
//
// It behaves to its container as the real control does: its window holds a view window, where the
// page's focus and input live; a click into the view UI-activates the control (OnUIActivate,
// its active object handed to the frame and the document window), gives the view the focus and
// tells the site (OnFocus). Its active object's TranslateAccelerator records every key it is
// shown and takes (S_OK) the keys it is told to consume; keys that reach the view are recorded in
// the same timeline.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <ocidl.h>
#include <exdisp.h>

#include <string>
#include <vector>

#include "afx/ScopedHandles.h"

class FakeBrowserFactory;

// One recorded argument, in declaration order (the reverse of the DISPPARAMS array).
struct FakeInvokeArg
{
    VARTYPE vt = VT_EMPTY;
    std::wstring text;      // VT_BSTR: the string (empty for a NULL BSTR), its pointer below
    bool nullBstr = false;  // VT_BSTR: the BSTR was NULL
    long long number = 0;   // VT_BOOL, VT_I2, VT_I4: the value
    const void* pointer = nullptr;  // by-reference and interface arguments: the pointer
};

struct FakeInvokeCall
{
    DISPID dispid = 0;
    WORD flags = 0;
    std::vector<FakeInvokeArg> args;
    std::vector<DISPID> namedArgs;
    bool wantedResult = false;  // the caller passed a result variant
};

// What the fake saw of the keyboard, in order: a key message shown to its active object's
// TranslateAccelerator, a key message its view's window procedure received, or the view's focus
// coming or going.
struct FakeKeyEvent
{
    enum Kind
    {
        Accelerator,
        Received,
        Focus
    };
    Kind kind = Received;
    UINT message = 0;  // key messages: the message and its key
    WPARAM key = 0;
    HWND hwnd = nullptr;
    bool ctrl = false;      // Ctrl was down
    bool consumed = false;  // TranslateAccelerator answered S_OK
    bool focus = false;     // Focus: gained, else lost
};

// The events as text, one token each, separated by ", ": "A down 09" (accelerator), "V char 61"
// (received by the view), with "^" when Ctrl was down and "*" when the control took the key;
// with withFocus, "F+" and "F-" for the focus. Keys in hexadecimal.
std::string KeyTrace(const std::vector<FakeKeyEvent>& events, bool withFocus = false);

struct FakeBrowserOptions
{
    bool refuseCreation = false;     // the class factory fails
    bool refuseInPlace = false;      // DoVerb fails: no window
    bool failLoad = false;           // IPersistStreamInit::Load fails
    bool provideClassInfo = false;   // answer IProvideClassInfo2 (default source interface)
    std::vector<UINT> consumedKeys;  // virtual keys whose key-downs and -ups the control takes
};

class FakeWebBrowser : public IWebBrowser2,
                       public IOleObject,
                       public IOleInPlaceObject,
                       public IPersistStreamInit,
                       public IConnectionPointContainer,
                       public IProvideClassInfo2,
                       public IOleInPlaceActiveObject
{
public:
    explicit FakeWebBrowser(const FakeBrowserOptions& options);
    FakeWebBrowser(const FakeWebBrowser&) = delete;
    FakeWebBrowser& operator=(const FakeWebBrowser&) = delete;

    // Objects alive now, oldest first.
    static const std::vector<FakeWebBrowser*>& Live();
    static FakeWebBrowser* Newest();
    // Objects created since the process started.
    static int CreatedCount();
    // 1 for the first object of the process, 2 for the next: unlike its address, never reused.
    int Serial() const { return m_serial; }

    // Recorded state.
    const std::vector<FakeInvokeCall>& Calls() const { return m_calls; }
    void ClearCalls() { m_calls.clear(); }
    const std::vector<std::wstring>& Navigations() const { return m_navigations; }
    HWND Window() const { return m_hWnd; }
    // The window inside Window() where the page's focus and input are.
    HWND View() const { return m_view; }
    bool UIActive() const { return m_uiActive; }
    const std::vector<FakeKeyEvent>& KeyEvents() const { return m_keys; }
    void ClearKeyEvents() { m_keys.clear(); }
    void SetConsumedKeys(std::vector<UINT> keys) { m_options.consumedKeys = std::move(keys); }
    // As a click into the view does: UI activation and the focus.
    void UIActivate();
    IOleClientSite* ClientSite() const { return m_site; }
    bool SiteSetBeforeState() const { return m_siteBeforeState; }
    bool LoadCalled() const { return m_loadCalled; }
    bool InitNewCalled() const { return m_initNewCalled; }
    const std::vector<BYTE>& LoadedState() const { return m_loadedState; }
    SIZEL Extent() const { return m_extent; }
    RECT ContextPosRect() const { return m_contextPos; }
    bool GotFrame() const { return m_gotFrame; }
    bool Closed() const { return m_closed; }
    int SinkCount() const;
    bool Silent() const { return m_silent; }

    // LocationURL: the string handed out; every BSTR handed out is recorded.
    void SetLocation(const std::wstring& url) { m_location = url; }
    // Answers LocationURL with this variant (copied) instead of the string; VT_EMPTY resets.
    void SetLocationResult(const VARIANT& value);
    const std::vector<BSTR>& HandedOutBstrs() const { return m_handedOut; }
    // The BSTRs put into EXCEPINFO by failing calls (source and description).
    const std::vector<BSTR>& ExceptionBstrs() const { return m_exceptionBstrs; }

    // The next call of that DISPID fails with the result code.
    void FailNext(DISPID dispid, HRESULT hr);
    // The next call of that DISPID fails with DISP_E_EXCEPTION and this EXCEPINFO; with deferred
    // set, the description comes from pfnDeferredFillIn.
    void ThrowNext(DISPID dispid, WORD code, SCODE scode, const std::wstring& description,
                   bool deferred = false);

    // Events through the connection point, arguments in declaration order.
    void Fire(DISPID dispid, std::vector<VARIANT> args);
    void FireNavigateComplete2(const std::wstring& url);

    // Questions to the host through the client site.
    bool AmbientUserMode(VARIANT_BOOL* value) const;
    bool HostInfoFlags(DWORD* flags) const;
    HRESULT AskContextMenu() const;

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    STDMETHODIMP Invoke(DISPID dispid, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) override;

    // IWebBrowser / IWebBrowserApp / IWebBrowser2: navigation and LocationURL are real, the rest
    // answers E_NOTIMPL.
    STDMETHODIMP GoBack() override { return E_NOTIMPL; }
    STDMETHODIMP GoForward() override { return E_NOTIMPL; }
    STDMETHODIMP GoHome() override { return E_NOTIMPL; }
    STDMETHODIMP GoSearch() override { return E_NOTIMPL; }
    STDMETHODIMP Navigate(BSTR url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) override;
    STDMETHODIMP Refresh() override { return E_NOTIMPL; }
    STDMETHODIMP Refresh2(VARIANT*) override { return E_NOTIMPL; }
    STDMETHODIMP Stop() override { return E_NOTIMPL; }
    STDMETHODIMP get_Application(IDispatch**) override { return E_NOTIMPL; }
    STDMETHODIMP get_Parent(IDispatch**) override { return E_NOTIMPL; }
    STDMETHODIMP get_Container(IDispatch**) override { return E_NOTIMPL; }
    STDMETHODIMP get_Document(IDispatch**) override { return E_NOTIMPL; }
    STDMETHODIMP get_TopLevelContainer(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP get_Type(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP get_Left(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP put_Left(LONG) override { return E_NOTIMPL; }
    STDMETHODIMP get_Top(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP put_Top(LONG) override { return E_NOTIMPL; }
    STDMETHODIMP get_Width(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP put_Width(LONG) override { return E_NOTIMPL; }
    STDMETHODIMP get_Height(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP put_Height(LONG) override { return E_NOTIMPL; }
    STDMETHODIMP get_LocationName(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP get_LocationURL(BSTR* url) override;
    STDMETHODIMP get_Busy(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP Quit() override { return E_NOTIMPL; }
    STDMETHODIMP ClientToWindow(int*, int*) override { return E_NOTIMPL; }
    STDMETHODIMP PutProperty(BSTR, VARIANT) override { return E_NOTIMPL; }
    STDMETHODIMP GetProperty(BSTR, VARIANT*) override { return E_NOTIMPL; }
    STDMETHODIMP get_Name(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP get_HWND(SHANDLE_PTR*) override { return E_NOTIMPL; }
    STDMETHODIMP get_FullName(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP get_Path(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP get_Visible(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_Visible(VARIANT_BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP get_StatusBar(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_StatusBar(VARIANT_BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP get_StatusText(BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP put_StatusText(BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP get_ToolBar(int*) override { return E_NOTIMPL; }
    STDMETHODIMP put_ToolBar(int) override { return E_NOTIMPL; }
    STDMETHODIMP get_MenuBar(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_MenuBar(VARIANT_BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP get_FullScreen(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_FullScreen(VARIANT_BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP Navigate2(VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) override;
    STDMETHODIMP QueryStatusWB(OLECMDID, OLECMDF*) override { return E_NOTIMPL; }
    STDMETHODIMP ExecWB(OLECMDID, OLECMDEXECOPT, VARIANT*, VARIANT*) override { return E_NOTIMPL; }
    STDMETHODIMP ShowBrowserBar(VARIANT*, VARIANT*, VARIANT*) override { return E_NOTIMPL; }
    STDMETHODIMP get_ReadyState(READYSTATE*) override { return E_NOTIMPL; }
    STDMETHODIMP get_Offline(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_Offline(VARIANT_BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP get_Silent(VARIANT_BOOL* value) override;
    STDMETHODIMP put_Silent(VARIANT_BOOL value) override;
    STDMETHODIMP get_RegisterAsBrowser(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_RegisterAsBrowser(VARIANT_BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP get_RegisterAsDropTarget(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_RegisterAsDropTarget(VARIANT_BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP get_TheaterMode(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_TheaterMode(VARIANT_BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP get_AddressBar(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_AddressBar(VARIANT_BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP get_Resizable(VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP put_Resizable(VARIANT_BOOL) override { return E_NOTIMPL; }

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override;
    STDMETHODIMP GetClientSite(IOleClientSite** site) override;
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD) override;
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                        LPCRECT rect) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID* clsid) override;
    STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP Advise(IAdviseSink*, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD) override { return S_OK; }
    STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleWindow / IOleInPlaceObject
    STDMETHODIMP GetWindow(HWND* phwnd) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override;
    STDMETHODIMP SetObjectRects(LPCRECT pos, LPCRECT clip) override;
    STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }

    // IPersist / IPersistStreamInit
    STDMETHODIMP GetClassID(CLSID* clsid) override;
    STDMETHODIMP IsDirty() override { return S_FALSE; }
    STDMETHODIMP Load(LPSTREAM stream) override;
    STDMETHODIMP Save(LPSTREAM, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
    STDMETHODIMP InitNew() override;

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** cp) override;

    // IProvideClassInfo2
    STDMETHODIMP GetClassInfo(ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

    // IOleInPlaceActiveObject
    STDMETHODIMP TranslateAccelerator(LPMSG msg) override;
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }

protected:
    virtual ~FakeWebBrowser();
    // Every navigation request (Navigate, Navigate2, dispatch call 104) ends here.
    virtual void RecordNavigation(const std::wstring& url);
    // Every key and focus event ends here.
    virtual void RecordKey(const FakeKeyEvent& event);
    // A click into the view (its button release), after the control has taken the focus.
    virtual void OnViewClick(POINT) {}
    // Messages of the control's own window, before its default processing; TRUE: handled.
    virtual bool OnWindowMessage(UINT, WPARAM, LPARAM) { return false; }

private:
    // The DWebBrowserEvents2 connection point; its lifetime is the browser's.
    class EventPoint : public IConnectionPoint
    {
    public:
        explicit EventPoint(FakeWebBrowser* owner) : m_owner(owner) {}
        STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
        STDMETHODIMP_(ULONG) AddRef() override { return m_owner->AddRef(); }
        STDMETHODIMP_(ULONG) Release() override { return m_owner->Release(); }
        STDMETHODIMP GetConnectionInterface(IID* iid) override;
        STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** cpc) override;
        STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
        STDMETHODIMP Unadvise(DWORD cookie) override;
        STDMETHODIMP EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

    private:
        FakeWebBrowser* m_owner;
    };

    struct Failure
    {
        DISPID dispid;
        HRESULT hr;
        bool exception;
        WORD code;
        SCODE scode;
        std::wstring description;
        bool deferred;
    };

    // The site's interface of that kind, or NULL.
    template <class T>
    CComPtr<T> SiteAs(REFIID iid) const
    {
        CComPtr<T> p;
        if (m_site != nullptr)
            m_site->QueryInterface(iid, reinterpret_cast<void**>(&p));
        return p;
    }

    void Record(DISPID dispid, WORD flags, DISPPARAMS* params, VARIANT* result);
    HRESULT TakeFailure(DISPID dispid, EXCEPINFO* excepInfo);
    void DestroyWindowIfAny();
    static LRESULT CALLBACK ViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK OuterProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void TellFocus(bool focus);

    LONG m_refs = 1;
    FakeBrowserOptions m_options;
    int m_serial = 0;
    EventPoint m_point{this};
    std::vector<std::pair<DWORD, IDispatch*>> m_sinks;
    DWORD m_nextCookie = 1;
    CComPtr<IOleClientSite> m_site;
    HWND m_hWnd = nullptr;
    HWND m_view = nullptr;
    bool m_uiActive = false;
    CComPtr<IOleInPlaceFrame> m_frame;  // held while UI active
    CComPtr<IOleInPlaceUIWindow> m_doc;
    std::vector<FakeKeyEvent> m_keys;
    bool m_siteBeforeState = false;
    bool m_loadCalled = false;
    bool m_initNewCalled = false;
    bool m_closed = false;
    bool m_gotFrame = false;
    bool m_silent = false;
    std::vector<BYTE> m_loadedState;
    SIZEL m_extent{0, 0};
    RECT m_contextPos{0, 0, 0, 0};
    std::wstring m_location;
    VARIANT m_locationResult;
    std::vector<BSTR> m_handedOut;
    std::vector<BSTR> m_exceptionBstrs;
    std::vector<FakeInvokeCall> m_calls;
    std::vector<std::wstring> m_navigations;
    std::vector<Failure> m_failures;
};

// Registers the fake's class object for CLSID_WebBrowser while it lives.
class FakeBrowserRegistration
{
public:
    explicit FakeBrowserRegistration(const FakeBrowserOptions& options = FakeBrowserOptions());
    ~FakeBrowserRegistration();
    FakeBrowserRegistration(const FakeBrowserRegistration&) = delete;
    FakeBrowserRegistration& operator=(const FakeBrowserRegistration&) = delete;
    bool Registered() const { return m_cookie != 0; }
    // Creation requests that reached the class object.
    int Requests() const;

private:
    FakeBrowserFactory* m_factory = nullptr;
    DWORD m_cookie = 0;
};
