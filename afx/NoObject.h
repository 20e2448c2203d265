// The answer of a COM method that hands out no object.
#pragma once

#include <windows.h>

// Clears the out-parameter (when there is one) and returns hr.
template <class T>
inline HRESULT AfxNoObject(T** pp, HRESULT hr)
{
    if (pp != nullptr)
        *pp = nullptr;
    return hr;
}
