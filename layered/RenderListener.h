// Interface through which a redraw of a translucent window is requested.
#pragma once

#include <windows.h>

struct IRenderListener
{
    virtual ~IRenderListener() {}

    // Asks the listener to redraw itself; the argument is free for the caller's use.
    virtual void OnRenderRequest(LPARAM lParam) = 0;
};
