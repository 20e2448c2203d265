#include "afx/WinApp.h"

#include <ole2.h>

#include "afx/DebugReport.h"
#include "afx/MessagePump.h"
#include "afx/ThreadState.h"
#include "afx/Wnd.h"

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

namespace {

CWinApp* g_pApp = nullptr;
HINSTANCE g_hInstance = nullptr;
HINSTANCE g_hResource = nullptr;

CString ModuleBaseName()
{
    wchar_t path[MAX_PATH] = {};
    DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return CString();
    CString full(path);
    int nSlash = -1;
    for (int i = 0; i < full.GetLength(); ++i)
        if (full[i] == L'\\' || full[i] == L'/')
            nSlash = i;
    CString name = full.Mid(nSlash + 1);
    int nDot = -1;
    for (int i = 0; i < name.GetLength(); ++i)
        if (name[i] == L'.')
            nDot = i;
    return nDot > 0 ? name.Left(nDot) : name;
}

}  // namespace

CWinApp::CWinApp(LPCWSTR lpszAppName)
    : m_hInstance(::GetModuleHandleW(nullptr)),
      m_strAppName(lpszAppName),
      m_pPrevApp(g_pApp)
{
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    // Objects registered after this one and still alive keep their place.
    CWinApp** ppLink = &g_pApp;
    while (*ppLink && *ppLink != this)
        ppLink = &(*ppLink)->m_pPrevApp;
    if (*ppLink)
        *ppLink = m_pPrevApp;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    AfxThreadState* pState = AfxGetThreadState();
    return pState->bQuitPending ? pState->nQuitCode : 0;
}

int CWinApp::Run()
{
    AfxThreadState* pState = AfxGetThreadState();
    if (!m_pMainWnd && !pState->bQuitPending)
        AfxPostQuitMessage(0);

    ++pState->nLoopDepth;
    MSG msg;
    int nGot;
    while ((nGot = AfxPumpMessage(msg)) > 0)
    {
    }
    if (nGot == 0)
    {
        pState->bQuitPending = true;
        pState->nQuitCode = static_cast<int>(msg.wParam);
    }
    --pState->nLoopDepth;
    return ExitInstance();
}

void CWinApp::OnHelp()
{
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

CWnd* AfxGetMainWnd()
{
    return g_pApp ? g_pApp->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetInstanceHandle()
{
    if (g_hInstance)
        return g_hInstance;
    if (g_pApp && g_pApp->m_hInstance)
        return g_pApp->m_hInstance;
    return ::GetModuleHandleW(nullptr);
}

HINSTANCE AfxGetResourceHandle()
{
    return g_hResource ? g_hResource : AfxGetInstanceHandle();
}

void AfxSetResourceHandle(HINSTANCE hResource)
{
    g_hResource = hResource;
}

LPCWSTR AfxGetAppName()
{
    if (g_pApp)
    {
        if (g_pApp->m_strAppName.IsEmpty())
            g_pApp->m_strAppName = ModuleBaseName();
        return g_pApp->m_strAppName;
    }
    static const CString s_name = ModuleBaseName();
    return s_name;
}

int AfxRunApp(CWinApp* pApp, HINSTANCE hInstance)
{
    if (!pApp)
        return -1;
    AfxResetQuitState();
    if (hInstance)
        pApp->m_hInstance = hInstance;
    if (!pApp->m_hInstance)
        pApp->m_hInstance = ::GetModuleHandleW(nullptr);
    g_hInstance = pApp->m_hInstance;
    if (pApp->m_strAppName.IsEmpty())
        pApp->m_strAppName = ModuleBaseName();

    // The user-interface thread hosts ActiveX controls.
    HRESULT hrOle = ::OleInitialize(nullptr);
    const int nResult = AfxCallGuarded<AfxCatch::LibraryAndStd>(
        L"start-up or shut-down",
        [&] {
            if (pApp->InitInstance())
                return pApp->Run();
            if (pApp->m_pMainWnd && pApp->m_pMainWnd->m_hWnd)
                pApp->m_pMainWnd->DestroyWindow();
            return pApp->ExitInstance();
        },
        [] { return -1; });
    AfxDeleteTempMap();
    if (SUCCEEDED(hrOle))
        ::OleUninitialize();
    return nResult;
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int nCmdShow)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return -1;
    pApp->m_nCmdShow = nCmdShow;
    return AfxRunApp(pApp, hInstance);
}
