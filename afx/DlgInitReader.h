// Reads dialog-init data (resource type 240, named like its dialog template): records of a
// control id (WORD), a message (WORD), a data length (DWORD) and the data, up to a control id of
// 0 or the end of the data. The reader borrows the data; a resource's data lives as long as its
// module.
#pragma once

#include <windows.h>

class CDlgInitReader
{
public:
    struct Record
    {
        WORD nIDC = 0;
        WORD nMsg = 0;
        const BYTE* pData = nullptr;
        DWORD cbData = 0;
    };

    // No data: no records.
    CDlgInitReader() = default;
    CDlgInitReader(const BYTE* pData, DWORD cbData)
        : m_p(pData),
          m_pEnd(pData ? pData + cbData : nullptr)
    {
    }

    // The dialog-init data of that name in the resource module. None there: no records; data
    // that cannot be loaded counts as malformed.
    static CDlgInitReader FromResource(LPCWSTR lpszResourceName);

    // The next record; false at the end, or when the rest is malformed (a record that runs past
    // the end of the data).
    bool Next(Record& rRecord);
    // The first record of control nIDC with message nMsg among those not read yet; false when
    // there is none.
    bool Find(UINT nIDC, WORD nMsg, Record& rRecord) const;
    bool Malformed() const { return m_bMalformed; }

private:
    const BYTE* m_p = nullptr;
    const BYTE* m_pEnd = nullptr;
    bool m_bMalformed = false;
};
