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
    ~CGdiObject() override;

    // Takes ownership of hObject; an object held before is deleted first. FALSE for NULL.
    BOOL Attach(HGDIOBJ hObject) noexcept;
    // Gives up ownership without deleting.
    HGDIOBJ Detach() noexcept { return std::exchange(m_hObject, nullptr); }
    // Deletes the object held now; FALSE when there was none or GDI refused.
    BOOL DeleteObject() noexcept;

    HGDIOBJ m_hObject;
};
