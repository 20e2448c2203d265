#include "tests/whole/ProgramWatcher.h"

#include <tlhelp32.h>

#include <cstdarg>
#include <cwchar>

ProgramWatcher::ProgramWatcher(const std::wstring& exeName, const std::wstring& logPath)
    : m_exeName(exeName),
      m_log(_wfopen(logPath.c_str(), L"a"))
{
}

void ProgramWatcher::Log(const char* format, ...)
{
    if (!m_log)
        return;
    va_list args;
    va_start(args, format);
    std::vfprintf(m_log.get(), format, args);
    va_end(args);
    std::fputc('\n', m_log.get());
    std::fflush(m_log.get());
}

bool ProgramWatcher::Known(DWORD pid, const FILETIME& created) const
{
    for (const Watched& w : m_watched)
        if (w.pid == pid && CompareFileTime(&w.created, &created) == 0)
            return true;
    return false;
}

void ProgramWatcher::Open(DWORD pid)
{
    CScopedHandle process(
        ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    if (!process)
        return;
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!::GetProcessTimes(process.Get(), &created, &exited, &kernel, &user))
        return;
    // A process id seen again: the same process (still listed, or ended) or a new one.
    if (Known(pid, created))
        return;
    Log("start %lu", pid);
    m_watched.push_back(Watched{pid, created, std::move(process), false});
}

void ProgramWatcher::Poll()
{
    CScopedHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (snapshot)
    {
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof(entry);
        for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more;
             more = ::Process32NextW(snapshot.Get(), &entry))
        {
            if (_wcsicmp(entry.szExeFile, m_exeName.c_str()) == 0)
                Open(entry.th32ProcessID);
        }
    }
    for (Watched& w : m_watched)
    {
        if (w.ended || ::WaitForSingleObject(w.process.Get(), 0) != WAIT_OBJECT_0)
            continue;
        DWORD code = 0;
        ::GetExitCodeProcess(w.process.Get(), &code);
        Log("exit %lu %lu", w.pid, code);
        w.ended = true;
    }
}

int ProgramWatcher::Running() const
{
    int n = 0;
    for (const Watched& w : m_watched)
        n += w.ended ? 0 : 1;
    return n;
}
