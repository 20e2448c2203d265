#include "tests/whole/StandInLog.h"

#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <vector>

#include "afx/ScopedHandles.h"

namespace {

std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n,
                          nullptr, nullptr);
    return out;
}

}  // namespace

std::wstring StandInLog::Environment(const wchar_t* name)
{
    const DWORD n = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (n == 0)
        return std::wstring();
    std::vector<wchar_t> value(n);
    ::GetEnvironmentVariableW(name, value.data(), n);
    return std::wstring(value.data());
}

void StandInLog::Write(int instance, const std::wstring& text)
{
    const std::wstring path = Environment(L"ORVANE_STANDIN_LOG");
    if (path.empty())
        return;
    // Appends are atomic per write: the old and the new copy of the program may log at once.
    CScopedHandle file(::CreateFileW(path.c_str(), FILE_APPEND_DATA,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return;
    wchar_t head[48];
    std::swprintf(head, 48, L"%lu %d ", ::GetCurrentProcessId(), instance);
    const std::string line = Utf8(head + text + L"\n");
    DWORD written = 0;
    ::WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    ::FlushFileBuffers(file.Get());
}

int StandInLog::ServerNumber(int fallback)
{
    const std::wstring path = Environment(L"ORVANE_STANDIN_SERVER");
    if (path.empty())
        return fallback;
    CScopedHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return fallback;
    char text[32] = {};
    DWORD read = 0;
    if (!::ReadFile(file.Get(), text, sizeof(text) - 1, &read, nullptr) || read == 0)
        return fallback;
    const int n = std::atoi(text);
    return n > 0 ? n : fallback;
}

std::vector<unsigned> StandInLog::ConsumedKeys()
{
    std::vector<unsigned> keys;
    const std::wstring list = Environment(L"ORVANE_STANDIN_CONSUME");
    for (size_t at = 0; at < list.size();)
    {
        size_t end = list.find(L',', at);
        if (end == std::wstring::npos)
            end = list.size();
        const unsigned long key = std::wcstoul(list.substr(at, end - at).c_str(), nullptr, 16);
        if (key != 0)
            keys.push_back(static_cast<unsigned>(key));
        at = end + 1;
    }
    return keys;
}
