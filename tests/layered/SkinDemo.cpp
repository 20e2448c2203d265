// Shows the test skin as a translucent window with its colour-keyed companion for a while.
// Usage: skin_demo.exe [seconds]  (default 20)
#include <windows.h>
#include <cwchar>

#include "afx/WinApp.h"
#include "layered/StandardDialog.h"
#include "layered/TranslucentDialog.h"
#include "LayeredTestResources.h"

namespace {

class CDemoCompanion : public CStandardDialog
{
public:
    explicit CDemoCompanion(CWnd* pParent)
        : CStandardDialog(IDD_TEST_COMPANION, TEST_KEY_COLOUR, pParent)
    {
    }
};

class CDemoSkin : public CTranslucentDialog
{
public:
    explicit CDemoSkin(UINT nSeconds)
        : CTranslucentDialog(IDD_TEST_SKIN, IDR_TEST_SKIN, L"PNG", nullptr, nullptr),
          m_nSeconds(nSeconds)
    {
    }

    CStandardDialog* CreateStandardDialog() override { return new CDemoCompanion(this); }
    void OnInitChildrenWnds() override
    {
        ::SetTimer(m_hWnd, kEndTimer, m_nSeconds * 1000, nullptr);
        ::SetTimer(m_hWnd, kRestackTimer, 300, nullptr);
    }

protected:
    LRESULT OnTimer(WPARAM nIDEvent, LPARAM)
    {
        ::KillTimer(m_hWnd, nIDEvent);
        if (nIDEvent == kRestackTimer)
        {
            // Without a window manager, Wine's X11 driver maps the skin above its owned companion
            // although the companion is above it in the window list; put the X stacking right.
            // (A move to the top alone is a no-op for Wine, hence the way round the bottom.)
            if (m_pStandardDlg && m_pStandardDlg->m_hWnd)
            {
                for (HWND hWndAfter : {HWND_BOTTOM, HWND_TOP})
                    ::SetWindowPos(m_pStandardDlg->m_hWnd, hWndAfter, 0, 0, 0, 0,
                                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            }
            return 0;
        }
        EndDialog(IDOK);
        return 0;
    }

    DECLARE_MESSAGE_MAP()

private:
    static constexpr UINT_PTR kEndTimer = 1;
    static constexpr UINT_PTR kRestackTimer = 2;
    UINT m_nSeconds;
};

BEGIN_MESSAGE_MAP(CDemoSkin, CTranslucentDialog)
    ON_MESSAGE(WM_TIMER, OnTimer)
END_MESSAGE_MAP()

}  // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR lpCmdLine, int)
{
    UINT nSeconds = 20;
    if (lpCmdLine && *lpCmdLine)
        nSeconds = static_cast<UINT>(std::wcstoul(lpCmdLine, nullptr, 10));

    AfxSetResourceHandle(hInstance);
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
        return 2;
    INT_PTR result;
    {
        CDemoSkin dlg(nSeconds);
        result = dlg.DoModal();
    }
    Gdiplus::GdiplusShutdown(token);
    return result == IDOK ? 0 : 1;
}
