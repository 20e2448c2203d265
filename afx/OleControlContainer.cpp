#include "afx/OleControlContainer.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "afx/DebugReport.h"
#include "afx/OleControlSite.h"
#include "afx/Wnd.h"

namespace {

bool g_bContainerEnabled = false;

WORD ReadWord(const BYTE* p)
{
    WORD w;
    std::memcpy(&w, p, sizeof(w));
    return w;
}

DWORD ReadDword(const BYTE* p)
{
    DWORD d;
    std::memcpy(&d, p, sizeof(d));
    return d;
}

short ReadShort(const BYTE* p)
{
    short s;
    std::memcpy(&s, p, sizeof(s));
    return s;
}

// Past a name-or-ordinal field of a dialog template.
const BYTE* SkipNameOrOrdinal(const BYTE* p)
{
    if (ReadWord(p) == 0xFFFF)
        return p + 4;
    while (ReadWord(p) != 0)
        p += 2;
    return p + 2;
}

const BYTE* AlignToDword(const BYTE* p, const BYTE* pBase)
{
    size_t offset = static_cast<size_t>(p - pBase);
    return pBase + ((offset + 3) & ~static_cast<size_t>(3));
}

// Persisted state: a 32-bit licence key length (characters), the key, then the control's stream.
void ParseState(const BYTE* p, DWORD cb, CComPtr<IStream>& rStream, BSTR* pbstrLicKey)
{
    rStream.Release();
    *pbstrLicKey = nullptr;
    if (p == nullptr || cb < 4)
        return;
    DWORD cchKey = ReadDword(p);
    p += 4;
    cb -= 4;
    if (cchKey > 0)
    {
        if (cchKey > cb / sizeof(wchar_t))
            return;
        std::wstring key(cchKey, L'\0');
        std::memcpy(&key[0], p, cchKey * sizeof(wchar_t));
        *pbstrLicKey = ::SysAllocStringLen(key.data(), cchKey);
        p += cchKey * sizeof(wchar_t);
        cb -= cchKey * sizeof(wchar_t);
    }
    if (cb == 0)
        return;
    CComPtr<IStream> pStream;
    if (FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, &pStream)))
    {
        pStream.Detach();
        return;
    }
    ULONG cbWritten = 0;
    LARGE_INTEGER zero{};
    if (FAILED(pStream->Write(p, cb, &cbWritten)) || cbWritten != cb ||
        FAILED(pStream->Seek(zero, STREAM_SEEK_SET, nullptr)))
        return;
    rStream.Attach(pStream.Detach());
}

}  // namespace

void AfxEnableControlContainer(BOOL bEnable)
{
    g_bContainerEnabled = bEnable != FALSE;
}

BOOL AfxIsControlContainerEnabled()
{
    return g_bContainerEnabled ? TRUE : FALSE;
}

COleControlContainer::COleControlContainer(CWnd* pWnd) : m_pWnd(pWnd)
{
}

COleControlContainer::~COleControlContainer()
{
    std::vector<CComPtr<COleControlSite>> sites;
    sites.swap(m_sites);
    for (CComPtr<COleControlSite>& pSite : sites)
    {
        pSite->DestroyControl();
        pSite->LeaveContainer();
        pSite.Release();
    }
}

COleControlContainer* COleControlContainer::For(CWnd* pWnd)
{
    return pWnd != nullptr ? pWnd->GetControlContainer() : nullptr;
}

COleControlSite* COleControlContainer::CreateControl(CWnd* pWndCtrl, REFCLSID clsid,
                                                     LPCWSTR lpszWindowName, DWORD dwStyle,
                                                     const RECT& rect, UINT nID, IStream* pState,
                                                     BSTR bstrLicKey, const DWORD* pDocHostFlags)
{
    if (m_pWnd == nullptr || m_pWnd->m_hWnd == nullptr)
        return nullptr;
    CComPtr<COleControlSite> pNew;
    pNew.Attach(new COleControlSite(this, m_pWnd));
    if (pDocHostFlags != nullptr)
        pNew->EnableDocHostUI(*pDocHostFlags);
    if (FAILED(pNew->CreateControl(clsid, lpszWindowName, dwStyle, rect, nID, pState, bstrLicKey)))
    {
        pNew->LeaveContainer();
        return nullptr;
    }
    COleControlSite* pSite = pNew;
    m_sites.push_back(std::move(pNew));
    if (pWndCtrl != nullptr)
    {
        pSite->BindWrapper(pWndCtrl);
        if (pWndCtrl->m_hWnd == nullptr)
            pWndCtrl->SubclassWindow(pSite->GetControlWindow());
    }
    return pSite;
}

