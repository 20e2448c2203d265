#include "afx/String.h"

#include <climits>
#include <cstdlib>
#include <cwchar>
#include <stdexcept>
#include <string_view>

#include "afx/MemoryException.h"

struct CString::Data
{
    volatile LONG nRefs;
    int nLength;
    int nAlloc;  // room for characters, not counting the terminating NUL

    wchar_t* Chars() noexcept { return reinterpret_cast<wchar_t*>(this + 1); }
};

namespace {
const wchar_t kEmpty[1] = {0};

// The longest string whose block (header + characters + NUL) still fits in an int of bytes.
constexpr int kMaxLength = int((INT_MAX - 64) / sizeof(wchar_t)) - 1;

int SafeLength(LPCWSTR psz) noexcept
{
    return psz ? int(wcsnlen(psz, size_t(INT_MAX))) : 0;
}

std::wstring_view View(LPCWSTR psz) noexcept
{
    return std::wstring_view(psz ? psz : kEmpty, size_t(SafeLength(psz)));
}

int SumLength(int a, int b)
{
    if (a < 0 || b < 0 || a > kMaxLength - b)
        AfxThrowMemoryException();
    return a + b;
}
}  // namespace

CString::Data* CString::Allocate(int nLength)
{
    if (nLength < 0 || nLength > kMaxLength)
        AfxThrowMemoryException();
    void* p = std::malloc(sizeof(Data) + (size_t(nLength) + 1) * sizeof(wchar_t));
    if (!p)
        AfxThrowMemoryException();
    Data* pData = static_cast<Data*>(p);
    pData->nRefs = 1;
    pData->nLength = 0;
    pData->nAlloc = nLength;
    pData->Chars()[0] = 0;
    return pData;
}

void CString::Release(Data* pData) noexcept
{
    if (pData && ::InterlockedDecrement(&pData->nRefs) == 0)
        std::free(pData);
}

LPWSTR CString::PrepareWrite(int nLength, int nKeep)
{
    if (nLength < 0 || nLength > kMaxLength)
        AfxThrowMemoryException();
    if (m_pData && m_pData->nRefs == 1 && m_pData->nAlloc >= nLength)
        return m_pData->Chars();

    int nAlloc = nLength;
    if (m_pData && m_pData->nRefs == 1 && nLength > m_pData->nAlloc)
    {
        // Growing a buffer of our own: leave room so that repeated appends stay cheap.
        int nGrown = m_pData->nAlloc + m_pData->nAlloc / 2;
        if (nGrown > nAlloc && nGrown <= kMaxLength)
            nAlloc = nGrown;
    }
    Data* pNew = Allocate(nAlloc);
    int nOld = GetLength();
    int nCopy = nKeep < nOld ? nKeep : nOld;
    if (nCopy > nLength)
        nCopy = nLength;
    if (nCopy > 0)
        wmemcpy(pNew->Chars(), m_pData->Chars(), size_t(nCopy));
    pNew->nLength = nCopy;
    pNew->Chars()[nCopy] = 0;
    Release(m_pData);
    m_pData = pNew;
    return pNew->Chars();
}

void CString::SetLength(int nLength) noexcept
{
    if (!m_pData)
        return;
    m_pData->nLength = nLength;
    m_pData->Chars()[nLength] = 0;
}

void CString::Assign(LPCWSTR pch, int nLength)
{
    if (nLength < 0)
        AfxThrowMemoryException();
    if (nLength == 0 || !pch)
    {
        Empty();
        return;
    }
    if (m_pData && pch >= m_pData->Chars() && pch <= m_pData->Chars() + m_pData->nAlloc)
    {
        CString copy(pch, nLength);  // the source lives in our own buffer
        *this = std::move(copy);
        return;
    }
    LPWSTR p = PrepareWrite(nLength, 0);
    wmemcpy(p, pch, size_t(nLength));
    SetLength(nLength);
}

CString::CString(LPCWSTR psz) : m_pData(nullptr)
{
    Assign(psz, SafeLength(psz));
}

CString::CString(LPCWSTR pch, int nLength) : m_pData(nullptr)
{
    if (nLength < 0)
        AfxThrowMemoryException();
    if (!pch)
        nLength = 0;
    Assign(pch, nLength);
}

CString::CString(const CString& src) noexcept : m_pData(src.m_pData)
{
    if (m_pData)
        ::InterlockedIncrement(&m_pData->nRefs);
}

CString::~CString()
{
    Release(m_pData);
}

