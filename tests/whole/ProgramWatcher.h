// Watches the processes of one executable name in this Wine session, whoever started them: each
// one is opened as it appears, and its start and its exit code are logged, one line each
// ("start PID", "exit PID CODE"). Used for the copies that the program starts of itself.
#pragma once

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "afx/ScopedHandles.h"

class ProgramWatcher
{
public:
    ProgramWatcher(const std::wstring& exeName, const std::wstring& logPath);

    bool LogOpen() const { return m_log != nullptr; }
    // One look: new processes, ended ones.
    void Poll();
    // Processes seen and not ended yet.
    int Running() const;
    void Log(const char* format, ...);

private:
    struct Watched
    {
        DWORD pid;
        FILETIME created;
        CScopedHandle process;
        bool ended;
    };
    struct FileCloser
    {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };

    bool Known(DWORD pid, const FILETIME& created) const;
    void Open(DWORD pid);

    std::wstring m_exeName;
    std::unique_ptr<std::FILE, FileCloser> m_log;
    std::vector<Watched> m_watched;
};
