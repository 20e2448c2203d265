// Loads an image resource of a module into a GDI+ image.
#pragma once

#include <windows.h>
#include <algorithm>
#include <gdiplus.h>

// nID: only its low 16 bits are used, as an integer resource identifier.
// lpszType: RT_BITMAP loads a bitmap resource with LoadBitmapW (a NULL module then means the
// predefined bitmaps of Windows); any other type, integer or name, is decoded by GDI+ from a stream
// over a copy of the resource (a NULL module then means the library's resource handle).
// Returns a new image owned by the caller (release it with delete), or NULL when GDI+ could not
// allocate the object. A resource that cannot be found or decoded yields an image without content:
// its width and height read as 0.
Gdiplus::Image* LoadImageFromResource(UINT nID, LPCWSTR lpszType, HINSTANCE hInst);
