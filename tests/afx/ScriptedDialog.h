// A dialog whose behaviour a test scripts, and the fixture of the dialog tests: the queue drained
// before and after each test.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "afx/Afx.h"
#include "AfxTestIds.h"
#include "WindowTestSupport.h"

namespace {

const UINT WM_STEP = WM_APP + 20;  // runs the dialog's next scripted step
const UINT WM_SWALLOWED = WM_APP + 21;
const UINT WM_THROW = WM_APP + 22;
const UINT WM_PROBE = WM_APP + 23;

// A dialog whose behaviour the test scripts: onInit runs at the end of OnInitDialog, onStep on
// each WM_STEP.
class CScriptedDialog : public CDialog
{
public:
    explicit CScriptedDialog(UINT nID = IDD_TEST_PLAIN, CWnd* pParent = nullptr)
        : CDialog(nID, pParent)
    {
    }

    std::function<void(CScriptedDialog&)> onInit;
    std::function<void(CScriptedDialog&, WPARAM)> onStep;
    std::function<BOOL(MSG*)> onPreTranslate;
    int nOnOK = 0;
    int nOnCancel = 0;
    int nOnClose = 0;
    int nOnDestroy = 0;
    int nSwallowedDispatched = 0;
    int nExchanges = 0;
    std::vector<BOOL> exchangeDirections;
    bool bThrowInExchange = false;

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (onInit)
            onInit(*this);
        return TRUE;
    }
    void OnOK() override
    {
        ++nOnOK;
        CDialog::OnOK();
    }
    void OnCancel() override
    {
        ++nOnCancel;
        CDialog::OnCancel();
    }
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (onPreTranslate && onPreTranslate(pMsg))
            return TRUE;
        return CDialog::PreTranslateMessage(pMsg);
    }
    void DoDataExchange(CDataExchange* pDX) override
    {
        ++nExchanges;
        exchangeDirections.push_back(pDX->m_bSaveAndValidate);
        if (bThrowInExchange && pDX->m_bSaveAndValidate)
            throw CMemoryException();
    }

protected:
    LRESULT OnStep(WPARAM w, LPARAM)
    {
        if (onStep)
            onStep(*this, w);
        return 0;
    }
    LRESULT OnSwallowed(WPARAM, LPARAM)
    {
        ++nSwallowedDispatched;
        return 0;
    }
    LRESULT OnThrow(WPARAM w, LPARAM)
    {
        if (w == 0)
            throw CMemoryException();
        throw std::logic_error("std failure");
    }
    void OnClose()
    {
        ++nOnClose;
        Default();
    }
    LRESULT OnTimer(WPARAM nID, LPARAM)
    {
        ::KillTimer(m_hWnd, nID);
        if (onStep)
            onStep(*this, nID);
        return 0;
    }
    void OnDestroy()
    {
        ++nOnDestroy;
        CDialog::OnDestroy();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CScriptedDialog, CDialog)
    ON_MESSAGE(WM_STEP, OnStep)
    ON_MESSAGE(WM_SWALLOWED, OnSwallowed)
    ON_MESSAGE(WM_THROW, OnThrow)
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_TIMER, OnTimer)
END_MESSAGE_MAP()

class DialogTest : public ::testing::Test
{
protected:
    void SetUp() override { afxtest::DrainQueue(); }
    void TearDown() override { afxtest::DrainQueue(); }
};

}  // namespace
