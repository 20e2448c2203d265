#include "afx/ButtonProperties.h"

#include <algorithm>

bool CButtonProperties::Find(const char* name, std::string& value) const
{
    const std::string open = std::string("<MFCButton_") + name + ">";
    const std::string close = std::string("</MFCButton_") + name + ">";
    size_t begin = m_text.find(open);
    if (begin == std::string::npos)
        return false;
    begin += open.size();
    const size_t end = m_text.find(close, begin);
    if (end == std::string::npos)
        return false;
    value = m_text.substr(begin, end - begin);
    return true;
}

bool CButtonProperties::ReadBool(const char* name, BOOL& out) const
{
    std::string v;
    if (!Find(name, v))
        return false;
    if (v == "TRUE" || v == "1")
        out = TRUE;
    else if (v == "FALSE" || v == "0")
        out = FALSE;
    else
        return false;
    return true;
}

bool CButtonProperties::ReadInt(const char* name, int& out) const
{
    std::string v;
    if (!Find(name, v) || v.empty() || v.size() > 9)
        return false;
    int n = 0;
    for (char c : v)
    {
        if (c < '0' || c > '9')
            return false;
        n = n * 10 + (c - '0');
    }
    out = n;
    return true;
}

bool CButtonProperties::ReadText(const char* name, std::wstring& out) const
{
    std::string v;
    if (!Find(name, v))
        return false;
    const int n =
        v.empty() ? 0 : ::MultiByteToWideChar(CP_UTF8, 0, v.data(), int(v.size()), nullptr, 0);
    std::wstring w(size_t(std::max(n, 0)), L'\0');
    if (n > 0)
        ::MultiByteToWideChar(CP_UTF8, 0, v.data(), int(v.size()), &w[0], n);
    out = w;
    return true;
}
