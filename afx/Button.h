// A push button, check box or radio button control.
#pragma once

#include <windows.h>

#include "afx/Wnd.h"

class CButton : public CWnd
{
    DECLARE_DYNAMIC(CButton)
public:
    CButton() = default;
};
