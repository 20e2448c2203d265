// The image button on its own: its window class, the property string of the dialog-init data
// (kept until an object binds the window), images from the "PNG" or the bitmap resources, the hand
// cursor and the click notification to the parent.
#include "tests/client/LoginTestSupport.h"

#include <cstring>

#include "afx/MFCButton.h"

using namespace logintest;

namespace {

const char kP1[] =
    "<MFCButton_Style>6</MFCButton_Style><MFCButton_Autosize>FALSE</MFCButton_Autosize>"
    "<MFCButton_Tooltip></MFCButton_Tooltip><MFCButton_FullTextTool>FALSE</MFCButton_FullTextTool>"
    "<MFCButton_CursorType>12</MFCButton_CursorType><MFCButton_ImageType>10</MFCButton_ImageType>"
    "<MFCButton_ImageOnTop>FALSE</MFCButton_ImageOnTop><MFCButton_ImageOnRight>FALSE</"
    "MFCButton_ImageOnRight>";
const char kP3[] =
    "<MFCButton_Style>6</MFCButton_Style><MFCButton_Autosize>FALSE</MFCButton_Autosize>"
    "<MFCButton_Tooltip></MFCButton_Tooltip><MFCButton_FullTextTool>TRUE</MFCButton_FullTextTool>"
    "<MFCButton_CursorType>12</MFCButton_CursorType><MFCButton_ImageType>8</MFCButton_ImageType>"
    "<MFCButton_ImageOnTop>FALSE</MFCButton_ImageOnTop><MFCButton_ImageOnRight>FALSE</"
    "MFCButton_ImageOnRight>";
const char kOther[] =
    "<MFCButton_Style>0</MFCButton_Style><MFCButton_Autosize>TRUE</MFCButton_Autosize>"
    "<MFCButton_Tooltip>\xE5\xAE\x98\xE7\xBD\x91</MFCButton_Tooltip>"
    "<MFCButton_CursorType>0</MFCButton_CursorType>"
    "<MFCButton_ImageOnTop>TRUE</MFCButton_ImageOnTop><MFCButton_ImageOnRight>TRUE</"
    "MFCButton_ImageOnRight>";

// A parent window that records the commands its children send.
struct Parent
{
    Parent()
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &Parent::Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"OrvaneImageButtonTestParent";
        wc.hbrBackground = s_brush;
        ::RegisterClassW(&wc);
        hWnd = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 100, 100, 300, 200, nullptr,
                                 nullptr, wc.hInstance, nullptr);
        s_commands.clear();
    }
    ~Parent() { ::DestroyWindow(hWnd); }

    HWND AddButton(int id, int cx = 70, int cy = 32)
    {
        return ::CreateWindowExW(0, L"MfcButton", L"", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 10,
                                 10, cx, cy, hWnd, reinterpret_cast<HMENU>(INT_PTR(id)),
                                 ::GetModuleHandleW(nullptr), nullptr);
    }

    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l)
    {
        if (m == WM_COMMAND)
            s_commands.push_back(w);
        if (m == WM_CTLCOLORDLG)
            return reinterpret_cast<LRESULT>(s_brush);
        return ::DefWindowProcW(h, m, w, l);
    }

    HWND hWnd = nullptr;
    static inline std::vector<WPARAM> s_commands;
    static inline HBRUSH s_brush = ::CreateSolidBrush(RGB(0, 0, 255));
};

// The record as the dialog-init data holds it: the string, then the next record (another button's
// string, with the full-text flag on), which is not part of it.
std::vector<char> Record(const char* text)
{
    std::vector<char> bytes(text, text + std::strlen(text));
    const char next[] = {'\xEC', '\x03', '\x7C', '\x03', 0x71, 0x01, 0, 0};
    bytes.insert(bytes.end(), next, next + sizeof(next));
    bytes.insert(bytes.end(), kP3, kP3 + std::strlen(kP3));
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

class LoginImageButtonTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&s_token, &input, nullptr);
    }
    static void TearDownTestSuite() { Gdiplus::GdiplusShutdown(s_token); }
    static inline ULONG_PTR s_token = 0;
};

