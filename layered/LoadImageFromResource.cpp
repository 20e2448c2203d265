#include "layered/LoadImageFromResource.h"

#include <cstring>
#include <new>
#include <utility>

#include "afx/ScopedHandles.h"
#include "afx/WinApp.h"

namespace {

// The wrapper classes allocate through GdipAlloc; their operator new may return NULL, which a
// plain new-expression would not check. Construct in place only when memory was given.
template <class T, class... Args>
T* NewGdiplusObject(Args&&... args)
{
    void* p = Gdiplus::DllExports::GdipAlloc(sizeof(T));
    return p ? ::new (p) T(std::forward<Args>(args)...) : nullptr;
}

Gdiplus::Image* LoadBitmapImage(LPCWSTR lpszName, HINSTANCE hInst)
{
    // Deleted once the image is made, whatever became of it.
    const CScopedBitmap bitmap(::LoadBitmapW(hInst, lpszName));
    return NewGdiplusObject<Gdiplus::Bitmap>(bitmap.Get(), HPALETTE(nullptr));
}

Gdiplus::Image* LoadStreamImage(LPCWSTR lpszName, LPCWSTR lpszType, HINSTANCE hInst)
{
    if (!hInst)
        hInst = AfxGetResourceHandle();

    HRSRC hRes = ::FindResourceW(hInst, lpszName, lpszType);
    const DWORD cb = hRes ? ::SizeofResource(hInst, hRes) : 0;
    HGLOBAL hResData = hRes ? ::LoadResource(hInst, hRes) : nullptr;
    const void* pResBytes = hResData ? ::LockResource(hResData) : nullptr;

    CComPtr<IStream> stream;
    CScopedGlobal block(::GlobalAlloc(GMEM_FIXED, cb));
    const HGLOBAL hBlock = block;
    if (hBlock)
    {
        if (void* pBlock = ::GlobalLock(hBlock))
        {
            if (pResBytes && cb)
                std::memcpy(pBlock, pResBytes, cb);
        }
        // The stream owns the block: it is freed when the last reference to the stream goes,
        // which is the image's once the loader has let go of its own.
        if (SUCCEEDED(::CreateStreamOnHGlobal(hBlock, TRUE, &stream)))
            block.Detach();
        else
            stream.Detach();
    }

    Gdiplus::Image* pImage = NewGdiplusObject<Gdiplus::Image>(stream, FALSE);

    if (hBlock)
        ::GlobalUnlock(hBlock);
    stream.Release();
    block.Reset();  // freed here when no stream took the block over
    if (hResData)
        ::FreeResource(hResData);
    return pImage;
}

}  // namespace

Gdiplus::Image* LoadImageFromResource(UINT nID, LPCWSTR lpszType, HINSTANCE hInst)
{
    LPCWSTR lpszName = MAKEINTRESOURCEW(LOWORD(nID));
    if (lpszType == RT_BITMAP)
        return LoadBitmapImage(lpszName, hInst);
    return LoadStreamImage(lpszName, lpszType, hInst);
}
