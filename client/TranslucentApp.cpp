#include "client/TranslucentApp.h"

#include <algorithm>
#include <string>
#include <gdiplus.h>

#include "afx/NestingHeadroom.h"
#include "afx/OleControlContainer.h"
#include "afx/ScopedHandles.h"
#include "afx/ThreadState.h"
#include "client/TalvGameDlg.h"
#include "client/TalvTranslucentDlg.h"
#include "res/resource.h"

ULONG_PTR g_gdiplusToken = 0;

CTranslucentApp theApp(CTranslucentApp::HandOverLimits{});

BEGIN_MESSAGE_MAP(CTranslucentApp, CWinApp)
    ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

CTranslucentApp::CTranslucentApp(HandOverLimits limits)
    : CWinApp(nullptr),
      m_limits(std::move(limits))
{
    if (!m_limits.startFreshCopy)
        m_limits.startFreshCopy = &StartProgramCopy;
}

CTranslucentApp::~CTranslucentApp() = default;

BOOL CTranslucentApp::InitInstance()
{
    CWinApp::InitInstance();
    AfxEnableControlContainer();

    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&g_gdiplusToken, &input, nullptr);

    CTalvTranslucentDlg dlg(IDB_LOGIN_SKIN, L"PNG", nullptr, nullptr);
    RunAsMainWindow(dlg);
    return FALSE;
}

int CTranslucentApp::ExitInstance()
{
    Gdiplus::GdiplusShutdown(g_gdiplusToken);
    return CWinApp::ExitInstance();
}

BOOL CTranslucentApp::RunAsMainWindow(CDialog& dlg)
{
    m_pMainWnd = &dlg;
    dlg.DoModal();
    // A run that had a window ends with the window destroyed through dlg, which clears the main
    // window pointer. Still designating dlg: its window was never made, and the window it
    // replaced is already closing, so nothing is left on screen.
    if (m_pMainWnd != &dlg)
        return TRUE;
    m_pMainWnd = nullptr;
    AfxPostQuitMessage(0);
    return FALSE;
}

void CTranslucentApp::RunReplacement(CDialog& dlg)
{
    if (!RunAsMainWindow(dlg))
        m_limits.startFreshCopy();
}

BOOL CTranslucentApp::HasNestingRoom()
{
    return AfxNestingHeadroom(kNestingReserve) >= kNestingReserve;
}

void CTranslucentApp::ShowGameWindow(CString strGameUrl, CString strServerUrl)
{
    if (m_pMainWnd)
    {
        ::PostMessageW(m_pMainWnd->m_hWnd, WM_CLOSE, 0, 0);
        m_pMainWnd->Detach();
        // The replaced object lives on until the program ends: it keeps no skin meanwhile.
        if (CTalvTranslucentDlg* pLogin = dynamic_cast<CTalvTranslucentDlg*>(m_pMainWnd))
            pLogin->ReleaseSkin();
    }

    CTalvGameDlg dlg(nullptr);
    m_pMainWnd = &dlg;
    dlg.SetUrls(strGameUrl, strServerUrl);
    RunReplacement(dlg);
}

void CTranslucentApp::ShowLoginWindow()
{
    const BOOL bRoom = HasNestingRoom();
    if ((m_nNestedCycles >= m_limits.nCycleBound || !bRoom) && HandOverToFreshCopy())
        return;
    if (m_nNestedCycles >= m_limits.nHardCycleBound || !bRoom)
    {
        // No room for another cycle and no fresh copy: end rather than show a login window
        // that cannot work, or overflow the stack.
        EndProgram();
        return;
    }

    if (m_pMainWnd)
    {
        ::PostMessageW(m_pMainWnd->m_hWnd, WM_CLOSE, 0, 0);
        m_pMainWnd->Detach();
        // The replaced object lives on until the program ends: its game page does not.
        if (CTalvGameDlg* pGame = dynamic_cast<CTalvGameDlg*>(m_pMainWnd))
            pGame->CloseReplacedView();
    }

    CTalvTranslucentDlg dlg(IDB_LOGIN_SKIN, L"PNG", nullptr, nullptr);
    ++m_nNestedCycles;
    RunReplacement(dlg);
    --m_nNestedCycles;
}

BOOL CTranslucentApp::HandOverToFreshCopy()
{
    if (!m_limits.startFreshCopy())
        return FALSE;
    EndProgram();
    return TRUE;
}

void CTranslucentApp::EndProgram()
{
    // Destroyed through its object, the window in front makes the library clear the main window
    // pointer and post the quit message, which ends every nested run.
    if (m_pMainWnd && m_pMainWnd->m_hWnd)
        m_pMainWnd->DestroyWindow();
    if (m_pMainWnd)
    {
        m_pMainWnd = nullptr;
        AfxPostQuitMessage(0);
    }
}

BOOL CTranslucentApp::StartProgramCopy()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;)
    {
        const DWORD n = ::GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0)
            return FALSE;
        if (n < path.size())
        {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessW(path.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                          &pi))
        return FALSE;
    // Nothing waits for the copy: both handles go at once, the thread's first.
    const CScopedHandle process(pi.hProcess);
    const CScopedHandle thread(pi.hThread);
    return TRUE;
}
