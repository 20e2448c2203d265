// Reference-counted UTF-16 string. Copies share one buffer; any change makes the buffer unique
// first. Running out of memory (or asking for an impossible length) throws CMemoryException.
#pragma once

#include <windows.h>
#include <oleauto.h>

class CString
{
public:
    CString() noexcept : m_pData(nullptr) {}
    CString(LPCWSTR psz);               // NULL gives an empty string
    CString(LPCWSTR pch, int nLength);  // may hold embedded NULs
    CString(const CString& src) noexcept;
    CString(CString&& src) noexcept : m_pData(src.m_pData) { src.m_pData = nullptr; }
    ~CString();

    CString& operator=(const CString& src) noexcept;
    CString& operator=(CString&& src) noexcept;
    CString& operator=(LPCWSTR psz);

    // Whole BSTR including embedded NULs (its length is SysStringLen, not the first NUL).
    static CString FromBSTR(BSTR bstr);
    // Text in a narrow code page (CP_ACP, CP_UTF8, ...).
    static CString FromMultiByte(LPCSTR psz, UINT nCodePage = CP_ACP);

    int GetLength() const noexcept;
    BOOL IsEmpty() const noexcept { return GetLength() == 0; }
    void Empty() noexcept;

    LPCWSTR GetString() const noexcept;
    operator LPCWSTR() const noexcept { return GetString(); }
    wchar_t GetAt(int nIndex) const;
    wchar_t operator[](int nIndex) const { return GetAt(nIndex); }

    // Case-sensitive search; -1 when absent or nStart is past the end (negative nStart = 0).
    int Find(LPCWSTR pszSub, int nStart = 0) const;
    int Find(wchar_t ch, int nStart = 0) const;

    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Left(int nCount) const;

    CString& operator+=(const CString& str);
    CString& operator+=(LPCWSTR psz);
    void Append(LPCWSTR pch, int nLength);

    // Direct access: GetBuffer makes the buffer unique with room for nMinLength characters plus
    // a NUL; ReleaseBuffer sets the length (-1: up to the first NUL).
    LPWSTR GetBuffer(int nMinLength = 0);
    void ReleaseBuffer(int nNewLength = -1);

private:
    struct Data;

    static Data* Allocate(int nLength);
    static void Release(Data* pData) noexcept;
    void Assign(LPCWSTR pch, int nLength);
    // Makes the buffer unique with room for nLength characters, keeping the first nKeep ones.
    LPWSTR PrepareWrite(int nLength, int nKeep);
    void SetLength(int nLength) noexcept;

    Data* m_pData;  // NULL when empty
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, LPCWSTR b);

bool operator==(const CString& a, const CString& b) noexcept;
bool operator!=(const CString& a, const CString& b) noexcept;
