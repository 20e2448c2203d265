// The game window run in this process with the fake browser as its HTML view, captured from its
// own surface (caption included) into game-window.png beside the test program: the picture of the
// game window in the README. The checks make sure the picture shows what it should: a caption
// bar whose text is the server caption, as wide as that string, every glyph of it available.
#include <gtest/gtest.h>

#include <windows.h>
#include <gdiplus.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "client/TalvGameDlg.h"
#include "tests/client/GameWindowRun.h"
#include "tests/support/Canvas.h"
#include "tests/support/FakeWebBrowser.h"

using namespace gametest;

namespace {

const wchar_t kGameUrl[] = L"http://game.orvane.example/play?uid=7&server=12&key=abc";
const wchar_t kCaption[] = L"Orvanes12服  【F5刷新】【F11全屏】【F12最小托盘】";

class GdiplusSession
{
public:
    GdiplusSession()
    {
        Gdiplus::GdiplusStartupInput input;
        m_ok = Gdiplus::GdiplusStartup(&m_token, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusSession()
    {
        if (m_ok)
            Gdiplus::GdiplusShutdown(m_token);
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    bool Ok() const { return m_ok; }

private:
    ULONG_PTR m_token = 0;
    bool m_ok = false;
};

bool SavePng(HBITMAP bitmap, const std::wstring& path)
{
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
        return false;
    std::vector<BYTE> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, encoders) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i)
    {
        if (std::wstring(encoders[i].MimeType) == L"image/png")
        {
            Gdiplus::Bitmap image(bitmap, nullptr);
            return image.Save(path.c_str(), &encoders[i].Clsid, nullptr) == Gdiplus::Ok;
        }
    }
    return false;
}

std::wstring BesideTestProgram(const wchar_t* name)
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path);
    return dir.substr(0, dir.find_last_of(L"\\/") + 1) + name;
}

// Columns of the band [top, bottom) that hold a pixel of another colour than the band's
// background (taken at its right end, past any text).
std::vector<bool> InkColumns(const Canvas& c, int left, int right, int top, int bottom)
{
    const DWORD background = c.Pixel(right - 1, (top + bottom) / 2);
    std::vector<bool> ink(static_cast<size_t>(right - left), false);
    for (int x = left; x < right; ++x)
        for (int y = top; y < bottom; ++y)
            if (c.Pixel(x, y) != background)
                ink[static_cast<size_t>(x - left)] = true;
    return ink;
}

