// CTalvGameDlg::SetUrls: the game URL is kept as given; the server number is the text between the
// "=" of the first "&server=" and the next "&", or one space when either is missing.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "client/TalvGameDlg.h"

namespace {

std::wstring ToStd(const CString& s)
{
    return std::wstring(s.GetString(), static_cast<size_t>(s.GetLength()));
}

// Independent statement of the rule, on std::wstring.
std::wstring ReferenceServer(const std::wstring& url)
{
    const std::wstring key = L"&server=";
    const size_t p = url.find(key);
    if (p == std::wstring::npos)
        return L" ";
    const size_t first = p + key.size();
    const size_t amp = url.find(L'&', first);
    if (amp == std::wstring::npos)
        return L" ";
    return url.substr(first, amp - first);
}

std::wstring ServerOf(const std::wstring& url)
{
    CTalvGameDlg dlg;
    dlg.SetUrls(CString(L"http://game.orvane.example/play"), CString(url.c_str(), int(url.size())));
    return ToStd(dlg.m_strServer);
}

struct Example
{
    const wchar_t* query;
    const wchar_t* server;
};

const Example kExamples[] = {
    {L"/enter?uid=7&server=12&t=3", L"12"},
    {L"/enter?uid=7&server=12", L" "},
    {L"/enter?server=12&uid=7", L" "},
    {L"/enter?uid=7&server=&t=3", L""},
    {L"/enter?uid=7&servers=9&server=4&t=3", L"4"},
    {L"/enter?uid=7&server=3&server=4&t=1", L"3"},
    {L"/enter?uid=7&Server=12&t=3", L" "},
    {L"/enter?uid=7&server=1%202&t=3", L"1%202"},
};

}  // namespace

TEST(GameSetUrls, WorkedExamplesWithAndWithoutHost)
{
    for (const Example& ex : kExamples)
    {
        EXPECT_EQ(ServerOf(ex.query), ex.server) << "query " << testing::PrintToString(ex.query);
        const std::wstring full = std::wstring(L"http://game.orvane.example") + ex.query;
        EXPECT_EQ(ServerOf(full), ex.server) << "url " << testing::PrintToString(full);
    }
}

TEST(GameSetUrls, EmptyAndDegenerateUrls)
{
    EXPECT_EQ(ServerOf(L""), L" ");
    EXPECT_EQ(ServerOf(L"&server="), L" ");
    EXPECT_EQ(ServerOf(L"&server=&"), L"");
    EXPECT_EQ(ServerOf(L"&server=&&"), L"");
    EXPECT_EQ(ServerOf(L"&&server=5&"), L"5");
    EXPECT_EQ(ServerOf(L"x&server=a=b&c"), L"a=b");
    EXPECT_EQ(ServerOf(L"?server=1&x&server=2&"), L"2");
    EXPECT_EQ(ServerOf(L"&server=\x670D\xD800&"), L"\x670D\xD800");
}

TEST(GameSetUrls, KeepsTheGameUrlVerbatimAndIgnoresItForTheServer)
{
    CTalvGameDlg dlg;
    const std::wstring game = L"http://game.orvane.example/?a=1&server=77&b=\x670D\xDC00";
    dlg.SetUrls(CString(game.c_str()), CString(L"/enter?uid=1&server=5&x"));
    EXPECT_EQ(ToStd(dlg.m_strUrl), game);
    EXPECT_EQ(ToStd(dlg.m_strServer), L"5");

    CTalvGameDlg other;
    other.SetUrls(CString(), CString());
    EXPECT_TRUE(other.m_strUrl.IsEmpty());
    EXPECT_EQ(ToStd(other.m_strServer), L" ");
}

