// The image button: its window class, the property string of the dialog-init data (kept until an
// object binds the window), images from the "PNG" or the bitmap resources, the hand cursor and the
// click notification to the parent. Each is checked as the platform shows it: the window's size,
// the cursor, the pixels the button paints, the GDI objects the process can still make.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "AfxTestIds.h"
#include "WindowTestSupport.h"
#include "afx/ButtonProperties.h"
#include "afx/MFCButton.h"
#include "afx/ScopedHandles.h"
#include "tests/support/WindowPixels.h"

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
// kOther with the image beside the text, where the image on the right shows, and without a
// cursor type: the one of the record that follows (kP3's hand cursor) must not reach it.
const char kOtherBeside[] =
    "<MFCButton_Style>0</MFCButton_Style><MFCButton_Autosize>TRUE</MFCButton_Autosize>"
    "<MFCButton_Tooltip>\xE5\xAE\x98\xE7\xBD\x91</MFCButton_Tooltip>"
    "<MFCButton_ImageOnTop>FALSE</MFCButton_ImageOnTop><MFCButton_ImageOnRight>TRUE</"
    "MFCButton_ImageOnRight>";

const uint32_t kBlue = 0x0000FF;  // the parent's background brush, as 0x00RRGGBB

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

void SendProperties(HWND hButton, const char* text)
{
    ::SendMessageW(hButton, WM_MFC_INITCTRL, std::strlen(text), reinterpret_cast<LPARAM>(text));
}

// Pixels outside the centred cx by cy area that are not the background.
int PaintedOutside(const Pixels& shot, int cx, int cy, uint32_t background)
{
    const int left = (shot.cx - cx) / 2, top = (shot.cy - cy) / 2;
    int nPainted = 0;
    for (int y = 0; y < shot.cy; ++y)
        for (int x = 0; x < shot.cx; ++x)
        {
            const bool bInside = x >= left && x < left + cx && y >= top && y < top + cy;
            nPainted += !bInside && shot.At(x, y) != background ? 1 : 0;
        }
    return nPainted;
}

// A border shows when the bottom right corner is not painted like the middle of the face.
bool ShowsBorder(HWND hButton)
{
    const Pixels shot = RenderWindow(hButton);
    return shot.At(shot.cx - 1, shot.cy - 1) != shot.At(shot.cx / 2, shot.cy / 2);
}

