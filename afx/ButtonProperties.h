// The property string an image button's template persists (dialog-init data):
// <MFCButton_Name>value</MFCButton_Name> elements, read one at a time.
#pragma once

#include <windows.h>

#include <string>

class CButtonProperties
{
public:
    explicit CButtonProperties(std::string text) : m_text(std::move(text)) {}

    // Each reader leaves out untouched and returns false when the element is absent or its
    // value is not of the kind asked for.
    bool ReadBool(const char* name, BOOL& out) const;          // TRUE, FALSE, 1 or 0
    bool ReadInt(const char* name, int& out) const;            // up to nine decimal digits
    bool ReadText(const char* name, std::wstring& out) const;  // UTF-8

private:
    bool Find(const char* name, std::string& value) const;

    std::string m_text;
};
