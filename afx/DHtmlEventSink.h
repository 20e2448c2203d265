// The element-event side of the HTML dialog: a class lists, in its DHTML event map, handlers for
// events of elements of the page its HTML view shows. The maps of this program hold only their
// end marker, so no element event is bound.
#pragma once

#include <windows.h>
#include <ole2.h>

class CDHtmlEventSink;

// Kinds of DHTML event map entries.
#define DHTMLEVENTMAPENTRY_END 0
#define DHTMLEVENTMAPENTRY_NAME 1

struct DHtmlEventMapEntry
{
    UINT nType;      // DHTMLEVENTMAPENTRY_END ends the map
    DISPID dispId;   // the element event
    LPCWSTR szName;  // the element's id
    HRESULT (*pfnThunk)(CDHtmlEventSink* pSink, IDispatch* pElement);
};

class CDHtmlEventSink
{
public:
    virtual ~CDHtmlEventSink() = default;

    // The class's DHTML event map, ended by an entry of kind DHTMLEVENTMAPENTRY_END.
    virtual const DHtmlEventMapEntry* GetDHtmlEventMap() = 0;
};

// clang-format off
#define DECLARE_DHTML_EVENT_MAP()                              \
public:                                                        \
    const DHtmlEventMapEntry* GetDHtmlEventMap() override;     \
                                                               \
protected:

#define BEGIN_DHTML_EVENT_MAP(className)                       \
    const DHtmlEventMapEntry* className::GetDHtmlEventMap()    \
    {                                                          \
        static const DHtmlEventMapEntry _dhtmlEventEntries[] = {

#define END_DHTML_EVENT_MAP()                                  \
    {DHTMLEVENTMAPENTRY_END, 0, nullptr, nullptr}              \
    };                                                         \
    return _dhtmlEventEntries;                                 \
    }
// clang-format on
