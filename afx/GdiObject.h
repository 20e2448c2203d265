// Owner of one GDI object (pen, brush, font, bitmap, region): deleted when the owner goes away.
#pragma once

#include <windows.h>

#include <utility>

#include "afx/Object.h"

class CGdiObject : public CObject
{
    DECLARE_DYNAMIC(CGdiObject)
public:
    CGdiObject() noexcept : m_hObject(nullptr) {}
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    CGdiObject(CGdiObject&& other) noexcept : m_hObject(other.Detach()) {}
    CGdiObject& operator=(CGdiObject&& other) noexcept;
    ~CGdiObject() override;

    operator HGDIOBJ() const noexcept { return m_hObject; }

    // Takes ownership of hObject; an object held before is deleted first. FALSE for NULL.
    BOOL Attach(HGDIOBJ hObject) noexcept;
    // Gives up ownership without deleting.
    HGDIOBJ Detach() noexcept { return std::exchange(m_hObject, nullptr); }
    // Deletes the object held now; FALSE when there was none or GDI refused.
    BOOL DeleteObject() noexcept;

    int GetObject(int nCount, LPVOID lpObject) const noexcept;

    HGDIOBJ m_hObject;
};
