// Run-time class record: the class's name, as reports of exceptions show it.
#pragma once

#include <windows.h>

struct CRuntimeClass
{
    LPCSTR m_lpszClassName;
};