CString& CString::operator=(const CString& src) noexcept
{
    if (src.m_pData != m_pData)
    {
        if (src.m_pData)
            ::InterlockedIncrement(&src.m_pData->nRefs);
        Release(m_pData);
        m_pData = src.m_pData;
    }
    return *this;
}

CString& CString::operator=(CString&& src) noexcept
{
    if (this != &src)
    {
        Release(m_pData);
        m_pData = src.m_pData;
        src.m_pData = nullptr;
    }
    return *this;
}

CString& CString::operator=(LPCWSTR psz)
{
    Assign(psz, SafeLength(psz));
    return *this;
}

CString CString::FromBSTR(BSTR bstr)
{
    if (!bstr)
        return CString();
    UINT n = ::SysStringLen(bstr);
    if (n > UINT(kMaxLength))
        AfxThrowMemoryException();
    return CString(bstr, int(n));
}

CString CString::FromMultiByte(LPCSTR psz, UINT nCodePage)
{
    CString result;
    if (!psz || !*psz)
        return result;
    int n = ::MultiByteToWideChar(nCodePage, 0, psz, -1, nullptr, 0);
    if (n <= 1)
        return result;
    LPWSTR p = result.GetBuffer(n - 1);
    ::MultiByteToWideChar(nCodePage, 0, psz, -1, p, n);
    result.ReleaseBuffer(n - 1);
    return result;
}

int CString::GetLength() const noexcept
{
    return m_pData ? m_pData->nLength : 0;
}

void CString::Empty() noexcept
{
    Release(m_pData);
    m_pData = nullptr;
}

LPCWSTR CString::GetString() const noexcept
{
    return m_pData ? m_pData->Chars() : kEmpty;
}

wchar_t CString::GetAt(int nIndex) const
{
    if (nIndex < 0 || nIndex > GetLength())
        throw std::out_of_range("CString index out of range");
    return GetString()[nIndex];
}

int CString::Find(LPCWSTR pszSub, int nStart) const
{
    if (nStart < 0)
        nStart = 0;
    if (nStart > GetLength())
        return -1;
    std::wstring_view self(GetString(), size_t(GetLength()));
    size_t pos = self.find(View(pszSub), size_t(nStart));
    return pos == std::wstring_view::npos ? -1 : int(pos);
}

int CString::Find(wchar_t ch, int nStart) const
{
    if (nStart < 0)
        nStart = 0;
    if (nStart >= GetLength())
        return -1;
    std::wstring_view self(GetString(), size_t(GetLength()));
    size_t pos = self.find(ch, size_t(nStart));
    return pos == std::wstring_view::npos ? -1 : int(pos);
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const
{
    int n = GetLength();
    if (nFirst < 0)
        nFirst = 0;
    if (nCount < 0)
        nCount = 0;
    if (nFirst >= n)
        return CString();
    if (nCount > n - nFirst)
        nCount = n - nFirst;
    if (nFirst == 0 && nCount == n)
        return *this;
    return CString(GetString() + nFirst, nCount);
}

CString CString::Left(int nCount) const
{
    return Mid(0, nCount);
}

void CString::Append(LPCWSTR pch, int nLength)
{
    if (nLength < 0)
        AfxThrowMemoryException();
    if (!pch || nLength == 0)
        return;
    if (m_pData && pch >= m_pData->Chars() && pch <= m_pData->Chars() + m_pData->nAlloc)
    {
        CString copy(pch, nLength);  // the source lives in our own buffer
        Append(copy.GetString(), nLength);
        return;
    }
    int nOld = GetLength();
    int nNew = SumLength(nOld, nLength);
    LPWSTR p = PrepareWrite(nNew, nOld);
    wmemcpy(p + nOld, pch, size_t(nLength));
    SetLength(nNew);
}

CString& CString::operator+=(const CString& str)
{
    CString keep(str);  // keeps the source alive when it is this very string
    Append(keep.GetString(), keep.GetLength());
    return *this;
}

CString& CString::operator+=(LPCWSTR psz)
{
    Append(psz, SafeLength(psz));
    return *this;
}

LPWSTR CString::GetBuffer(int nMinLength)
{
    int n = GetLength();
    if (nMinLength < n)
        nMinLength = n;
    return PrepareWrite(nMinLength, n);
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (!m_pData)
        return;
    if (nNewLength < 0)
        nNewLength = int(wcsnlen(m_pData->Chars(), size_t(m_pData->nAlloc)));
    if (nNewLength > m_pData->nAlloc)
        nNewLength = m_pData->nAlloc;
    SetLength(nNewLength);
}
