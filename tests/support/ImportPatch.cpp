#include "tests/support/ImportPatch.h"

namespace {

// The import address table entry of the executable that holds the target address.
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

CImportPatch::CImportPatch(const wchar_t* dll, const char* name, void* pReplacement)
{
    HMODULE hDll = ::GetModuleHandleW(dll);
    if (hDll == nullptr)
        hDll = ::LoadLibraryW(dll);
    m_pOriginal = hDll != nullptr ? reinterpret_cast<void*>(::GetProcAddress(hDll, name)) : nullptr;
    m_pSlot = m_pOriginal != nullptr ? FindImportSlot(m_pOriginal) : nullptr;
    if (m_pSlot != nullptr)
        WriteSlot(m_pSlot, pReplacement);
}

CImportPatch::~CImportPatch()
{
    if (m_pSlot != nullptr)
        WriteSlot(m_pSlot, m_pOriginal);
}
