// A frameless dialog drawn from a skin image with per-pixel alpha through a layered window. It
// owns one colour-keyed companion dialog that carries the ordinary controls and follows it.
#pragma once

#include <windows.h>
#include <algorithm>
#include <gdiplus.h>
#include <list>

#include "afx/Dialog.h"
#include "layered/RenderListener.h"

class CStandardDialog;
class CRenderChild;

// Top-left corner that centres a window whose frame-adjusted size is cx by cy in the work area.
// The halves truncate toward zero, so an area one pixel too narrow still starts at its left edge.
POINT CenteredWindowOrigin(const RECT& rcWork, int cx, int cy);

class CTranslucentDialog : public CDialog, public IRenderListener
{
public:
    // Loads the skin nImageResID of type lpszImageType from hImageInst (see LoadImageFromResource).
    CTranslucentDialog(UINT nIDTemplate, UINT nImageResID, LPCTSTR lpszImageType,
                       HINSTANCE hImageInst, CWnd* pParent = nullptr);
    ~CTranslucentDialog() override;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnInitDialog() override;

    // Makes the companion dialog, once per window creation; the caller owns the result. NULL runs
    // the window without a companion.
    virtual CStandardDialog* CreateStandardDialog() = 0;
    // Sets up the derived class's child windows, before the first redraw.
    virtual void OnInitChildrenWnds() = 0;

    void OnRenderRequest(LPARAM lParam) override;

    // Frees the skin image early, for a window that is never drawn again while its object lives
    // on. Afterwards the skin counts as 0 by 0 and UpdateView does nothing.
    void ReleaseSkin();

    // Redraws the whole window: the skin, then the render children, handed to the window manager
    // as one 32-bit bitmap with per-pixel alpha. Does nothing without an image.
    void UpdateView();

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnMove(int x, int y);
    void OnSize(UINT nType, int cx, int cy);
    void OnLButtonDown(UINT nFlags, CPoint point);

    BLENDFUNCTION m_blend;
    Gdiplus::Image* m_pImage;
    bool m_bEnableDrag;
    bool m_bCenterOnCreate;
    bool m_bIgnoreRenderRequests;
    bool m_bHideBackground;
    CStandardDialog* m_pStandardDlg;
    std::list<CRenderChild*> m_renderList;  // drawing order; the children are not owned

    DECLARE_MESSAGE_MAP()

private:
    SIZE SkinSize() const;
};
