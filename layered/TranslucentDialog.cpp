#include "layered/TranslucentDialog.h"

#include <cstring>
#include <optional>

#include "afx/ScopedHandles.h"
#include "layered/LoadImageFromResource.h"
#include "layered/RenderChild.h"
#include "layered/StandardDialog.h"

namespace {

using PFN_UPDATELAYEREDWINDOW = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF,
                                              BLENDFUNCTION*, DWORD);

}  // namespace

POINT CenteredWindowOrigin(const RECT& rcWork, int cx, int cy)
{
    POINT pt;
    pt.x = ((rcWork.right - rcWork.left) - cx) / 2 + rcWork.left;
    pt.y = ((rcWork.bottom - rcWork.top) - cy) / 2 + rcWork.top;
    return pt;
}

BEGIN_MESSAGE_MAP(CTranslucentDialog, CDialog)
    ON_WM_ERASEBKGND()
    ON_WM_MOVE()
    ON_WM_SIZE()
    ON_WM_CREATE()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CTranslucentDialog::CTranslucentDialog(UINT nIDTemplate, UINT nImageResID, LPCTSTR lpszImageType,
                                       HINSTANCE hImageInst, CWnd* pParent)
    : CDialog(nIDTemplate, pParent)
{
    m_pImage = LoadImageFromResource(nImageResID, lpszImageType, hImageInst);
    m_bEnableDrag = true;
    m_bCenterOnCreate = true;
    m_bIgnoreRenderRequests = false;
    m_bHideBackground = false;
    m_pStandardDlg = nullptr;
}

CTranslucentDialog::~CTranslucentDialog()
{
    if (m_pStandardDlg)
    {
        delete m_pStandardDlg;
        m_pStandardDlg = nullptr;
    }
    ReleaseSkin();
}

void CTranslucentDialog::ReleaseSkin()
{
    delete m_pImage;  // disposes the GDI+ image and frees the object with GDI+'s allocator
    m_pImage = nullptr;
}

SIZE CTranslucentDialog::SkinSize() const
{
    // Without an image object the skin counts as 0 by 0.
    SIZE size = {0, 0};
    if (m_pImage)
    {
        size.cx = static_cast<LONG>(m_pImage->GetWidth());
        size.cy = static_cast<LONG>(m_pImage->GetHeight());
    }
    return size;
}

int CTranslucentDialog::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    int x = lpCreateStruct->x;
    int y = lpCreateStruct->y;

    if (m_bCenterOnCreate)
    {
        const SIZE skin = SkinSize();
        RECT rc = {0, 0, skin.cx, skin.cy};
        ::AdjustWindowRect(&rc, static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE)), FALSE);
        RECT rcWork = {};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rcWork, 0);
        const POINT pt = CenteredWindowOrigin(rcWork, rc.right - rc.left, rc.bottom - rc.top);
        x = pt.x;
        y = pt.y;
    }

    const SIZE skin = SkinSize();

    if (static_cast<int>(Default()) == -1)
        return -1;

    m_pStandardDlg = CreateStandardDialog();
    if (m_pStandardDlg)
        m_pStandardDlg->CreateAndShow();

    ModifyStyle(WS_CAPTION, WS_POPUP, 0);
    MoveWindow(x, y, skin.cx, skin.cy, TRUE);
    return 0;
}

BOOL CTranslucentDialog::OnInitDialog()
{
    CDialog::OnInitDialog();

    m_bHideBackground = false;

    m_blend.BlendOp = AC_SRC_OVER;
    m_blend.BlendFlags = 0;
    m_blend.SourceConstantAlpha = 255;
    m_blend.AlphaFormat = AC_SRC_ALPHA;

    OnInitChildrenWnds();
    UpdateView();
    return TRUE;
}

BOOL CTranslucentDialog::OnEraseBkgnd(CDC* /*pDC*/)
{
    return TRUE;
}

void CTranslucentDialog::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (m_bEnableDrag)
        ::SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
    CDialog::OnLButtonDown(nFlags, point);
}

void CTranslucentDialog::OnMove(int x, int y)
{
    CDialog::OnMove(x, y);
    if (m_pStandardDlg && !m_bHideBackground)
        m_pStandardDlg->SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void CTranslucentDialog::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    if (m_pStandardDlg)
        m_pStandardDlg->SetWindowPos(nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER);
}

BOOL CTranslucentDialog::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE))
    {
        // Straight to the target window: never the dialog's own OK or Cancel.
        ::TranslateMessage(pMsg);
        ::DispatchMessageW(pMsg);
        return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

void CTranslucentDialog::OnRenderRequest(LPARAM /*lParam*/)
{
    if (!m_bIgnoreRenderRequests)
        UpdateView();
}

void CTranslucentDialog::UpdateView()
{
    if (!m_pImage)
        return;
    const int cx = static_cast<int>(m_pImage->GetWidth());
    const int cy = static_cast<int>(m_pImage->GetHeight());

    const LONG exStyle = ::GetWindowLongW(m_hWnd, GWL_EXSTYLE);
    if (!(exStyle & WS_EX_LAYERED))
        ::SetWindowLongW(m_hWnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);

    CScopedClientDC dc(m_hWnd);
    CScopedMemoryDC memDC(dc);

    RECT rcWindow = {};
    ::GetWindowRect(m_hWnd, &rcWindow);

    // Declared before the DIB section and its selection so that it goes last: the DIB is selected
    // out and deleted, then the Graphics is deleted, then the device contexts are released.
    std::optional<Gdiplus::Graphics> graphics;
    void* pBits = nullptr;
    const CScopedBitmap dib = AfxCreateDibSection32(cx, cy, false, &pBits);  // bottom-up rows
    if (!dib)
        return;

    std::memset(pBits, 0, static_cast<size_t>(4) * cx * cy);

    const CScopedSelection selection(memDC, dib);
    graphics.emplace(memDC);
    graphics->SetSmoothingMode(Gdiplus::SmoothingModeNone);

    if (m_bHideBackground)
        graphics->DrawImage(m_pImage, 0, 0, 1, 1);
    else
        graphics->DrawImage(m_pImage, 0, 0, cx, cy);

    for (CRenderChild* pChild : m_renderList)
    {
        if (pChild->m_bRenderEnabled || m_bHideBackground)
            pChild->Render(&*graphics);
    }

    const CScopedModule user32(L"User32.DLL");
    auto pfnUpdate = user32.GetProc<PFN_UPDATELAYEREDWINDOW>("UpdateLayeredWindow");
    if (pfnUpdate)
    {
        POINT ptDst = {rcWindow.left, rcWindow.top};
        SIZE size = {cx, cy};
        POINT ptSrc = {0, 0};
        pfnUpdate(m_hWnd, dc, &ptDst, &size, memDC, &ptSrc, 0, &m_blend, ULW_ALPHA);
    }
}