void COleControlContainer::DestroySite(COleControlSite* pSite)
{
    auto it = std::find(m_sites.begin(), m_sites.end(), pSite);
    if (it == m_sites.end())
        return;
    CComPtr<COleControlSite> pHeld = std::move(*it);
    m_sites.erase(it);
    pHeld->DestroyControl();
    pHeld->LeaveContainer();
    pHeld.Release();
}

COleControlSite* COleControlContainer::FindSite(UINT nID) const
{
    for (COleControlSite* pSite : m_sites)
        if (pSite->GetID() == nID)
            return pSite;
    return nullptr;
}

BOOL COleControlContainer::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST)
        return FALSE;
    // A control's handler may end the container's window: walk a copy, each site held.
    const std::vector<CComPtr<COleControlSite>> sites = m_sites;
    BOOL bTaken = FALSE;
    for (COleControlSite* pSite : sites)
        if (!bTaken)
            bTaken = pSite->TranslateKey(pMsg);
    return bTaken;
}

BOOL COleControlContainer::BindControl(int nID, CWnd& rControl)
{
    COleControlSite* pSite = FindSite(static_cast<UINT>(nID));
    if (pSite == nullptr)
        return FALSE;
    pSite->BindWrapper(&rControl);
    HWND hWnd = pSite->GetControlWindow();
    if (rControl.m_hWnd == nullptr && hWnd != nullptr && ::IsWindow(hWnd))
        rControl.SubclassWindow(hWnd);
    return TRUE;
}

BOOL COleControlContainer::StripTemplate(LPCDLGTEMPLATE pTemplate, std::vector<BYTE>& rCopy,
                                         std::vector<DialogItem>& rItems)
{
    if (pTemplate == nullptr)
        return FALSE;
    const BYTE* const pBase = reinterpret_cast<const BYTE*>(pTemplate);
    const bool bEx = ReadWord(pBase) == 1 && ReadWord(pBase + 2) == 0xFFFF;
    const DWORD dwDlgStyle = ReadDword(pBase + (bEx ? 12 : 0));
    const size_t cditOffset = bEx ? 16 : 8;
    const WORD cdit = ReadWord(pBase + cditOffset);

    const BYTE* p = pBase + (bEx ? 26 : 18);
    p = SkipNameOrOrdinal(p);  // menu
    p = SkipNameOrOrdinal(p);  // class
    p = SkipNameOrOrdinal(p);  // caption
    if (dwDlgStyle & DS_SETFONT)
    {
        p += bEx ? 6 : 2;  // point size (, weight, italic, charset)
        p = SkipNameOrOrdinal(p);
    }

    // The items start at the first DWORD boundary after the header.
    const BYTE* const pHeaderEnd = AlignToDword(p, pBase);

    // Where the fields of an item stand: DLGITEMTEMPLATEEX (help id, extended style, style, place,
    // 32-bit id) or DLGITEMTEMPLATE (style, extended style, place, 16-bit id).
    struct ItemLayout
    {
        size_t nStyle, nPlace, nID, nClass;
    };
    const ItemLayout layout = bEx ? ItemLayout{8, 12, 20, 24} : ItemLayout{0, 8, 16, 18};

    struct Span
    {
        const BYTE* begin;
        const BYTE* end;
    };
    std::vector<Span> kept;
    std::vector<DialogItem> items;
    for (int i = 0; i < cdit; ++i)
    {
        p = AlignToDword(p, pBase);
        const BYTE* pItem = p;
        DialogItem item;
        item.nIndex = i;
        item.dwStyle = ReadDword(p + layout.nStyle);
        item.dwExStyle = ReadDword(p + 4);
        item.x = ReadShort(p + layout.nPlace);
        item.y = ReadShort(p + layout.nPlace + 2);
        item.cx = ReadShort(p + layout.nPlace + 4);
        item.cy = ReadShort(p + layout.nPlace + 6);
        item.nID = bEx ? ReadDword(p + layout.nID) : ReadWord(p + layout.nID);
        const BYTE* q = p + layout.nClass;
        const BYTE* pClass = q;
        q = SkipNameOrOrdinal(q);  // class
        q = SkipNameOrOrdinal(q);  // text
        WORD cbExtra = ReadWord(q);
        q += 2 + cbExtra;
        p = q;

        bool bOle = ReadWord(pClass) == L'{';
        if (!bOle)
        {
            kept.push_back({pItem, q});
            continue;
        }
        std::wstring strClass;
        for (const BYTE* c = pClass; ReadWord(c) != 0; c += 2)
            strClass.push_back(static_cast<wchar_t>(ReadWord(c)));
        if (FAILED(::CLSIDFromString(&strClass[0], &item.clsid)))
            item.clsid = CLSID_NULL;
        items.push_back(item);
    }
    if (items.empty())
        return FALSE;

    std::vector<BYTE> copy(pBase, pHeaderEnd);
    for (const Span& span : kept)
    {
        copy.resize((copy.size() + 3) & ~static_cast<size_t>(3), 0);
        copy.insert(copy.end(), span.begin, span.end);
    }
    WORD cditNew = static_cast<WORD>(kept.size());
    std::memcpy(&copy[cditOffset], &cditNew, sizeof(cditNew));

    rCopy.swap(copy);
    rItems.swap(items);
    return TRUE;
}

