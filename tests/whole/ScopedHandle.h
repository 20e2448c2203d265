// Owns a kernel handle and closes it on the way out. NULL and INVALID_HANDLE_VALUE both mean none.
#pragma once

#include <windows.h>

#include <utility>

class ScopedHandle
{
public:
    explicit ScopedHandle(HANDLE h = nullptr) : m_h(h) {}
    ~ScopedHandle() { Reset(); }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ScopedHandle(ScopedHandle&& other) noexcept : m_h(std::exchange(other.m_h, nullptr)) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept
    {
        if (this != &other)
        {
            Reset();
            m_h = std::exchange(other.m_h, nullptr);
        }
        return *this;
    }

    HANDLE Get() const { return m_h; }
    bool Valid() const { return m_h != nullptr && m_h != INVALID_HANDLE_VALUE; }
    void Reset()
    {
        if (Valid())
            ::CloseHandle(m_h);
        m_h = nullptr;
    }

private:
    HANDLE m_h;
};
