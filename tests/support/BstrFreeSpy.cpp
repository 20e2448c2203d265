#include "tests/support/BstrFreeSpy.h"

#include <algorithm>

namespace {

std::vector<BSTR> g_freed;
void(WINAPI* g_pfnRealFree)(BSTR) = nullptr;

void WINAPI RecordingSysFreeString(BSTR b)
{
    g_freed.push_back(b);
    g_pfnRealFree(b);
}

}  // namespace

BstrFreeSpy::BstrFreeSpy()
    : m_patch(L"oleaut32.dll", "SysFreeString", reinterpret_cast<void*>(&RecordingSysFreeString))
{
    if (!m_patch.Active())
        return;
    g_pfnRealFree = reinterpret_cast<void(WINAPI*)(BSTR)>(m_patch.Original());
    g_freed.clear();
}

const std::vector<BSTR>& BstrFreeSpy::Freed() const
{
    return g_freed;
}

bool BstrFreeSpy::WasFreed(BSTR b) const
{
    return std::find(g_freed.begin(), g_freed.end(), b) != g_freed.end();
}
