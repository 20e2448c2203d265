#include "tests/support/ProxySetting.h"

#include <wininet.h>

namespace {

const wchar_t kKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

void Announce()
{
    ::InternetSetOptionW(nullptr, INTERNET_OPTION_SETTINGS_CHANGED, nullptr, 0);
    ::InternetSetOptionW(nullptr, INTERNET_OPTION_REFRESH, nullptr, 0);
}

}  // namespace

ProxySetting::ProxySetting(const std::wstring& server)
{
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                          &m_key, nullptr) != ERROR_SUCCESS)
    {
        m_key = nullptr;
        return;
    }
    Save(m_enable, L"ProxyEnable");
    Save(m_server, L"ProxyServer");
    DWORD one = 1;
    bool ok = ::RegSetValueExW(m_key, L"ProxyEnable", 0, REG_DWORD,
                               reinterpret_cast<const BYTE*>(&one), sizeof(one)) == ERROR_SUCCESS;
    ok = ok && ::RegSetValueExW(
                   m_key, L"ProxyServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(server.c_str()),
                   static_cast<DWORD>((server.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    m_applied = ok;
    Announce();
}

ProxySetting::~ProxySetting()
{
    if (m_key == nullptr)
        return;
    Restore(m_enable);
    Restore(m_server);
    ::RegCloseKey(m_key);
    Announce();
}

void ProxySetting::Save(Saved& s, const wchar_t* name)
{
    s.name = name;
    DWORD cb = 0;
    if (::RegQueryValueExW(m_key, name, nullptr, &s.type, nullptr, &cb) != ERROR_SUCCESS)
        return;
    s.data.resize(cb);
    if (::RegQueryValueExW(m_key, name, nullptr, &s.type, s.data.data(), &cb) == ERROR_SUCCESS)
        s.present = true;
}

void ProxySetting::Restore(const Saved& s)
{
    if (s.present)
        ::RegSetValueExW(m_key, s.name.c_str(), 0, s.type, s.data.data(),
                         static_cast<DWORD>(s.data.size()));
    else
        ::RegDeleteValueW(m_key, s.name.c_str());
}