TEST_F(LoginImageButtonTest, WindowClassServesTemplatesThatNameItInAnyCase)
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    EXPECT_TRUE(::GetClassInfoExW(::GetModuleHandleW(nullptr), L"MFCButton", &wc));
    Parent parent;
    HWND hButton = parent.AddButton(1006);
    ASSERT_NE(hButton, nullptr);
    wchar_t name[64] = L"";
    ::GetClassNameW(hButton, name, 64);
    EXPECT_STREQ(name, L"MFCButton");
    // It is a button: it answers like one before any object is bound.
    EXPECT_EQ(::SendMessageW(hButton, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON, DLGC_BUTTON);
}

TEST_F(LoginImageButtonTest, PropertiesSentBeforeBindingApplyWhenBound)
{
    Parent parent;
    struct Case
    {
        const char* text;
        int style;
        BOOL autosize;
        const wchar_t* tip;
        BOOL fullText;
        int cursor;
        BOOL onTop;
        BOOL onRight;
    };
    const Case cases[] = {
        {kP1, 6, FALSE, L"", FALSE, 12, FALSE, FALSE},
        {kP3, 6, FALSE, L"", TRUE, 12, FALSE, FALSE},
        {kOther, 0, TRUE, L"\x5b98\x7f51", FALSE, 0, TRUE, TRUE},
    };
    for (const Case& c : cases)
    {
        HWND hButton = parent.AddButton(1006);
        std::vector<char> record = Record(c.text);
        // As the dialog sends it: no length; the string ends where the elements end.
        ::SendMessageW(hButton, WM_MFC_INITCTRL, 0, reinterpret_cast<LPARAM>(record.data()));
        CMFCButton button;
        ASSERT_TRUE(button.SubclassWindow(hButton));
        EXPECT_EQ(button.GetFlatStyle(), c.style);
        EXPECT_EQ(button.GetAutosize(), c.autosize);
        EXPECT_EQ(button.GetTooltipText(), std::wstring(c.tip));
        EXPECT_EQ(button.IsFullTextTooltip(), c.fullText);
        EXPECT_EQ(button.GetCursorType(), c.cursor);
        EXPECT_EQ(button.IsImageOnTop(), c.onTop);
        EXPECT_EQ(button.IsImageOnRight(), c.onRight);
        // The object draws the button.
        EXPECT_EQ(::GetWindowLongW(hButton, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    }
}

TEST_F(LoginImageButtonTest, PropertiesSentAfterBindingApplyAtOnce)
{
    Parent parent;
    CMFCButton button;
    ASSERT_TRUE(button.SubclassWindow(parent.AddButton(1004)));
    EXPECT_EQ(button.GetCursorType(), 0);
    ::SendMessageW(button.m_hWnd, WM_MFC_INITCTRL, std::strlen(kP1), reinterpret_cast<LPARAM>(kP1));
    EXPECT_EQ(button.GetFlatStyle(), 6);
    EXPECT_EQ(button.GetCursorType(), 12);
}

// A number that is a "PNG" resource is taken from there (alpha kept), any other from the bitmaps;
// a number that is neither leaves the image empty and the button shows only its background.
TEST_F(LoginImageButtonTest, ImagesComeFromPngResourcesFirstThenBitmaps)
{
    Parent parent;
    CMFCButton png, bmp, none;
    ASSERT_TRUE(png.SubclassWindow(parent.AddButton(1, 35, 35)));
    ASSERT_TRUE(bmp.SubclassWindow(parent.AddButton(2, 70, 32)));
    ASSERT_TRUE(none.SubclassWindow(parent.AddButton(3, 70, 32)));
    for (CMFCButton* b : {&png, &bmp, &none})
        ::SendMessageW(b->m_hWnd, WM_MFC_INITCTRL, std::strlen(kP1), reinterpret_cast<LPARAM>(kP1));
    png.SetImage(138, 137);
    bmp.SetImage(139, 140);
    none.SetImage(146);
    png.m_bTransparent = bmp.m_bTransparent = none.m_bTransparent = TRUE;

    EXPECT_EQ(png.GetImageSize().cx, 31);
    EXPECT_EQ(png.GetImageSize().cy, 30);
    EXPECT_EQ(bmp.GetImageSize().cx, 70);
    EXPECT_EQ(bmp.GetImageSize().cy, 32);
    EXPECT_EQ(none.GetImageSize().cx, 0);

    const uint32_t blue = 0x0000FF;  // the parent's background brush
    EXPECT_EQ(CountMismatches(RenderWindow(png.m_hWnd), LoadPngReference(138), blue), 0);
    EXPECT_EQ(CountMismatches(RenderWindow(bmp.m_hWnd), LoadBitmapReference(139), blue), 0);
    Pixels empty = RenderWindow(none.m_hWnd);
    for (uint32_t v : empty.data)
        ASSERT_EQ(v, blue);

    // Without m_bTransparent the free area is the button face.
    png.m_bTransparent = FALSE;
    Pixels face = RenderWindow(png.m_hWnd);
    const COLORREF c = ::GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(face.At(0, 0),
              (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c));
}

// A replaced login panel lives on without its window until the program ends: its buttons must not
// keep their bitmaps that long.
TEST_F(LoginImageButtonTest, ImagesAreReleasedWithTheWindow)
{
    Parent parent;
    CMFCButton button;
    ASSERT_TRUE(button.SubclassWindow(parent.AddButton(1, 35, 35)));
    button.SetImage(138, 137);
    ASSERT_EQ(button.GetImageSize().cx, 31);

    ::DestroyWindow(parent.hWnd);
    EXPECT_EQ(button.m_hWnd, nullptr);
    EXPECT_EQ(button.GetImageSize().cx, 0);
    EXPECT_EQ(button.GetImageSize().cy, 0);
}

TEST_F(LoginImageButtonTest, AutosizeFitsTheButtonToItsImage)
{
    Parent parent;
    CMFCButton button;
    ASSERT_TRUE(button.SubclassWindow(parent.AddButton(1, 100, 60)));
    ::SendMessageW(button.m_hWnd, WM_MFC_INITCTRL, std::strlen(kOther),
                   reinterpret_cast<LPARAM>(kOther));
    button.SetImage(159);
    RECT rc;
    ::GetClientRect(button.m_hWnd, &rc);
    // Style 0 draws a 2-pixel border on each side.
    EXPECT_EQ(rc.right, 31 + 4);
    EXPECT_EQ(rc.bottom, 31 + 4);
}

TEST_F(LoginImageButtonTest, HandCursorOverTheButtonOfCursorType12)
{
    Parent parent;
    CMFCButton hand, plain;
    ASSERT_TRUE(hand.SubclassWindow(parent.AddButton(1)));
    ASSERT_TRUE(plain.SubclassWindow(parent.AddButton(2)));
    ::SendMessageW(hand.m_hWnd, WM_MFC_INITCTRL, std::strlen(kP1), reinterpret_cast<LPARAM>(kP1));
    HCURSOR hArrow = ::LoadCursorW(nullptr, IDC_ARROW);
    HCURSOR hHand = ::LoadCursorW(nullptr, IDC_HAND);
    ASSERT_NE(hHand, hArrow);

    ::SetCursor(hArrow);
    EXPECT_TRUE(::SendMessageW(hand.m_hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hand.m_hWnd),
                               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(::GetCursor(), hHand);

    ::SetCursor(hArrow);
    ::SendMessageW(plain.m_hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(plain.m_hWnd),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_NE(::GetCursor(), hHand);
}

TEST_F(LoginImageButtonTest, ClicksReachTheParentAsButtonClicked)
{
    Parent parent;
    CMFCButton button;
    ASSERT_TRUE(button.SubclassWindow(parent.AddButton(1009)));
    button.SetImage(145, 147);
    ::SendMessageW(button.m_hWnd, BM_CLICK, 0, 0);
    ::SendMessageW(button.m_hWnd, BM_CLICK, 0, 0);
    PumpPending();
    std::vector<WPARAM> clicks;
    for (WPARAM w : Parent::s_commands)
        if (w == MAKEWPARAM(1009, BN_CLICKED))
            clicks.push_back(w);
    EXPECT_EQ(clicks.size(), 2u);
}

}  // namespace
