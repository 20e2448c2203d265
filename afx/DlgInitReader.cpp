#include "afx/DlgInitReader.h"

#include <cstring>

#include "afx/WinApp.h"

CDlgInitReader CDlgInitReader::FromResource(LPCWSTR lpszResourceName)
{
    CDlgInitReader reader;
    if (!lpszResourceName)
        return reader;
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hRes = ::FindResourceW(hInst, lpszResourceName, MAKEINTRESOURCEW(240));
    if (!hRes)
        return reader;
    HGLOBAL hData = ::LoadResource(hInst, hRes);
    const BYTE* p = hData ? static_cast<const BYTE*>(::LockResource(hData)) : nullptr;
    if (!p)
    {
        reader.m_bMalformed = true;
        return reader;
    }
    return CDlgInitReader(p, ::SizeofResource(hInst, hRes));
}

bool CDlgInitReader::Next(Record& rRecord)
{
    if (!m_p || m_bMalformed || m_pEnd - m_p < 2)
        return false;
    WORD nIDC;
    std::memcpy(&nIDC, m_p, 2);
    if (nIDC == 0)
        return false;
    DWORD cbData = 0;
    if (m_pEnd - m_p >= 8)
        std::memcpy(&cbData, m_p + 4, 4);
    if (m_pEnd - m_p < 8 || static_cast<DWORD>(m_pEnd - m_p - 8) < cbData)
    {
        m_bMalformed = true;
        return false;
    }
    rRecord.nIDC = nIDC;
    std::memcpy(&rRecord.nMsg, m_p + 2, 2);
    rRecord.pData = m_p + 8;
    rRecord.cbData = cbData;
    m_p += 8 + cbData;
    return true;
}

bool CDlgInitReader::Find(UINT nIDC, WORD nMsg, Record& rRecord) const
{
    CDlgInitReader reader(*this);
    Record record;
    while (reader.Next(record))
    {
        if (record.nIDC == nIDC && record.nMsg == nMsg)
        {
            rRecord = record;
            return true;
        }
    }
    return false;
}
