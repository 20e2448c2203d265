// A device context handle, as a handler of WM_ERASEBKGND or WM_CTLCOLOR* receives it. The object
// does not own the HDC: the system that handed it out releases it.
#pragma once

#include <windows.h>

#include "afx/Object.h"

class CDC : public CObject
{
    DECLARE_DYNAMIC(CDC)
public:
    CDC() noexcept : m_hDC(nullptr) {}
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    ~CDC() override = default;

    // A temporary object for hDC, the same one for the same handle until the thread's temporary
    // objects are dropped (when the message loop that made it is idle, or at thread end; see
    // AfxDeleteTempMap). NULL for a NULL handle.
    static CDC* FromHandle(HDC hDC);

    HDC m_hDC;
};
