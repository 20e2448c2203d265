#include "afx/GdiObject.h"

IMPLEMENT_DYNAMIC(CGdiObject, CObject)

CGdiObject& CGdiObject::operator=(CGdiObject&& other) noexcept
{
    if (this != &other)
        Attach(other.Detach());
    return *this;
}

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

int CGdiObject::GetObject(int nCount, LPVOID lpObject) const noexcept
{
    return m_hObject ? ::GetObjectW(m_hObject, nCount, lpObject) : 0;
}
