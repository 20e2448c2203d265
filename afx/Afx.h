// The whole class library in one include.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include "afx/RuntimeClass.h"
#include "afx/Object.h"
#include "afx/String.h"
#include "afx/Exception.h"
#include "afx/MemoryException.h"
#include "afx/OleException.h"
#include "afx/OleDispatchException.h"
#include "afx/Point.h"
#include "afx/GdiObject.h"
#include "afx/Brush.h"
#include "afx/DC.h"
#include "afx/DebugReport.h"
#include "afx/DlgInitReader.h"

#if __has_include("afx/ThreadState.h")
#include "afx/ThreadState.h"
#endif
#if __has_include("afx/CmdTarget.h")
#include "afx/CmdTarget.h"
#endif
#if __has_include("afx/Wnd.h")
#include "afx/Wnd.h"
#endif
#if __has_include("afx/MessagePump.h")
#include "afx/MessagePump.h"
#endif
#if __has_include("afx/Dialog.h")
#include "afx/Dialog.h"
#endif
#if __has_include("afx/DataExchange.h")
#include "afx/DataExchange.h"
#endif
#if __has_include("afx/WinApp.h")
#include "afx/WinApp.h"
#endif
#if __has_include("afx/Button.h")
#include "afx/Button.h"
#endif
#if __has_include("afx/MFCButton.h")
#include "afx/MFCButton.h"
#endif
#if __has_include("afx/Vts.h")
#include "afx/Vts.h"
#endif
#if __has_include("afx/EventSinkMap.h")
#include "afx/EventSinkMap.h"
#endif
#if __has_include("afx/OleDispatchDriver.h")
#include "afx/OleDispatchDriver.h"
#endif
#if __has_include("afx/OleControlSite.h")
#include "afx/OleControlSite.h"
#endif
#if __has_include("afx/OleControlContainer.h")
#include "afx/OleControlContainer.h"
#endif
#if __has_include("afx/DHtmlEventSink.h")
#include "afx/DHtmlEventSink.h"
#endif
#if __has_include("afx/DHtmlDialog.h")
#include "afx/DHtmlDialog.h"
#endif
