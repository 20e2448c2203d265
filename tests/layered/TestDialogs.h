// Test classes over the layered window framework: a skin dialog and a companion that record what
// happens to them, and a render child that draws a square and logs its calls.
#pragma once

#include <windows.h>
#include <functional>
#include <string>
#include <vector>

#include "layered/RenderChild.h"
#include "layered/StandardDialog.h"
#include "layered/TranslucentDialog.h"
#include "LayeredTestResources.h"

using EventLog = std::vector<std::string>;

class CTestCompanion : public CStandardDialog
{
public:
    CTestCompanion(CWnd* pParent, EventLog* pLog, UINT nIDTemplate = IDD_TEST_COMPANION)
        : CStandardDialog(nIDTemplate, TEST_KEY_COLOUR, pParent),
          m_pLog(pLog)
    {
    }
    ~CTestCompanion() override
    {
        if (m_pDeleted)
            *m_pDeleted = true;
    }

    BOOL OnInitDialog() override
    {
        if (m_pLog)
            m_pLog->push_back("companion OnInitDialog");
        if (m_onInitBefore)
            m_onInitBefore(this);
        const BOOL result = CStandardDialog::OnInitDialog();
        if (m_onInitAfter)
            m_onInitAfter(this);
        return result;
    }

    void DoDataExchange(CDataExchange* pDX) override
    {
        if (m_pLog)
            m_pLog->push_back("companion DoDataExchange");
        CStandardDialog::DoDataExchange(pDX);
    }

    HBRUSH CallOnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
    {
        return OnCtlColor(pDC, pWnd, nCtlColor);
    }
    void CallOnOK() { OnOK(); }
    void CallOnCancel() { OnCancel(); }
    HGDIOBJ KeyBrush() const { return m_brKey.m_hObject; }

    EventLog* m_pLog;
    bool* m_pDeleted = nullptr;
    std::function<void(CTestCompanion*)> m_onInitBefore;
    std::function<void(CTestCompanion*)> m_onInitAfter;
};

class CTestRenderChild : public CRenderChild
{
public:
    CTestRenderChild(std::string name, EventLog* pLog, bool bEnabled, COLORREF colour, RECT rc)
        : m_name(std::move(name)),
          m_pLog(pLog),
          m_colour(colour),
          m_rc(rc)
    {
        m_bRenderEnabled = bEnabled;
    }

    void Render(Gdiplus::Graphics* pGraphics) override
    {
        m_pLog->push_back("render " + m_name);
        if (m_onRender)
            m_onRender(pGraphics);
        Gdiplus::SolidBrush brush(
            Gdiplus::Color(255, GetRValue(m_colour), GetGValue(m_colour), GetBValue(m_colour)));
        pGraphics->FillRectangle(&brush, static_cast<INT>(m_rc.left), static_cast<INT>(m_rc.top),
                                 static_cast<INT>(m_rc.right - m_rc.left),
                                 static_cast<INT>(m_rc.bottom - m_rc.top));
    }

    std::string m_name;
    EventLog* m_pLog;
    COLORREF m_colour;
    RECT m_rc;
    std::function<void(Gdiplus::Graphics*)> m_onRender;
};

class CTestSkinDialog : public CTranslucentDialog
{
public:
    explicit CTestSkinDialog(UINT nImageResID = IDR_TEST_SKIN, LPCWSTR lpszType = L"PNG",
                             HINSTANCE hInst = ::GetModuleHandleW(nullptr))
        : CTranslucentDialog(IDD_TEST_SKIN, nImageResID, lpszType, hInst, nullptr)
    {
    }

    CStandardDialog* CreateStandardDialog() override
    {
        log.push_back("CreateStandardDialog");
        styleAtFactory = GetStyle();
        if (!makeCompanion)
            return nullptr;
        auto* pCompanion = new CTestCompanion(this, &log, companionTemplate);
        pCompanion->m_pDeleted = &companionDeleted;
        return pCompanion;
    }

    void OnInitChildrenWnds() override
    {
        log.push_back("OnInitChildrenWnds");
        if (onInitChildren)
            onInitChildren(this);
    }

    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_CREATE && failDefaultCreate)
            return -1;
        if (message == WM_LBUTTONDOWN)
            log.push_back("default WM_LBUTTONDOWN");
        return CTranslucentDialog::DefWindowProc(message, wParam, lParam);
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_CREATE)
        {
            const auto* pcs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            createX = pcs->x;
            createY = pcs->y;
        }
        if (message == WM_STYLECHANGING && wParam == static_cast<WPARAM>(GWL_EXSTYLE))
            exStyleWrites.push_back(reinterpret_cast<const STYLESTRUCT*>(lParam)->styleNew);
        if (message == WM_SYSCOMMAND)
        {
            char text[32];
            wsprintfA(text, "WM_SYSCOMMAND %04X", static_cast<UINT>(wParam));
            log.push_back(text);
            return 0;  // no move loop in the tests
        }
        if (message == WM_APP && onApp)
        {
            onApp(this);
            return 0;
        }
        return CTranslucentDialog::WindowProc(message, wParam, lParam);
    }

    void OnOK() override
    {
        log.push_back("OnOK");
        CTranslucentDialog::OnOK();
    }
    void OnCancel() override
    {
        log.push_back("OnCancel");
        CTranslucentDialog::OnCancel();
    }

    CTestCompanion* Companion() const { return static_cast<CTestCompanion*>(m_pStandardDlg); }
    Gdiplus::Image* Image() const { return m_pImage; }
    const BLENDFUNCTION& Blend() const { return m_blend; }
    bool HideBackground() const { return m_bHideBackground; }
    void SetHideBackground(bool b) { m_bHideBackground = b; }
    void SetCenterOnCreate(bool b) { m_bCenterOnCreate = b; }
    void SetEnableDrag(bool b) { m_bEnableDrag = b; }
    void SetIgnoreRenderRequests(bool b) { m_bIgnoreRenderRequests = b; }
    void AddRenderChild(CRenderChild* pChild) { m_renderList.push_back(pChild); }
    void ReplaceImage(Gdiplus::Image* pImage)
    {
        ReleaseSkin();
        m_pImage = pImage;
    }
    void SendLButtonDown()
    {
        ::SendMessageW(m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    }

    EventLog log;
    bool makeCompanion = true;
    bool failDefaultCreate = false;
    bool companionDeleted = false;
    UINT companionTemplate = IDD_TEST_COMPANION;
    DWORD styleAtFactory = 0;
    int createX = 0;
    int createY = 0;
    std::vector<DWORD> exStyleWrites;
    std::function<void(CTestSkinDialog*)> onInitChildren;
    std::function<void(CTestSkinDialog*)> onApp;
};
