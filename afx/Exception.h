// Base of the library's exceptions. They are thrown by value and caught by reference:
//   throw CMemoryException();   ...   catch (CException& e) { e.Describe(); }
#pragma once

#include "afx/Object.h"
#include "afx/String.h"

class CException : public CObject
{
    DECLARE_DYNAMIC(CException)
public:
    CException() = default;
    CException(const CException&) = default;
    CException& operator=(const CException&) = default;
    ~CException() override = default;

    // Copies the message into lpszError (at most nMaxError characters with the NUL); FALSE when
    // there is no message.
    virtual BOOL GetErrorMessage(LPWSTR lpszError, UINT nMaxError) const;

    // The message, or the class name when there is none.
    virtual CString Describe() const;
};