bool ShowsHandCursor(HWND hButton)
{
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    ::SendMessageW(hButton, WM_SETCURSOR, reinterpret_cast<WPARAM>(hButton),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return ::GetCursor() == ::LoadCursorW(nullptr, IDC_HAND);
}

// Where the image lies against the text: the centres of the pixels that are neither the
// background nor the text's black.
enum class ImagePlace
{
    Left,
    Right,
    Top,
    Unknown
};

ImagePlace PlaceOfImage(const Pixels& shot)
{
    double sx[2] = {0, 0}, sy[2] = {0, 0};
    int n[2] = {0, 0};
    for (int y = 0; y < shot.cy; ++y)
        for (int x = 0; x < shot.cx; ++x)
        {
            const uint32_t c = shot.At(x, y);
            if (c == kBlue)
                continue;
            const int k = c == 0 ? 1 : 0;  // 1: text
            sx[k] += x;
            sy[k] += y;
            ++n[k];
        }
    if (n[0] == 0 || n[1] == 0)
        return ImagePlace::Unknown;
    const double dx = sx[0] / n[0] - sx[1] / n[1], dy = sy[0] / n[0] - sy[1] / n[1];
    if (dy < -8)
        return ImagePlace::Top;
    if (dx < -8)
        return ImagePlace::Left;
    return dx > 8 ? ImagePlace::Right : ImagePlace::Unknown;
}

// How many more GDI objects the process can make (each made and deleted again).
size_t GdiObjectRoom()
{
    std::vector<CScopedBrush> brushes;
    for (brushes.emplace_back(::CreateSolidBrush(0)); brushes.back();)
        brushes.emplace_back(::CreateSolidBrush(0));
    return brushes.size() - 1;
}

class MFCButtonTest : public ::testing::Test
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

TEST_F(MFCButtonTest, WindowClassServesTemplatesThatNameItInAnyCase)
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

// What each property shows: the style a border or none, automatic sizing the button at the
// image's size, the cursor type the hand cursor or not, the image's place beside or above the
// text. The tooltip and its full-text flag show nothing (no tooltip is ever shown): they are
// checked through the reader the button applies the string with.
TEST_F(MFCButtonTest, PropertiesSentBeforeBindingApplyWhenBound)
{
    Parent parent;
    struct Case
    {
        const char* text;
        bool border;
        BOOL autosize;
        const wchar_t* tip;
        BOOL fullText;
        bool hand;
        ImagePlace place;
    };
    const Case cases[] = {
        {kP1, false, FALSE, L"", FALSE, true, ImagePlace::Left},
        {kP3, false, FALSE, L"", TRUE, true, ImagePlace::Left},
        {kOther, true, TRUE, L"\x5b98\x7f51", FALSE, false, ImagePlace::Top},
        {kOtherBeside, true, TRUE, L"\x5b98\x7f51", FALSE, false, ImagePlace::Right},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text);
        HWND hButton = parent.AddButton(1006, 100, 60);
        std::vector<char> record = Record(c.text);
        // As the dialog sends it: no length; the string ends where the elements end.
        ::SendMessageW(hButton, WM_MFC_INITCTRL, 0, reinterpret_cast<LPARAM>(record.data()));
        CMFCButton button;
        ASSERT_TRUE(button.SubclassWindow(hButton));
        // The object draws the button.
        EXPECT_EQ(::GetWindowLongW(hButton, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
        EXPECT_EQ(ShowsBorder(hButton), c.border);
        EXPECT_EQ(ShowsHandCursor(hButton), c.hand);

        const CButtonProperties properties{std::string(c.text)};
        std::wstring tip = L"unread";
        BOOL bFullText = FALSE;  // the button's own start value
        EXPECT_TRUE(properties.ReadText("Tooltip", tip));
        EXPECT_EQ(tip, std::wstring(c.tip));
        properties.ReadBool("FullTextTool", bFullText);
        EXPECT_EQ(bFullText, c.fullText);

        button.m_bTransparent = TRUE;
        ::SetWindowTextW(hButton, L"WW");
        button.SetImage(IDR_TEST_BUTTON_SQUARE);
        RECT rc;
        ::GetClientRect(hButton, &rc);
        const int nBorder = c.border ? 4 : 0;
        EXPECT_EQ(c.autosize != FALSE, rc.right == 31 + nBorder && rc.bottom == 31 + nBorder);
        if (c.autosize)
            ::SetWindowPos(hButton, nullptr, 0, 0, 100, 60, SWP_NOMOVE | SWP_NOZORDER);
        // The border is the face's colour bar its edge: leave it out of the search.
        Pixels shot = RenderWindow(hButton);
        for (int y = 0; y < shot.cy; ++y)
            for (int x = 0; x < shot.cx; ++x)
                if (x < 2 || y < 2 || x >= shot.cx - 2 || y >= shot.cy - 2)
                    shot.data[size_t(y) * size_t(shot.cx) + size_t(x)] = kBlue;
        EXPECT_EQ(PlaceOfImage(shot), c.place);
    }
}

TEST_F(MFCButtonTest, PropertiesSentAfterBindingApplyAtOnce)
{
    Parent parent;
    CMFCButton button;
    ASSERT_TRUE(button.SubclassWindow(parent.AddButton(1004)));
    EXPECT_FALSE(ShowsHandCursor(button.m_hWnd));  // cursor type 0
    EXPECT_TRUE(ShowsBorder(button.m_hWnd));       // style 0
    SendProperties(button.m_hWnd, kP1);
    EXPECT_FALSE(ShowsBorder(button.m_hWnd));  // style 6
    EXPECT_TRUE(ShowsHandCursor(button.m_hWnd));
}

// A number that is a "PNG" resource is taken from there (alpha kept), any other from the bitmaps;
// a number that is neither leaves the image empty and the button shows only its background.
TEST_F(MFCButtonTest, ImagesComeFromPngResourcesFirstThenBitmaps)
{
    Parent parent;
    CMFCButton png, bmp, none;
    ASSERT_TRUE(png.SubclassWindow(parent.AddButton(1, 35, 35)));
    ASSERT_TRUE(bmp.SubclassWindow(parent.AddButton(2, 70, 32)));
    ASSERT_TRUE(none.SubclassWindow(parent.AddButton(3, 70, 32)));
    for (CMFCButton* b : {&png, &bmp, &none})
        SendProperties(b->m_hWnd, kP1);
    png.SetImage(IDR_TEST_BUTTON_PNG, IDR_TEST_BUTTON_PNG_HOT);
    bmp.SetImage(IDB_TEST_BUTTON_BMP, IDB_TEST_BUTTON_BMP_HOT);
    none.SetImage(IDB_TEST_BUTTON_NONE);
    png.m_bTransparent = bmp.m_bTransparent = none.m_bTransparent = TRUE;

    // Each draws its image at the image's size, centred: the image's area matches it, and
    // nothing is painted around it.
    const Pixels pngRef = LoadPngReference(IDR_TEST_BUTTON_PNG);
    const Pixels bmpRef = LoadBitmapReference(IDB_TEST_BUTTON_BMP);
    ASSERT_EQ(pngRef.cx, 31);
    ASSERT_EQ(pngRef.cy, 30);
    ASSERT_EQ(bmpRef.cx, 70);
    ASSERT_EQ(bmpRef.cy, 32);
    const Pixels pngShot = RenderWindow(png.m_hWnd), bmpShot = RenderWindow(bmp.m_hWnd);
    EXPECT_EQ(PaintedOutside(pngShot, 31, 30, kBlue), 0);
    EXPECT_EQ(PaintedOutside(bmpShot, 70, 32, kBlue), 0);
    EXPECT_EQ(CountMismatches(pngShot, pngRef, kBlue), 0);
    EXPECT_EQ(CountMismatches(bmpShot, bmpRef, kBlue), 0);
    Pixels empty = RenderWindow(none.m_hWnd);
    EXPECT_EQ(PaintedOutside(empty, 0, 0, kBlue), 0);
    for (uint32_t v : empty.data)
        ASSERT_EQ(v, kBlue);

    // Without m_bTransparent the free area is the button face.
    png.m_bTransparent = FALSE;
    Pixels face = RenderWindow(png.m_hWnd);
    const COLORREF c = ::GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(face.At(0, 0),
              (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c));
}

// A replaced login panel lives on without its window until the program ends: its buttons must not
// keep their bitmaps that long. The two images are two GDI objects the process gets back.
TEST_F(MFCButtonTest, ImagesAreReleasedWithTheWindow)
{
    Parent parent;
    CMFCButton button;
    ASSERT_TRUE(button.SubclassWindow(parent.AddButton(1, 35, 35)));
    const size_t nRoomBefore = GdiObjectRoom();
    ASSERT_GT(nRoomBefore, 1000u);
    button.SetImage(IDR_TEST_BUTTON_PNG, IDR_TEST_BUTTON_PNG_HOT);
    const size_t nRoomWithImages = GdiObjectRoom();
    EXPECT_EQ(nRoomWithImages + 2, nRoomBefore);
    button.m_bTransparent = TRUE;
    EXPECT_EQ(
        CountMismatches(RenderWindow(button.m_hWnd), LoadPngReference(IDR_TEST_BUTTON_PNG), kBlue),
        0);

    ::DestroyWindow(parent.hWnd);
    EXPECT_EQ(button.m_hWnd, nullptr);
    EXPECT_EQ(GdiObjectRoom(), nRoomWithImages + 2);
    EXPECT_GE(GdiObjectRoom(), nRoomBefore);
}

TEST_F(MFCButtonTest, AutosizeFitsTheButtonToItsImage)
{
    Parent parent;
    CMFCButton button;
    ASSERT_TRUE(button.SubclassWindow(parent.AddButton(1, 100, 60)));
    SendProperties(button.m_hWnd, kOther);
    button.SetImage(IDR_TEST_BUTTON_SQUARE);
    RECT rc;
    ::GetClientRect(button.m_hWnd, &rc);
    // Style 0 draws a 2-pixel border on each side.
    EXPECT_EQ(rc.right, 31 + 4);
    EXPECT_EQ(rc.bottom, 31 + 4);
}

TEST_F(MFCButtonTest, HandCursorOverTheButtonOfCursorType12)
{
    Parent parent;
    CMFCButton hand, plain;
    ASSERT_TRUE(hand.SubclassWindow(parent.AddButton(1)));
    ASSERT_TRUE(plain.SubclassWindow(parent.AddButton(2)));
    SendProperties(hand.m_hWnd, kP1);
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

TEST_F(MFCButtonTest, ClicksReachTheParentAsButtonClicked)
{
    Parent parent;
    CMFCButton button;
    ASSERT_TRUE(button.SubclassWindow(parent.AddButton(1009)));
    button.SetImage(IDB_TEST_BUTTON_BMP, IDB_TEST_BUTTON_BMP_HOT);
    ::SendMessageW(button.m_hWnd, BM_CLICK, 0, 0);
    ::SendMessageW(button.m_hWnd, BM_CLICK, 0, 0);
    afxtest::DrainQueue();
    const auto nClicks = std::count(Parent::s_commands.begin(), Parent::s_commands.end(),
                                    static_cast<WPARAM>(MAKEWPARAM(1009, BN_CLICKED)));
    EXPECT_EQ(nClicks, 2);
}

}  // namespace
