// The program's login window with a look at what stood at the start of its own initialisation;
// its skin can be another, and the test can act on the panel's browser control after the control
// exists and before the panel's initialisation uses it.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>
#include <vector>

#include "client/TalvStandardDlg.h"
#include "client/TalvTranslucentDlg.h"
#include "tests/support/FakeWebBrowser.h"

namespace logintest {

class ProbeLoginDlg : public CTalvTranslucentDlg
{
public:
    using Arm = std::function<void(FakeWebBrowser*)>;

    explicit ProbeLoginDlg(UINT nSkin = 158, LPCWSTR lpszType = L"PNG", Arm arm = nullptr)
        : CTalvTranslucentDlg(nSkin, lpszType, nullptr, nullptr),
          m_arm(std::move(arm))
    {
    }

    CTalvStandardDlg* Panel() const { return static_cast<CTalvStandardDlg*>(m_pStandardDlg); }

    BOOL OnInitDialog() override
    {
        initCalls++;
        panelAtInit = m_pStandardDlg != nullptr;
        if (panelAtInit)
        {
            HWND hPanel = m_pStandardDlg->m_hWnd;
            panelWindowAtInit = ::IsWindow(hPanel) != FALSE;
            panelVisibleAtInit = ::IsWindowVisible(hPanel) != FALSE;
        }
        if (FakeWebBrowser* fake = FakeWebBrowser::Newest())
            callsAtInit = fake->Calls();
        loginVisibleAtInit = ::IsWindowVisible(m_hWnd) != FALSE;
        return CTalvTranslucentDlg::OnInitDialog();
    }

    CStandardDialog* CreateStandardDialog() override
    {
        if (!m_arm)
            return CTalvTranslucentDlg::CreateStandardDialog();
        // Owned by the login window, which deletes it with itself.
        return new ArmedPanel(this, m_arm);
    }

    int initCalls = 0;
    bool panelAtInit = false;
    bool panelWindowAtInit = false;
    bool panelVisibleAtInit = false;
    bool loginVisibleAtInit = true;
    std::vector<FakeInvokeCall> callsAtInit;

private:
    class ArmedPanel : public CTalvStandardDlg
    {
    public:
        ArmedPanel(CWnd* pParent, Arm arm) : CTalvStandardDlg(pParent), m_arm(std::move(arm)) {}
        BOOL OnInitDialog() override
        {
            m_arm(FakeWebBrowser::Newest());
            return CTalvStandardDlg::OnInitDialog();
        }

    private:
        Arm m_arm;
    };

    Arm m_arm;
};

}  // namespace logintest
