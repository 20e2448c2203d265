#include "afx/Button.h"

IMPLEMENT_DYNAMIC(CButton, CWnd)
