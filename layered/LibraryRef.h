// A module reference taken for one call into it: LoadLibraryW now, FreeLibrary when it goes.
#pragma once

#include <windows.h>

class CLibraryRef
{
public:
    explicit CLibraryRef(LPCWSTR lpszName) : m_hModule(::LoadLibraryW(lpszName)) {}
    ~CLibraryRef()
    {
        if (m_hModule)
            ::FreeLibrary(m_hModule);
    }
    CLibraryRef(const CLibraryRef&) = delete;
    CLibraryRef& operator=(const CLibraryRef&) = delete;

    // The export as a function pointer of type F, or NULL when the module or the export is missing.
    template <class F>
    F GetProc(LPCSTR lpszName) const
    {
        return m_hModule ? reinterpret_cast<F>(::GetProcAddress(m_hModule, lpszName)) : nullptr;
    }

private:
    HMODULE m_hModule;
};