void COleControlContainer::SetPendingDialogItems(std::vector<DialogItem> items,
                                                 const CDlgInitReader& dlgInit)
{
    m_pending = std::move(items);
    m_dlgInit = dlgInit;
}

void COleControlContainer::CreatePendingDialogItems()
{
    std::vector<DialogItem> items;
    items.swap(m_pending);
    if (items.empty() || m_pWnd == nullptr || m_pWnd->m_hWnd == nullptr)
        return;
    HWND hDlg = m_pWnd->m_hWnd;
    int nCreated = 0;
    for (size_t k = 0; k < items.size(); ++k)
    {
        const DialogItem& item = items[k];
        RECT rect{item.x, item.y, item.x + item.cx, item.y + item.cy};
        ::MapDialogRect(hDlg, &rect);

        // Tab order: after the windows of the template items that precede this one.
        int nBefore = item.nIndex - static_cast<int>(k) + nCreated;
        HWND hWndAfter = HWND_TOP;
        if (nBefore > 0)
        {
            HWND hWnd = ::GetWindow(hDlg, GW_CHILD);
            for (int i = 1; i < nBefore && hWnd != nullptr; ++i)
                hWnd = ::GetWindow(hWnd, GW_HWNDNEXT);
            if (hWnd != nullptr)
                hWndAfter = hWnd;
        }

        CDlgInitReader::Record record;
        CComPtr<IStream> pState;
        BSTR bstrLicKey = nullptr;
        if (m_dlgInit.Find(item.nID, WM_OCC_LOADFROMSTREAM, record))
            ParseState(record.pData, record.cbData, pState, &bstrLicKey);
        COleControlSite* pSite = CreateControl(nullptr, item.clsid, nullptr, item.dwStyle, rect,
                                               item.nID, pState, bstrLicKey);
        pState.Release();
        ::SysFreeString(bstrLicKey);
        if (pSite != nullptr)
        {
            ::SetWindowPos(pSite->GetControlWindow(), hWndAfter, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            ++nCreated;
        }
        else
        {
            AfxDebugReport(L"ActiveX control %u of the dialog was not created", item.nID);
        }
    }
    m_dlgInit = CDlgInitReader();
}
