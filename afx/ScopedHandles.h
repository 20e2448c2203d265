// Owners of the handles the library and the program make, each released when its owner goes:
//   CScopedGdiObject<T>  a GDI object (CScopedBitmap, CScopedBrush): DeleteObject
//   CScopedMemoryDC      a memory device context: CreateCompatibleDC ... DeleteDC
//   CScopedClientDC      a window's (or the screen's) device context: GetDC ... ReleaseDC
//   CScopedSelection     an object selected into a device context, the one it replaced selected
//                        back
//   AfxCreateDibSection32  a 32-bit DIB section in a CScopedBitmap
//   CComPtr<T>           a COM interface pointer: one reference, Release
//   CScopedModule        a module reference: LoadLibraryW ... FreeLibrary
//   CScopedGlobal        a global memory block: GlobalFree
//   CScopedHandle        a kernel handle: CloseHandle
// GDI objects that the class library's own classes hand out (CBrush) are CGdiObjects.
// Header only, on the Windows API alone.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <utility>

// One handle of type T, closed by Traits::Close unless Traits::IsNone says there is none.
template <class T, class Traits>
class CScopedOwner
{
public:
    CScopedOwner() noexcept = default;
    explicit CScopedOwner(T h) noexcept : m_h(h) {}
    ~CScopedOwner() { Reset(); }
    CScopedOwner(CScopedOwner&& other) noexcept : m_h(other.Detach()) {}
    CScopedOwner& operator=(CScopedOwner&& other) noexcept
    {
        if (this != &other)
            Reset(other.Detach());
        return *this;
    }
    CScopedOwner(const CScopedOwner&) = delete;
    CScopedOwner& operator=(const CScopedOwner&) = delete;

    T Get() const noexcept { return m_h; }
    operator T() const noexcept { return m_h; }
    explicit operator bool() const noexcept { return !Traits::IsNone(m_h); }

    // Gives the handle up without closing it.
    T Detach() noexcept { return std::exchange(m_h, T()); }
    // Closes the handle held now and takes h.
    void Reset(T h = T()) noexcept
    {
        const T old = std::exchange(m_h, h);
        if (!Traits::IsNone(old))
            Traits::Close(old);
    }

private:
    T m_h = T();
};

namespace afx_scoped {

template <class T>
struct NullIsNone
{
    static bool IsNone(T h) noexcept { return h == nullptr; }
};
template <class T>
struct GdiObject : NullIsNone<T>
{
    static void Close(T h) noexcept { ::DeleteObject(h); }
};
struct MemoryDC : NullIsNone<HDC>
{
    static void Close(HDC h) noexcept { ::DeleteDC(h); }
};
struct Module : NullIsNone<HMODULE>
{
    static void Close(HMODULE h) noexcept { ::FreeLibrary(h); }
};
struct Global : NullIsNone<HGLOBAL>
{
    static void Close(HGLOBAL h) noexcept { ::GlobalFree(h); }
};
struct Kernel
{
    // Functions that make kernel objects answer NULL or INVALID_HANDLE_VALUE for none.
    static bool IsNone(HANDLE h) noexcept { return h == nullptr || h == INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) noexcept { ::CloseHandle(h); }
};

}  // namespace afx_scoped

template <class T>
using CScopedGdiObject = CScopedOwner<T, afx_scoped::GdiObject<T>>;
using CScopedBitmap = CScopedGdiObject<HBITMAP>;
using CScopedBrush = CScopedGdiObject<HBRUSH>;
using CScopedGlobal = CScopedOwner<HGLOBAL, afx_scoped::Global>;
using CScopedHandle = CScopedOwner<HANDLE, afx_scoped::Kernel>;

// CreateCompatibleDC(hDC); NULL: one compatible with the screen.
class CScopedMemoryDC : public CScopedOwner<HDC, afx_scoped::MemoryDC>
{
public:
    explicit CScopedMemoryDC(HDC hDC) noexcept : CScopedOwner(::CreateCompatibleDC(hDC)) {}
};

