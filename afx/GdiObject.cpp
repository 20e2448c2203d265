#include "afx/GdiObject.h"

IMPLEMENT_DYNAMIC(CGdiObject, CObject)

CGdiObject::~CGdiObject()
{
    DeleteObject();
}

BOOL CGdiObject::Attach(HGDIOBJ hObject) noexcept
{
    if (hObject != m_hObject)
        DeleteObject();
    m_hObject = hObject;
    return hObject != nullptr;
}

BOOL CGdiObject::DeleteObject() noexcept
{
    const HGDIOBJ h = Detach();
    return h ? ::DeleteObject(h) : FALSE;
}
