// Watches the SysFreeString calls the test executable makes: while a spy lives, the executable's
// import of oleaut32!SysFreeString points at a recorder (which frees as usual).
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <vector>

#include "tests/support/ImportPatch.h"

class BstrFreeSpy
{
public:
    BstrFreeSpy();
    BstrFreeSpy(const BstrFreeSpy&) = delete;
    BstrFreeSpy& operator=(const BstrFreeSpy&) = delete;

    // The import could be redirected.
    bool Active() const { return m_patch.Active(); }
    // Strings freed so far, in order.
    const std::vector<BSTR>& Freed() const;
    bool WasFreed(BSTR b) const;

private:
    CImportPatch m_patch;
};