// Draws text in the caption font on a white canvas and answers its ink as a bitmap string.
std::vector<DWORD> Glyph(const wchar_t* text, const LOGFONTW& lf, SIZE* extent)
{
    Canvas c(64, 64);
    if (!c.Ok())
        return {};
    const HFONT font = ::CreateFontIndirectW(&lf);
    const HGDIOBJ old = ::SelectObject(c.DC(), font);
    RECT all = {0, 0, 64, 64};
    ::FillRect(c.DC(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SetBkMode(c.DC(), TRANSPARENT);
    ::SetTextColor(c.DC(), RGB(0, 0, 0));
    ::TextOutW(c.DC(), 4, 4, text, static_cast<int>(wcslen(text)));
    if (extent)
        ::GetTextExtentPoint32W(c.DC(), text, static_cast<int>(wcslen(text)), extent);
    ::SelectObject(c.DC(), old);
    ::DeleteObject(font);
    ::GdiFlush();
    std::vector<DWORD> pixels;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            pixels.push_back(c.Pixel(x, y));
    return pixels;
}

int Ink(const std::vector<DWORD>& glyph)
{
    int n = 0;
    for (DWORD p : glyph)
        n += p != 0x00FFFFFF;
    return n;
}

}  // namespace

TEST(GameScreenshot, CapturesTheWholeWindowWithItsServerCaptionDrawn)
{
    GdiplusSession gdiplus;
    ASSERT_TRUE(gdiplus.Ok());
    FakeBrowserRegistration registration;
    ASSERT_TRUE(registration.Registered());

    NONCLIENTMETRICSW ncm = {};
    ncm.cbSize = sizeof(ncm);
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0));

    // Every character of the caption outside ASCII has a glyph of its own in the caption font
    // (through the font's fall-backs): not empty, not the missing-glyph box.
    const std::vector<DWORD> missing = Glyph(L"\xFFFF", ncm.lfCaptionFont, nullptr);
    for (const wchar_t* p = kCaption; *p; ++p)
    {
        if (*p < 0x80)
            continue;
        const wchar_t one[2] = {*p, 0};
        const std::vector<DWORD> glyph = Glyph(one, ncm.lfCaptionFont, nullptr);
        EXPECT_GT(Ink(glyph), 10) << "U+" << std::hex << unsigned(*p);
        EXPECT_NE(glyph, missing) << "U+" << std::hex << unsigned(*p)
                                  << ": no glyph; the prefix needs a CJK font linked to the UI"
                                     " fonts (scripts/xenv links one)";
    }

    CTalvGameDlg dlg;
    dlg.SetUrls(kGameUrl, kGameUrl);
    std::wstring caption;
    RECT rcWindow = {};
    std::unique_ptr<Canvas> shot;
    ModalScript script;
    script
        .Then([&] {
            ::RedrawWindow(dlg.m_hWnd, nullptr, nullptr,
                           RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN |
                               RDW_UPDATENOW);
        })
        .Then([&] {
            caption = TextOf(dlg.m_hWnd);
            ::GetWindowRect(dlg.m_hWnd, &rcWindow);
            shot = std::make_unique<Canvas>(rcWindow.right - rcWindow.left,
                                            rcWindow.bottom - rcWindow.top);
            // The window's own surface, frame included, whatever lies over it on screen.
            if (shot->Ok())
            {
                const HDC window = ::GetWindowDC(dlg.m_hWnd);
                EXPECT_TRUE(::BitBlt(shot->DC(), 0, 0, shot->Width(), shot->Height(), window, 0, 0,
                                     SRCCOPY));
                ::ReleaseDC(dlg.m_hWnd, window);
                ::GdiFlush();
            }
        });
    EXPECT_EQ(script.Run(dlg), ModalScript::kEndCode);
    EXPECT_EQ(caption, kCaption);
    ASSERT_TRUE(shot && shot->Ok());

    // The picture: the part of the window on the screen (maximised, its frame lies outside).
    const RECT screen = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    RECT visible = {};
    ASSERT_TRUE(::IntersectRect(&visible, &rcWindow, &screen));
    Canvas picture(visible.right - visible.left, visible.bottom - visible.top);
    ASSERT_TRUE(picture.Ok());
    ::BitBlt(picture.DC(), 0, 0, picture.Width(), picture.Height(), shot->DC(),
             visible.left - rcWindow.left, visible.top - rcWindow.top, SRCCOPY);
    ::GdiFlush();
    const std::wstring path = BesideTestProgram(L"game-window.png");
    EXPECT_TRUE(SavePng(picture.Bitmap(), path));
    EXPECT_NE(::GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);

    // The caption bar: below the top frame, as high as the caption. Its text starts after the
    // icon, left of the caption buttons, and is as wide as the caption string in the caption
    // font: a caption cut short or with glyphs left out would be narrower.
    const int frameX = ::GetSystemMetrics(SM_CXFRAME) + ::GetSystemMetrics(SM_CXPADDEDBORDER);
    const int frameY = ::GetSystemMetrics(SM_CYFRAME) + ::GetSystemMetrics(SM_CXPADDEDBORDER);
    // The maximised window reaches past the screen by its frame; look at the part on screen.
    const int top = std::max(frameY, static_cast<int>(-rcWindow.top));
    const int bottom = top + ::GetSystemMetrics(SM_CYCAPTION) - 1;
    const int left =
        std::max(frameX, static_cast<int>(-rcWindow.left)) + ::GetSystemMetrics(SM_CXSMICON) + 2;
    const int right = shot->Width() / 2;
    const std::vector<bool> ink = InkColumns(*shot, left, right, top, bottom);
    int first = -1, last = -1;
    for (size_t i = 0; i < ink.size(); ++i)
        if (ink[i])
        {
            if (first < 0)
                first = static_cast<int>(i);
            last = static_cast<int>(i);
        }
    ASSERT_GE(first, 0) << "no text in the caption bar";
    SIZE extent = {};
    Glyph(kCaption, ncm.lfCaptionFont, &extent);
    const int drawn = last - first + 1;
    EXPECT_NEAR(drawn, extent.cx, 6)
        << "caption text " << drawn << " pixels wide, string " << extent.cx;
}