TEST(GameSetUrls, ConstructionLeavesServerEmptyAndWindowedState)
{
    CTalvGameDlg dlg;
    EXPECT_TRUE(dlg.m_strUrl.IsEmpty());
    EXPECT_TRUE(dlg.m_strServer.IsEmpty());
    EXPECT_EQ(dlg.m_bFullScreen, FALSE);
    EXPECT_EQ(dlg.m_hIcon, nullptr);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

namespace {

// Random and mutated URLs: fragments that matter to the rule, ordinary URL text, non-ASCII and lone
// surrogates, at lengths from empty to tens of thousands of characters.
class UrlFuzzer
{
public:
    explicit UrlFuzzer(uint32_t seed) : m_rng(seed) {}

    std::wstring Next()
    {
        switch (Pick(4))
        {
        case 0:
            return Random(ShortOrLong());
        case 1:
            return Mutate(kExamples[Pick(std::size(kExamples))].query);
        case 2:
            return ServerRun();
        default:
            return Mutate(Random(ShortOrLong()));
        }
    }

private:
    size_t Pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(m_rng); }

    size_t ShortOrLong()
    {
        const size_t r = Pick(1000);
        if (r < 2)
            return 20000 + Pick(50000);  // very long
        if (r < 60)
            return 500 + Pick(4000);  // long
        return Pick(80);
    }

    std::wstring Fragment()
    {
        static const wchar_t* const kFragments[] = {
            L"&",       L"=",        L"&server=",    L"server", L"&server",
            L"server=", L"&Server=", L"&servers=",   L"?",      L"/",
            L"%20",     L"&&",       L"==",          L"uid=7",  L"http://game.orvane.example/enter",
            L"\x670D",  L"\x00E9",   L"\xD83D\xDE00"};
        const size_t r = Pick(10);
        if (r < 4)
            return kFragments[Pick(std::size(kFragments))];
        if (r < 7)
            return std::wstring(1, wchar_t(L'0' + Pick(10)));
        if (r < 8)
            return std::wstring(1, wchar_t(0xD800 + Pick(0x800)));  // lone surrogate
        if (r < 9)
            return std::wstring(1, wchar_t(L'a' + Pick(26)));
        return std::wstring(1, wchar_t(1 + Pick(0xFFFE)));  // any non-NUL unit
    }

    std::wstring Random(size_t length)
    {
        std::wstring s;
        while (s.size() < length)
            s += Fragment();
        return s;
    }

    std::wstring ServerRun()
    {
        std::wstring s = Random(Pick(20));
        const size_t runs = 1 + Pick(Pick(10) == 0 ? 2000 : 6);
        for (size_t i = 0; i < runs; ++i)
        {
            s += L"&server=";
            s += Random(Pick(4));
        }
        if (Pick(2))
            s += L"&";
        return s;
    }

    std::wstring Mutate(std::wstring s)
    {
        const size_t edits = 1 + Pick(6);
        for (size_t i = 0; i < edits; ++i)
        {
            const size_t at = s.empty() ? 0 : Pick(s.size() + 1);
            switch (Pick(4))
            {
            case 0:
                s.insert(at, Fragment());
                break;
            case 1:
                if (at < s.size())
                    s.erase(at, 1 + Pick(4));
                break;
            case 2:
                if (at < s.size())
                    s[at] = Fragment()[0];
                break;
            default:
                if (!s.empty())
                    s += s.substr(Pick(s.size()));
                break;
            }
        }
        return s;
    }

    std::mt19937 m_rng;
};

}  // namespace

TEST(GameSetUrls, FuzzAgreesWithReference)
{
    const uint32_t seed = 0x5EB7E5u;
    UrlFuzzer fuzzer(seed);
    const int kRuns = 120000;
    int failures = 0;
    int found = 0, missing = 0, empty = 0;
    size_t longest = 0;
    for (int i = 0; i < kRuns && failures < 5; ++i)
    {
        const std::wstring url = fuzzer.Next();
        longest = std::max(longest, url.size());
        const std::wstring expected = ReferenceServer(url);
        const std::wstring actual = ServerOf(url);
        if (actual != expected)
        {
            ++failures;
            ADD_FAILURE() << "run " << i << " (seed " << seed << "), length " << url.size()
                          << ": got " << testing::PrintToString(actual) << ", expected "
                          << testing::PrintToString(expected);
        }
        if (expected == L" ")
            ++missing;
        else if (expected.empty())
            ++empty;
        else
            ++found;
    }
    // The generator must exercise every outcome, or the comparison proves little.
    EXPECT_GT(found, 10000);
    EXPECT_GT(missing, 10000);
    EXPECT_GT(empty, 1000);
    EXPECT_GT(longest, size_t(20000));
}
