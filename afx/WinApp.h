// The application object. The program has one, constructed before the library's WinMain runs; one
// constructed later (a test's own) is the application until it is destroyed, and then the one
// before it is again.
#pragma once

#include <windows.h>

#include "afx/CmdTarget.h"
#include "afx/String.h"

class CWnd;

class CWinApp : public CCmdTarget
{
    DECLARE_DYNAMIC(CWinApp)
public:
    // Registers this object as the process's application (AfxGetApp). A NULL name: the program
    // file's name without extension.
    explicit CWinApp(LPCWSTR lpszAppName = nullptr);
    // Hands the application back to the one registered before this object.
    ~CWinApp() override;

    // The window object in front. The library clears it when that window is destroyed (and
    // posts the quit message then) or when the object is destroyed.
    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    CString m_strAppName;

    virtual BOOL InitInstance();
    // Result: the exit code carried by the quit message, 0 when there was none.
    virtual int ExitInstance();
    // Message loop until WM_QUIT, then ExitInstance. Without a main window it quits at once.
    virtual int Run();

    // Help command: the program brings no help content.
    void OnHelp();

protected:
    DECLARE_MESSAGE_MAP()

private:
    CWinApp* m_pPrevApp;  // the application when this object was registered
};

CWinApp* AfxGetApp();
// The application's main window object, or NULL.
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hResource);
LPCWSTR AfxGetAppName();

// The application's life: instance and resource handles, OLE on this thread, InitInstance, then
// Run, or, when InitInstance returned FALSE, the main window destroyed (if it still has one) and
// ExitInstance. Returns the exit code. AfxWinMain runs it for the registered application; tests
// run it with an application object of their own.
int AfxRunApp(CWinApp* pApp, HINSTANCE hInstance = nullptr);
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow);
