#include "tests/support/BstrFreeSpy.h"

#include <algorithm>

namespace {

std::vector<BSTR> g_freed;
void (WINAPI* g_pfnRealFree)(BSTR) = nullptr;

void WINAPI RecordingSysFreeString(BSTR b)
{
    g_freed.push_back(b);
    g_pfnRealFree(b);
}

// The import address table slot of the executable that holds the target address.
void** FindImportSlot(void* pTarget)
{
    auto* pBase = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
    auto* pDos = reinterpret_cast<IMAGE_DOS_HEADER*>(pBase);
    auto* pNt = reinterpret_cast<IMAGE_NT_HEADERS*>(pBase + pDos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        pNt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (dir.VirtualAddress == 0)
        return nullptr;
    for (auto* pDesc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(pBase + dir.VirtualAddress);
         pDesc->Name != 0; ++pDesc)
    {
        for (auto* pThunk = reinterpret_cast<void**>(pBase + pDesc->FirstThunk); *pThunk != nullptr;
             ++pThunk)
        {
            if (*pThunk == pTarget)
                return pThunk;
        }
    }
    return nullptr;
}

void WriteSlot(void** pSlot, void* pValue)
{
    DWORD dwOld = 0;
    if (::VirtualProtect(pSlot, sizeof(void*), PAGE_READWRITE, &dwOld))
    {
        *pSlot = pValue;
        ::VirtualProtect(pSlot, sizeof(void*), dwOld, &dwOld);
    }
}

}  // namespace

BstrFreeSpy::BstrFreeSpy()
{
    HMODULE hOle = ::GetModuleHandleW(L"oleaut32.dll");
    void* pReal = hOle ? reinterpret_cast<void*>(::GetProcAddress(hOle, "SysFreeString")) : nullptr;
    if (pReal == nullptr)
        return;
    m_pSlot = FindImportSlot(pReal);
    if (m_pSlot == nullptr)
        return;
    m_pOriginal = pReal;
    g_pfnRealFree = reinterpret_cast<void(WINAPI*)(BSTR)>(pReal);
    g_freed.clear();
    WriteSlot(m_pSlot, reinterpret_cast<void*>(&RecordingSysFreeString));
}

BstrFreeSpy::~BstrFreeSpy()
{
    if (m_pSlot != nullptr)
        WriteSlot(m_pSlot, m_pOriginal);
}

const std::vector<BSTR>& BstrFreeSpy::Freed() const
{
    return g_freed;
}

bool BstrFreeSpy::WasFreed(BSTR b) const
{
    return std::find(g_freed.begin(), g_freed.end(), b) != g_freed.end();
}