// GetDC(hWnd), released to the same window; NULL: the screen's.
class CScopedClientDC
{
public:
    explicit CScopedClientDC(HWND hWnd) noexcept : m_hWnd(hWnd), m_hDC(::GetDC(hWnd)) {}
    ~CScopedClientDC()
    {
        if (m_hDC)
            ::ReleaseDC(m_hWnd, m_hDC);
    }
    CScopedClientDC(const CScopedClientDC&) = delete;
    CScopedClientDC& operator=(const CScopedClientDC&) = delete;

    operator HDC() const noexcept { return m_hDC; }

private:
    HWND m_hWnd;
    HDC m_hDC;
};

// hObject selected into hDC; the object it replaced is selected back when this goes. A NULL
// object selects nothing.
class CScopedSelection
{
public:
    CScopedSelection(HDC hDC, HGDIOBJ hObject) noexcept
        : m_hDC(hDC),
          m_hOld(hObject ? ::SelectObject(hDC, hObject) : nullptr)
    {
    }
    ~CScopedSelection()
    {
        if (m_hOld)
            ::SelectObject(m_hDC, m_hOld);
    }
    CScopedSelection(const CScopedSelection&) = delete;
    CScopedSelection& operator=(const CScopedSelection&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};

// A 32-bit BI_RGB DIB section of cx by cy pixels (rows top-down when bTopDown, else bottom-up;
// biSizeImage filled in), its pixels at *ppBits; none when GDI could not make it.
inline CScopedBitmap AfxCreateDibSection32(int cx, int cy, bool bTopDown, void** ppBits) noexcept
{
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = bTopDown ? -cy : cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    bmi.bmiHeader.biSizeImage =
        static_cast<DWORD>(((cx * 32 + 31) / 8) & ~3) * static_cast<DWORD>(cy);
    *ppBits = nullptr;
    return CScopedBitmap(::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, ppBits, nullptr, 0));
}

// LoadLibraryW(lpszName) ... FreeLibrary.
class CScopedModule : public CScopedOwner<HMODULE, afx_scoped::Module>
{
public:
    explicit CScopedModule(LPCWSTR lpszName) noexcept : CScopedOwner(::LoadLibraryW(lpszName)) {}

    // The export as a function pointer of type F; NULL when the module or the export is missing.
    template <class F>
    F GetProc(LPCSTR lpszName) const noexcept
    {
        return Get() ? reinterpret_cast<F>(::GetProcAddress(Get(), lpszName)) : nullptr;
    }
};

// One reference to a COM object. Made from a pointer or copied, it takes a reference of its own;
// Attach takes over a reference the caller has. &p hands out the slot of an out-parameter (the
// reference held before is released first).
template <class T>
class CComPtr
{
public:
    CComPtr() noexcept = default;
    CComPtr(T* p) noexcept : m_p(p)
    {
        if (m_p)
            m_p->AddRef();
    }
    CComPtr(const CComPtr& other) noexcept : CComPtr(other.m_p) {}
    CComPtr(CComPtr&& other) noexcept : m_p(other.Detach()) {}
    ~CComPtr() { Release(); }
    CComPtr& operator=(CComPtr other) noexcept
    {
        std::swap(m_p, other.m_p);
        return *this;
    }

    T* operator->() const noexcept { return m_p; }
    operator T*() const noexcept { return m_p; }
    T** operator&() noexcept
    {
        Release();
        return &m_p;
    }

    void Attach(T* p) noexcept
    {
        Release();
        m_p = p;
    }
    T* Detach() noexcept { return std::exchange(m_p, nullptr); }
    // Lets the reference go (the pointer reads NULL before the object hears of it).
    void Release() noexcept
    {
        if (T* p = Detach())
            p->Release();
    }

private:
    T* m_p = nullptr;
};
