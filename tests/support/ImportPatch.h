// Redirects one import of the test executable while the object lives: the executable's import
// address table entry for dll!name points at a replacement and gets its old value back at the end.
#pragma once

#include <windows.h>

class CImportPatch
{
public:
    // The import address table holds the resolved address, which GetProcAddress gives as well
    // (forwarders included). A DLL that is not loaded yet is loaded.
    CImportPatch(const wchar_t* dll, const char* name, void* pReplacement);
    ~CImportPatch();
    CImportPatch(const CImportPatch&) = delete;
    CImportPatch& operator=(const CImportPatch&) = delete;

    // The executable imports the function and the entry points at the replacement.
    bool Active() const { return m_pSlot != nullptr; }
    // The function's own address (also when the executable does not import it); NULL when the
    // DLL or the function is missing.
    void* Original() const { return m_pOriginal; }

private:
    void* m_pOriginal = nullptr;
    void** m_pSlot = nullptr;
};
