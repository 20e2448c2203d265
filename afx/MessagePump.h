// The message loops of the library (CWinApp::Run, CWnd::RunModalLoop) are made of one step:
// take the next message of the thread, let the attached windows pre-translate it, dispatch it.
#pragma once

#include <windows.h>

#include <functional>

// The message loop's pre-translation: the attached windows from the message's window up to the
// main window, then the main window when the message's window lies outside it.
BOOL AfxPreTranslateMessage(MSG* pMsg);

// One step of a message loop on this thread. When the queue is empty on entry, onIdle runs and
// then the temporary objects handed out at this loop's depth or deeper are dropped. The next
// message is taken into rMsg, waiting for it; onTaken sees it before the pre-translation; unless
// that takes it, it is translated and dispatched. Returns what GetMessage did: 1 a message,
// 0 WM_QUIT (rMsg holds it, not dispatched), -1 a failure.
int AfxPumpMessage(MSG& rMsg, const std::function<void()>& onIdle = nullptr,
                   const std::function<void(const MSG&)>& onTaken = nullptr);
