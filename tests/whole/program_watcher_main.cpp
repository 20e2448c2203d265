// program_watcher.exe EXE_NAME LOG STOP_FILE MAX_SECONDS
//
// Logs the start and the exit code of every process named EXE_NAME in this Wine session until
// STOP_FILE exists (then "stop RUNNING", the number still running) or MAX_SECONDS have passed
// ("timeout RUNNING", exit code 2).
#include <windows.h>

#include <cstdlib>

#include "tests/whole/ProgramWatcher.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc != 5)
        return 1;
    ProgramWatcher watcher(argv[1], argv[2]);
    if (!watcher.LogOpen())
        return 1;
    const DWORD limit = static_cast<DWORD>(std::wcstoul(argv[4], nullptr, 10)) * 1000;
    const DWORD start = ::GetTickCount();
    watcher.Log("watching");
    for (;;)
    {
        watcher.Poll();
        if (::GetFileAttributesW(argv[3]) != INVALID_FILE_ATTRIBUTES)
        {
            watcher.Log("stop %d", watcher.Running());
            return 0;
        }
        if (::GetTickCount() - start > limit)
        {
            watcher.Log("timeout %d", watcher.Running());
            return 2;
        }
        ::Sleep(50);
    }
}
