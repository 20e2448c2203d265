// The stand-in browser's event log: one UTF-8 line per event, appended to the file that
// ORVANE_STANDIN_LOG names (nothing when it is unset), each line written and flushed at once so
// that a process that ends abruptly loses none. Lines start with the process id.
#pragma once

#include <string>
#include <vector>

class StandInLog
{
public:
    // "PID INSTANCE TEXT"
    static void Write(int instance, const std::wstring& text);
    // The number in the file that ORVANE_STANDIN_SERVER names, or fallback.
    static int ServerNumber(int fallback);
    // The virtual keys that ORVANE_STANDIN_CONSUME lists ("9,26": hexadecimal, comma-separated).
    static std::vector<unsigned> ConsumedKeys();

private:
    static std::wstring Environment(const wchar_t* name);
};
