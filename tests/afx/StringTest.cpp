#include <climits>
#include <cstring>
#include <stdexcept>

#include <gtest/gtest.h>

#include "afx/MemoryException.h"
#include "afx/String.h"

namespace {

// A BSTR released at scope end.
struct Bstr
{
    BSTR b;
    explicit Bstr(BSTR value) : b(value) {}
    ~Bstr() { ::SysFreeString(b); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
};

TEST(CStringSharing, CopiesShareOneBufferUntilOneIsWritten)
{
    CString a(L"shared text");
    CString b(a);
    CString c;
    c = a;
    // One buffer: the same characters at the same address.
    EXPECT_EQ(a.GetString(), b.GetString());
    EXPECT_EQ(a.GetString(), c.GetString());
    EXPECT_EQ(a.GetString(), b.GetString());

    b.GetBuffer()[0] = L'S';  // a write in the room the buffer has
    b.ReleaseBuffer();
    EXPECT_NE(a.GetString(), b.GetString());
    EXPECT_STREQ(L"shared text", a.GetString());
    EXPECT_STREQ(L"Shared text", b.GetString());
    EXPECT_STREQ(L"shared text", c.GetString());
    EXPECT_EQ(a.GetString(), c.GetString());

    c += L"!";
    EXPECT_STREQ(L"shared text", a.GetString());
    EXPECT_STREQ(L"shared text!", c.GetString());

    CString e(a);
    LPWSTR p = e.GetBuffer(40);
    EXPECT_NE(static_cast<LPCWSTR>(p), a.GetString());
    wcscpy(p, L"rewritten");
    e.ReleaseBuffer();
    EXPECT_STREQ(L"shared text", a.GetString());
    EXPECT_STREQ(L"rewritten", e.GetString());
    EXPECT_EQ(9, e.GetLength());
}

TEST(CStringSharing, AssigningAnotherOrEmptyingReleasesOnlyThisCopy)
{
    CString a(L"one");
    CString b(a);
    b.Empty();
    EXPECT_TRUE(b.IsEmpty());
    EXPECT_STREQ(L"", b.GetString());
    EXPECT_STREQ(L"one", a.GetString());

    CString c(a);
    c = L"two";
    EXPECT_STREQ(L"one", a.GetString());
    EXPECT_STREQ(L"two", c.GetString());

    CString moved(std::move(c));
    EXPECT_STREQ(L"two", moved.GetString());
    EXPECT_TRUE(c.IsEmpty());
}

TEST(CStringSharing, WritesFromItsOwnBufferAreSafe)
{
    CString s(L"abc");
    s += s;
    EXPECT_STREQ(L"abcabc", s.GetString());

    // A source that points into the string's own (unique, then reallocated) buffer.
    s += s.GetString() + 3;
    EXPECT_STREQ(L"abcabcabc", s.GetString());

    s = s.GetString() + 6;
    EXPECT_STREQ(L"abc", s.GetString());

    CString t(L"x");
    for (int i = 0; i < 12; ++i)
        t += t;
    EXPECT_EQ(4096, t.GetLength());
    EXPECT_EQ(-1, t.Find(L'y'));
}

TEST(CStringConstruction, NullAndLengths)
{
    CString fromNull(static_cast<LPCWSTR>(nullptr));
    EXPECT_TRUE(fromNull.IsEmpty());
    CString fromNullMacro(NULL);
    EXPECT_EQ(0, fromNullMacro.GetLength());

    CString part(L"abcdef", 3);
    EXPECT_STREQ(L"abc", part.GetString());
    EXPECT_EQ(3, part.GetLength());

    CString utf8 = CString::FromMultiByte("gr\xc3\xbc\xc3\x9f", CP_UTF8);
    EXPECT_STREQ(L"gr\u00fc\u00df", utf8.GetString());
    EXPECT_TRUE(CString::FromMultiByte(nullptr).IsEmpty());
}

TEST(CStringFind, EdgesOfTheSearch)
{
    CString empty;
    EXPECT_EQ(-1, empty.Find(L"a"));
    EXPECT_EQ(-1, empty.Find(L'a'));
    EXPECT_EQ(0, empty.Find(L""));
    EXPECT_EQ(-1, empty.Find(L"", 1));

    CString s(L"abcabc");
    EXPECT_EQ(0, s.Find(L"abc"));
    EXPECT_EQ(3, s.Find(L"abc", 1));
    EXPECT_EQ(4, s.Find(L"bc", 2));  // the match ends at the very end
    EXPECT_EQ(5, s.Find(L"c", 5));
    EXPECT_EQ(5, s.Find(L'c', 5));
    EXPECT_EQ(-1, s.Find(L"abcd"));
    EXPECT_EQ(-1, s.Find(L"c", 6));  // start at the end
    EXPECT_EQ(-1, s.Find(L"a", 7));  // start past the end
    EXPECT_EQ(-1, s.Find(L'a', 6));
    EXPECT_EQ(0, s.Find(L"a", -5));  // negative start counts as 0
    EXPECT_EQ(2, s.Find(L'c', -1));
    EXPECT_EQ(-1, s.Find(L"ABC"));  // case-sensitive

    EXPECT_EQ(2, s.Find(L"", 2));  // empty needle: the start, up to the length
    EXPECT_EQ(6, s.Find(L"", 6));
    EXPECT_EQ(-1, s.Find(L"", 7));
    EXPECT_EQ(0, s.Find(static_cast<LPCWSTR>(nullptr)));
}

TEST(CStringExtract, MidAndLeftAreClamped)
{
    CString s(L"hello");
    EXPECT_STREQ(L"llo", s.Mid(2).GetString());
    EXPECT_STREQ(L"el", s.Mid(1, 2).GetString());
    EXPECT_STREQ(L"hel", s.Mid(-3, 3).GetString());
    EXPECT_STREQ(L"lo", s.Mid(3, 100).GetString());
    EXPECT_STREQ(L"lo", s.Mid(3, INT_MAX).GetString());
    EXPECT_TRUE(s.Mid(5).IsEmpty());
    EXPECT_TRUE(s.Mid(9, 2).IsEmpty());
    EXPECT_TRUE(s.Mid(1, -1).IsEmpty());
    EXPECT_EQ(s.Mid(0).GetString(), s.GetString());  // the same buffer

    EXPECT_STREQ(L"he", s.Left(2).GetString());
    EXPECT_STREQ(L"hello", s.Left(50).GetString());
    EXPECT_TRUE(s.Left(0).IsEmpty());
    EXPECT_TRUE(s.Left(-2).IsEmpty());

    CString empty;
    EXPECT_TRUE(empty.Mid(0).IsEmpty());
    EXPECT_TRUE(empty.Left(3).IsEmpty());
}

TEST(CStringBstr, FromBstrKeepsEmbeddedNuls)
{
    static const wchar_t raw[] = {L'a', L'b', 0, L'c', L'd'};
    Bstr b(::SysAllocStringLen(raw, 5));
    ASSERT_NE(nullptr, b.b);

    CString whole = CString::FromBSTR(b.b);
    EXPECT_EQ(5, whole.GetLength());
    EXPECT_EQ(L'\0', whole[2]);
    EXPECT_EQ(L'd', whole[4]);
    EXPECT_EQ(3, whole.Find(L"cd"));
    EXPECT_EQ(2, whole.Find(L'\0'));

    // Through LPCWSTR the string stops at the first NUL.
    CString cut(b.b);
    EXPECT_EQ(2, cut.GetLength());
    EXPECT_NE(whole, cut);

    EXPECT_TRUE(CString::FromBSTR(nullptr).IsEmpty());
    Bstr emptyBstr(::SysAllocString(L""));
    EXPECT_TRUE(CString::FromBSTR(emptyBstr.b).IsEmpty());
}

TEST(CStringConcat, StringsAndPointers)
{
    CString a(L"ab");
    EXPECT_STREQ(L"abcd", (a + CString(L"cd")).GetString());
    EXPECT_STREQ(L"abcd", (a + L"cd").GetString());
    EXPECT_STREQ(L"ab", (a + static_cast<LPCWSTR>(nullptr)).GetString());
    EXPECT_STREQ(L"ab", (CString() + a).GetString());
    EXPECT_STREQ(L"ab", a.GetString());

    CString s;
    s += L"x";
    s += L"y";
    s += CString(L"z");
    EXPECT_STREQ(L"xyz", s.GetString());
    EXPECT_EQ(3, s.GetLength());

    static const wchar_t raw[] = {L'1', 0, L'2'};
    CString withNul(raw, 3);
    CString joined = a + withNul;
    EXPECT_EQ(5, joined.GetLength());
    EXPECT_EQ(L'2', joined[4]);
}

TEST(CStringCompare, EqualityIsOfTheWholeString)
{
    CString abc(L"abc");
    EXPECT_TRUE(abc == CString(L"abc"));
    EXPECT_FALSE(abc != CString(L"abc"));
    EXPECT_TRUE(abc != CString(L"ABC"));
    EXPECT_TRUE(abc != CString(L"ab"));
    EXPECT_TRUE(CString() == CString(L""));

    static const wchar_t x[] = {L'a', 0, L'x'};
    static const wchar_t y[] = {L'a', 0, L'y'};
    EXPECT_NE(CString(x, 3), CString(y, 3));
    EXPECT_NE(CString(x, 3), CString(L"a"));
}

TEST(CStringAccess, IndexBounds)
{
    CString s(L"ab");
    EXPECT_EQ(L'a', s.GetAt(0));
    EXPECT_EQ(L'\0', s.GetAt(2));  // the terminator is readable
    EXPECT_THROW(s.GetAt(3), std::out_of_range);
    EXPECT_THROW(s.GetAt(-1), std::out_of_range);
}

TEST(CStringMemory, ImpossibleLengthsThrowMemoryException)
{
    EXPECT_THROW(CString(L"x", INT_MAX), CMemoryException);
    EXPECT_THROW(CString(L"x", -1), CMemoryException);

    CString s(L"kept");
    EXPECT_THROW(s.GetBuffer(INT_MAX), CMemoryException);
    EXPECT_STREQ(L"kept", s.GetString());  // a failed request leaves the string as it was

    try
    {
        s.GetBuffer(INT_MAX / 2 + 1);
        ADD_FAILURE() << "no exception";
    }
    catch (CException& e)
    {
        EXPECT_TRUE(e.IsKindOf(RUNTIME_CLASS(CMemoryException)));
        EXPECT_FALSE(e.Describe().IsEmpty());
    }
}

}  // namespace
