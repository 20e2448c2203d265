// Image button: a push button drawn by its object with a normal, a hot and a disabled image.
//
// Its window class "MFCButton" is a superclass of the system button, registered when the program
// starts (a static registration in MFCButton.cpp, before any dialog exists), so dialog templates
// can name it ("MfcButton": class names compare without regard to case). The window keeps the
// property string of its dialog-init record (message 0x037C) until a CMFCButton object is bound to
// it; binding (DDX_Control) applies it. Clicks reach the parent as BN_CLICKED, as with any button.
#pragma once

#include <windows.h>
#include <memory>
#include <string>
#include "afx/Button.h"
#include "afx/ScopedHandles.h"

// Message that carries a button's property string (UTF-8 "<MFCButton_Name>value</MFCButton_Name>"
// elements) from the dialog-init data; lParam points at the bytes, wParam is their length or 0.
#define WM_MFC_INITCTRL 0x037C

class CMFCButton : public CButton
{
    DECLARE_DYNAMIC(CMFCButton)

public:
    // Border styles of the property string.
    enum FlatStyle
    {
        BUTTONSTYLE_3D = 0,
        BUTTONSTYLE_FLAT = 1,
        BUTTONSTYLE_SEMIFLAT = 2,
        BUTTONSTYLE_NOBORDERS = 6
    };
    // Cursor types of the property string that change the cursor.
    enum
    {
        CURSOR_HAND = 12
    };

    CMFCButton();
    ~CMFCButton() override;

    // Registers the "MFCButton" window class once per process; TRUE when it is registered.
    static BOOL RegisterWindowClass();

    // Each number names a "PNG" resource when one exists, otherwise a bitmap resource; 0 or a
    // number that is neither leaves that image empty.
    void SetImage(UINT uiBmpResId, UINT uiBmpHotResId = 0, UINT uiBmpDsblResID = 0);

    // Applies a property string (as the dialog-init data carries it).
    void ApplyProperties(const char* pData, size_t nLength);

    // The area the image does not cover shows the parent's background instead of the face colour.
    BOOL m_bTransparent;

protected:
    void PreSubclassWindow() override;
    // The images serve the window only: they are released when it is gone.
    void PostNcDestroy() override;

    LRESULT OnInitControl(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaintMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMoveMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseLeaveMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCursorMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnStateChange(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    // One loaded image: a DIB section, 32-bit premultiplied when bAlpha, else drawn opaque.
    struct Image
    {
        CScopedBitmap hBitmap;
        SIZE size = {0, 0};
        bool bAlpha = false;
        explicit operator bool() const { return hBitmap != nullptr; }
    };

    static Image LoadImageResource(UINT nID);
    static Image LoadPngResource(HINSTANCE hInst, UINT nID);
    static Image LoadBitmapResource(HINSTANCE hInst, UINT nID);

    void MakeOwnerDraw();
    void Draw(HDC hDC);
    void FillBackground(HDC hDC, const RECT& rc);
    const Image& CurrentImage() const;

    Image m_imgNormal;
    Image m_imgHot;
    Image m_imgDisabled;
    int m_nFlatStyle;
    BOOL m_bAutosize;
    std::wstring m_strTooltip;
    BOOL m_bFullTextTooltip;
    int m_nCursorType;
    int m_nImageType;
    BOOL m_bImageOnTop;
    BOOL m_bImageOnRight;
    BOOL m_bHover;
};
