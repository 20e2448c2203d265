// Points the process's URL fetching at a proxy through the current user's Internet Settings
// (ProxyEnable, ProxyServer) while it lives; the previous values are put back afterwards.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class ProxySetting
{
public:
    explicit ProxySetting(const std::wstring& server);
    ~ProxySetting();
    ProxySetting(const ProxySetting&) = delete;
    ProxySetting& operator=(const ProxySetting&) = delete;

    bool Applied() const { return m_applied; }

private:
    struct Saved
    {
        std::wstring name;
        bool present = false;
        DWORD type = 0;
        std::vector<BYTE> data;
    };
    void Save(Saved& s, const wchar_t* name);
    void Restore(const Saved& s);

    HKEY m_key = nullptr;
    bool m_applied = false;
    Saved m_enable;
    Saved m_server;
};
