// Run-time class record: name, size, schema, creation function and base class.
#pragma once

#include <windows.h>

class CObject;

struct CRuntimeClass
{
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;                   // 0xFFFF for classes that are not serialised
    CObject* (*m_pfnCreateObject)();  // NULL when the class cannot be made dynamically
    CRuntimeClass* m_pBaseClass;      // NULL for the root class

    // A new object of this class, or NULL when the class has no creation function or memory ran out.
    CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }

    // TRUE when this class is pBaseClass or derives from it.
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const
    {
        for (const CRuntimeClass* p = this; p; p = p->m_pBaseClass)
            if (p == pBaseClass)
                return TRUE;
        return FALSE;
    }
};
