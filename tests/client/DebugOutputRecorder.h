// A recorder of the debug output that the library writes when it reports a fault.
#pragma once

#include <windows.h>

#include <cwctype>
#include <initializer_list>
#include <string>
#include <vector>

#include "tests/support/ImportPatch.h"

// Records what the executable writes with OutputDebugStringW while it lives.
class DebugOutputRecorder
{
public:
    DebugOutputRecorder()
        : m_patch(L"kernel32.dll", "OutputDebugStringW", reinterpret_cast<void*>(&Record))
    {
        Lines().clear();
    }
    ~DebugOutputRecorder() { Lines().clear(); }

    bool Active() const { return m_patch.Active(); }
    const std::vector<std::wstring>& Output() const { return Lines(); }
    // Lines that contain every one of the fragments, in any letter case.
    int Count(std::initializer_list<const wchar_t*> fragments) const
    {
        int n = 0;
        for (const std::wstring& line : Lines())
        {
            const std::wstring text = Lower(line);
            bool all = true;
            for (const wchar_t* f : fragments)
                all = all && text.find(Lower(f)) != std::wstring::npos;
            n += all ? 1 : 0;
        }
        return n;
    }

private:
    static std::vector<std::wstring>& Lines()
    {
        static std::vector<std::wstring> lines;
        return lines;
    }
    static std::wstring Lower(std::wstring text)
    {
        for (wchar_t& c : text)
            c = static_cast<wchar_t>(towlower(c));
        return text;
    }
    static void WINAPI Record(LPCWSTR text) { Lines().push_back(text ? text : L""); }

    CImportPatch m_patch;
};
